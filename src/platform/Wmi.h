// The management service (WMI) as a chain of owned stages: apartment, locator,
// services, enumerator, instance, property value. Each stage is released when
// its owner drops it, so the caller decides the release order by scoping.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace dorvanta::platform {

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
  // A description of the failure that says more than the code (the source that
  // could not be read and why); empty when the platform has none.
  std::wstring Detail;
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

// Enters the multithreaded apartment on the calling thread.
ComResult EnterComApartment();
// Leaves the apartment once; called once for every successful EnterComApartment.
void LeaveComApartment();

// Creates the management service's locator.
WmiLocatorResult CreateWmiLocator();

}  // namespace dorvanta::platform
