// The language identifiers and the user's location as the system reports them.
#pragma once

#include <cstdint>
#include <string>

namespace dorvanta::platform {

// Windows language identifiers (LANGID).
std::uint16_t QueryUserDefaultUiLanguage();
std::uint16_t QuerySystemDefaultUiLanguage();
std::uint16_t QuerySystemDefaultLanguage();

struct UserLocation {
  enum class Status {
    Found,       // Iso2 holds the code
    NoGeoId,     // the user has no nation location
    NoIso2Code,  // the location has no two-letter code
  };
  Status State = Status::NoGeoId;
  std::wstring Iso2;  // ISO 3166 two-letter code of the user's nation, kept whole
};

UserLocation QueryUserLocation();

}  // namespace dorvanta::platform
