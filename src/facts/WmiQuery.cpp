#include "facts/WmiQuery.h"

#include <cstdint>
#include <memory>

#include "platform/Wmi.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

std::uint32_t Code(platform::ComResult result) { return static_cast<std::uint32_t>(result); }

// A string value is taken as it is (no string at all counts as empty); any other
// value goes through the platform's conversion, and one without a text form
// gives the empty text.
std::wstring TextOf(const platform::WmiValue& value) {
  if (value.IsString()) return value.String().value_or(std::wstring());
  return value.ConvertToString().value_or(std::wstring());
}

// The query between entering and leaving the apartment. The stages are declared
// in the order they are obtained, so every return releases them in reverse:
// value, instance, enumerator, services, locator.
std::wstring QueryInApartment(const std::wstring& className, const std::wstring& property) {
  const platform::WmiLocatorResult locator = platform::CreateWmiLocator();
  if (platform::Failed(locator.Result)) {
    Report(L"ERROR: Failed to create IWbemLocator object. Error code = %#x\n",
           Code(locator.Result));
    return std::wstring();
  }
  const platform::WmiConnectResult connection =
      locator.Locator->ConnectServer(L"\\\\.\\root\\cimv2");
  if (platform::Failed(connection.Result)) {
    Report(L"ERROR: Could not connect. Error code = %#x\n", Code(connection.Result));
    return std::wstring();
  }
  const platform::ComResult blanket = connection.Services->SetProxyBlanket();
  if (platform::Failed(blanket)) {
    Report(L"ERROR: Could not set proxy blanket. Error code = %#x\n", Code(blanket));
    return std::wstring();
  }
  const std::wstring query = L"select * from " + className;
  const platform::WmiQueryResult results = connection.Services->ExecQuery(L"WQL", query);
  if (platform::Failed(results.Result)) {
    Report(L"ERROR: Could not execute the query (%s). Error code = %#x\n", query,
           Code(results.Result));
    return std::wstring();
  }

  std::wstring text;
  while (const std::unique_ptr<platform::WmiObject> object = results.Enumerator->Next()) {
    const platform::WmiGetResult got = object->Get(property);
    if (platform::Failed(got.Result)) {
      if (got.Detail.empty()) {
        Report(L"ERROR: Could not get property %s. Error code = %#x\n", property, Code(got.Result));
      } else {
        Report(L"ERROR: Could not get property %s (%s)\n", property, got.Detail);
      }
      return std::wstring();
    }
    text = TextOf(*got.Value);
  }
  return text;
}

}  // namespace

std::wstring WmiQuery(const std::wstring& className, const std::wstring& property) {
  const platform::ComResult entered = platform::EnterComApartment();
  if (platform::Failed(entered)) {
    Report(L"ERROR: Failed to initialize COM library. Error code = %#x\n", Code(entered));
    return std::wstring();
  }
  std::wstring text = QueryInApartment(className, property);
  platform::LeaveComApartment();
  return text;
}

}  // namespace dorvanta
