#include "facts/WmiQuery.h"

#include <variant>

#include "platform/Wmi.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

void ReportFailure(const platform::WmiFailure& failure, const std::wstring& className,
                   const std::wstring& property) {
  switch (failure.Step) {
    case platform::WmiStep::InitialiseCom:
      Report(L"ERROR: Failed to initialize COM library. Error code = %#x\n", failure.Code);
      return;
    case platform::WmiStep::CreateLocator:
      Report(L"ERROR: Failed to create IWbemLocator object. Error code = %#x\n", failure.Code);
      return;
    case platform::WmiStep::Connect:
      Report(L"ERROR: Could not connect. Error code = %#x\n", failure.Code);
      return;
    case platform::WmiStep::ProxyBlanket:
      Report(L"ERROR: Could not set proxy blanket. Error code = %#x\n", failure.Code);
      return;
    case platform::WmiStep::ExecuteQuery:
      Report(L"ERROR: Could not execute the query (%s). Error code = %#x\n",
             platform::SelectAllQuery(className), failure.Code);
      return;
    case platform::WmiStep::GetProperty:
      if (failure.Detail.empty()) {
        Report(L"ERROR: Could not get property %s. Error code = %#x\n", property, failure.Code);
      } else {
        Report(L"ERROR: Could not get property %s (%s)\n", property, failure.Detail);
      }
      return;
  }
}

}  // namespace

std::wstring WmiQuery(const std::wstring& className, const std::wstring& property) {
  platform::WmiAnswer answer = platform::ReadWmiProperty(className, property);
  if (const auto* failure = std::get_if<platform::WmiFailure>(&answer)) {
    ReportFailure(*failure, className, property);
    return std::wstring();
  }
  return std::get<std::wstring>(std::move(answer));
}

}  // namespace dorvanta
