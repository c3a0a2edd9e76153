// A fake management service: the Windows query cycle on fake COM calls (the
// stage results a test sets, the instances the query yields, and a record of
// every call and release in order), or an answer a test gives as data.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Wmi.h"
#include "platform/win32/WmiQueryCycle.h"

namespace dorvanta::fake {

struct FakeWmiValue {
  bool IsString = true;
  std::optional<std::wstring> String;     // for a string value; empty: no string at all
  std::optional<std::wstring> Converted;  // what the conversion gives another value
};

struct FakeWmiInstance {
  std::map<std::wstring, FakeWmiValue> Properties;  // a property not here fails to read
};

using platform::win32::ComResult;

inline constexpr ComResult kWbemNotFound = static_cast<ComResult>(0x80041002);

struct WmiState {
  // When set, every query gives this answer and the cycle does not run.
  std::optional<platform::WmiAnswer> Answer;
  ComResult EnterResult = 0;
  ComResult LocatorResult = 0;
  ComResult ConnectResult = 0;
  ComResult BlanketResult = 0;
  ComResult QueryResult = 0;
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
