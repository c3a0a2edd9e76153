// The Windows query cycle of the management service (WMI) over a small
// interface of the COM calls it makes: COM implements the interface in Wmi.cpp,
// the unit tests a fake of it. Nothing here needs the Windows headers.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Wmi.h"

namespace dorvanta::platform::win32 {

// An HRESULT; negative values are failures.
using ComResult = std::int32_t;

inline bool Failed(ComResult result) { return result < 0; }

// One property value (a variant), cleared when dropped.
class WmiValue {
 public:
  WmiValue() = default;
  WmiValue(const WmiValue&) = delete;
  WmiValue& operator=(const WmiValue&) = delete;
  virtual ~WmiValue() = default;

  // True when the value is of string type.
  [[nodiscard]] virtual bool IsString() const = 0;
  // The string of a string-type value; empty when it holds no string at all.
  [[nodiscard]] virtual std::optional<std::wstring> String() const = 0;
  // The value changed to string type by the platform's conversion (flags 0);
  // empty when the value has no text form.
  [[nodiscard]] virtual std::optional<std::wstring> ConvertToString() const = 0;
};

struct WmiGetResult {
  ComResult Result = 0;
  std::unique_ptr<WmiValue> Value;  // set on success
};

// One instance of the queried class, released when dropped.
class WmiObject {
 public:
  WmiObject() = default;
  WmiObject(const WmiObject&) = delete;
  WmiObject& operator=(const WmiObject&) = delete;
  virtual ~WmiObject() = default;

  virtual WmiGetResult Get(const std::wstring& property) = 0;
};

// The result set of a query, released when dropped.
class WmiEnumerator {
 public:
  WmiEnumerator() = default;
  WmiEnumerator(const WmiEnumerator&) = delete;
  WmiEnumerator& operator=(const WmiEnumerator&) = delete;
  virtual ~WmiEnumerator() = default;

  // The next instance, without waiting; null when none was returned.
  virtual std::unique_ptr<WmiObject> Next() = 0;
};

struct WmiQueryResult {
  ComResult Result = 0;
  std::unique_ptr<WmiEnumerator> Enumerator;  // set on success
};

// A connection to one namespace, released when dropped.
class WmiServices {
 public:
  WmiServices() = default;
  WmiServices(const WmiServices&) = delete;
  WmiServices& operator=(const WmiServices&) = delete;
  virtual ~WmiServices() = default;

  // Call-level authentication with impersonation on this connection's proxy.
  virtual ComResult SetProxyBlanket() = 0;
  // A forward-only query in the given language.
  virtual WmiQueryResult ExecQuery(const std::wstring& language, const std::wstring& query) = 0;
};

struct WmiConnectResult {
  ComResult Result = 0;
  std::unique_ptr<WmiServices> Services;  // set on success
};

class WmiLocator {
 public:
  WmiLocator() = default;
  WmiLocator(const WmiLocator&) = delete;
  WmiLocator& operator=(const WmiLocator&) = delete;
  virtual ~WmiLocator() = default;

  // Connects as the current user to the namespace.
  virtual WmiConnectResult ConnectServer(const std::wstring& nameSpace) = 0;
};

struct WmiLocatorResult {
  ComResult Result = 0;
  std::unique_ptr<WmiLocator> Locator;  // set on success
};

// The COM library calls of the cycle.
class WmiCom {
 public:
  WmiCom() = default;
  WmiCom(const WmiCom&) = delete;
  WmiCom& operator=(const WmiCom&) = delete;
  virtual ~WmiCom() = default;

  // Enters the multithreaded apartment on the calling thread.
  virtual ComResult EnterApartment() = 0;
  // Leaves the apartment once; called once for every successful EnterApartment.
  virtual void LeaveApartment() = 0;
  // Creates the management service's locator.
  virtual WmiLocatorResult CreateLocator() = 0;
};

// One query cycle: enters COM, connects to root\cimv2, selects every instance
// of the class and reads the property of each, the last one winning; releases
// everything and leaves COM before it returns.
WmiAnswer QueryWmiProperty(WmiCom& com, const std::wstring& className,
                           const std::wstring& property);

}  // namespace dorvanta::platform::win32
