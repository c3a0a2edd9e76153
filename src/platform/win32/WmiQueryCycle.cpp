#include "platform/win32/WmiQueryCycle.h"

#include <cstdint>

#include "common/UniqueResource.h"

namespace dorvanta::platform::win32 {
namespace {

void Leave(WmiCom* com) { com->LeaveApartment(); }

// Leaves the apartment once when dropped; made only when entering succeeded.
using Apartment = UniqueResource<&Leave>;

WmiFailure FailureAt(WmiStep step, ComResult result) {
  return WmiFailure{step, static_cast<std::uint32_t>(result), {}};
}

// A string value is taken as it is (no string at all counts as empty); any other
// value goes through the platform's conversion, and one without a text form
// gives the empty text.
std::wstring TextOf(const WmiValue& value) {
  if (value.IsString()) return value.String().value_or(std::wstring());
  return value.ConvertToString().value_or(std::wstring());
}

}  // namespace

// The stages are declared in the order they are obtained, so every return
// releases them in reverse: value, instance, enumerator, services, locator,
// and leaves the apartment last.
WmiAnswer QueryWmiProperty(WmiCom& com, const std::wstring& className,
                           const std::wstring& property) {
  const ComResult entered = com.EnterApartment();
  if (Failed(entered)) return FailureAt(WmiStep::InitialiseCom, entered);
  const Apartment apartment(&com);
  const WmiLocatorResult locator = com.CreateLocator();
  if (Failed(locator.Result)) return FailureAt(WmiStep::CreateLocator, locator.Result);
  const WmiConnectResult connection = locator.Locator->ConnectServer(L"\\\\.\\root\\cimv2");
  if (Failed(connection.Result)) return FailureAt(WmiStep::Connect, connection.Result);
  const ComResult blanket = connection.Services->SetProxyBlanket();
  if (Failed(blanket)) return FailureAt(WmiStep::ProxyBlanket, blanket);
  const WmiQueryResult results = connection.Services->ExecQuery(L"WQL", SelectAllQuery(className));
  if (Failed(results.Result)) return FailureAt(WmiStep::ExecuteQuery, results.Result);

  // A failed read on any instance discards what the earlier ones gave.
  std::wstring text;
  while (const std::unique_ptr<WmiObject> object = results.Enumerator->Next()) {
    const WmiGetResult got = object->Get(property);
    if (Failed(got.Result)) return FailureAt(WmiStep::GetProperty, got.Result);
    text = TextOf(*got.Value);
  }
  return text;
}

}  // namespace dorvanta::platform::win32
