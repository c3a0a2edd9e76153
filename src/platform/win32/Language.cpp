#include "platform/Language.h"

#include <windows.h>

#include <cwchar>

namespace dorvanta::platform {

std::uint16_t QueryUserDefaultUiLanguage() { return ::GetUserDefaultUILanguage(); }
std::uint16_t QuerySystemDefaultUiLanguage() { return ::GetSystemDefaultUILanguage(); }
std::uint16_t QuerySystemDefaultLanguage() { return ::GetSystemDefaultLangID(); }

UserLocation QueryUserLocation() {
  const GEOID geo = ::GetUserGeoID(GEOCLASS_NATION);
  if (geo == GEOID_NOT_AVAILABLE) return UserLocation{UserLocation::Status::NoGeoId, {}};
  wchar_t buffer[16] = {};
  if (::GetGeoInfoW(geo, GEO_ISO2, buffer, 16, 0) != 0) {
    return UserLocation{UserLocation::Status::Found, buffer};
  }
  // A code longer than the buffer is read again whole.
  if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return UserLocation{UserLocation::Status::NoIso2Code, {}};
  }
  const int needed = ::GetGeoInfoW(geo, GEO_ISO2, nullptr, 0, 0);
  if (needed <= 0) return UserLocation{UserLocation::Status::NoIso2Code, {}};
  std::wstring code(static_cast<std::size_t>(needed), L'\0');
  if (::GetGeoInfoW(geo, GEO_ISO2, code.data(), needed, 0) == 0) {
    return UserLocation{UserLocation::Status::NoIso2Code, {}};
  }
  code.resize(std::wcslen(code.c_str()));
  return UserLocation{UserLocation::Status::Found, code};
}

}  // namespace dorvanta::platform
