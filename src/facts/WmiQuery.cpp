#include "facts/WmiQuery.h"

#include <variant>

#include "platform/Wmi.h"
#include "report/Report.h"

namespace dorvanta {

std::wstring DescribeWmiFailure(const platform::WmiFailure& failure, const std::wstring& className,
                                const std::wstring& property) {
  switch (failure.Step) {
    case platform::WmiStep::InitialiseCom:
      return Format(L"Failed to initialize COM library. Error code = %#x", failure.Code);
    case platform::WmiStep::CreateLocator:
      return Format(L"Failed to create IWbemLocator object. Error code = %#x", failure.Code);
    case platform::WmiStep::Connect:
      return Format(L"Could not connect. Error code = %#x", failure.Code);
    case platform::WmiStep::ProxyBlanket:
      return Format(L"Could not set proxy blanket. Error code = %#x", failure.Code);
    case platform::WmiStep::ExecuteQuery:
      return Format(L"Could not execute the query (%s). Error code = %#x",
                    platform::SelectAllQuery(className), failure.Code);
    case platform::WmiStep::GetProperty:
      break;
  }
  if (failure.Detail.empty()) {
    return Format(L"Could not get property %s. Error code = %#x", property, failure.Code);
  }
  return Format(L"Could not get property %s (%s)", property, failure.Detail);
}

std::wstring WmiQuery(ReportSink& sink, const std::wstring& className,
                      const std::wstring& property) {
  platform::WmiAnswer answer = platform::ReadWmiProperty(className, property);
  if (const auto* failure = std::get_if<platform::WmiFailure>(&answer)) {
    Report(sink, L"ERROR: %s\n", DescribeWmiFailure(*failure, className, property));
    return std::wstring();
  }
  return std::get<std::wstring>(std::move(answer));
}

}  // namespace dorvanta
