// One property of a management (WMI) class as text: Windows asks the management
// service, Linux reads the firmware's DMI tables.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace dorvanta::platform {

// The steps of a query that can fail, in their order.
enum class WmiStep {
  InitialiseCom,
  CreateLocator,
  Connect,
  ProxyBlanket,
  ExecuteQuery,
  GetProperty
};

struct WmiFailure {
  WmiStep Step = WmiStep::InitialiseCom;
  std::uint32_t Code = 0;
  // For a failed property read, what the platform knows beyond the code (the
  // source that could not be read and why); empty when it has nothing more.
  std::wstring Detail;
};

// The property's text on the last instance (empty when there is none), or the
// step that failed.
using WmiAnswer = std::variant<std::wstring, WmiFailure>;

// The query text that selects every instance of a class.
inline std::wstring SelectAllQuery(const std::wstring& className) {
  return L"select * from " + className;
}

// Reads the property of every instance of the class in the local namespace
// root\cimv2; everything the query held is given back before it returns.
WmiAnswer ReadWmiProperty(const std::wstring& className, const std::wstring& property);

}  // namespace dorvanta::platform
