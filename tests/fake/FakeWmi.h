// A fake management service: the stage results a test sets, the instances the
// query yields, and a record of every call and release in order.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Wmi.h"

namespace dorvanta::fake {

struct FakeWmiValue {
  bool IsString = true;
  std::optional<std::wstring> String;     // for a string value; empty: no string at all
  std::optional<std::wstring> Converted;  // what the conversion gives another value
};

struct FakeWmiInstance {
  std::map<std::wstring, FakeWmiValue> Properties;  // a property not here fails to read
  std::map<std::wstring, std::wstring> FailureDetails;
};

inline constexpr platform::ComResult kWbemNotFound = static_cast<platform::ComResult>(0x80041002);

struct WmiState {
  platform::ComResult EnterResult = 0;
  platform::ComResult LocatorResult = 0;
  platform::ComResult ConnectResult = 0;
  platform::ComResult BlanketResult = 0;
  platform::ComResult QueryResult = 0;
  std::vector<FakeWmiInstance> Instances;
  // "enter", "leave", "connect <namespace>", "query <language> <text>", "get <property>",
  // "convert", "clear value", "release object|enumerator|services|locator".
  std::vector<std::wstring> Events;
};

WmiState& Wmi();
void ResetWmi();

// A string-typed value.
FakeWmiValue Text(std::wstring text);

}  // namespace dorvanta::fake
