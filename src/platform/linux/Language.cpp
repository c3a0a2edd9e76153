#include "platform/Language.h"

#include <unicode/uloc.h>

#include <cstdlib>
#include <optional>

#include "common/Encoding.h"
#include "platform/linux/FileIo.h"
#include "platform/linux/parse/LocaleSources.h"

namespace dorvanta::platform {
namespace {

constexpr std::uint16_t kEnglishUnitedStates = 0x0409;

std::string UserLocaleName() {
  return linux_impl::MessagesLocaleName(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                        std::getenv("LANG"));
}

// The system-wide locale, or the user's when the system names none.
std::string SystemLocaleName() {
  for (const char* path : {"/etc/locale.conf", "/etc/default/locale"}) {
    if (const auto content = linux_impl::ReadConfigFile(path)) {
      std::string lang = linux_impl::ParseLocaleConfLang(*content);
      if (!lang.empty()) return lang;
      break;
    }
  }
  return UserLocaleName();
}

// ICU's form of a POSIX locale name: "de_DE.UTF-8" becomes "de_DE".
std::optional<std::string> Canonical(const std::string& name) {
  char canonical[ULOC_FULLNAME_CAPACITY] = {};
  UErrorCode status = U_ZERO_ERROR;
  uloc_canonicalize(name.c_str(), canonical, sizeof canonical, &status);
  if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING) return std::nullopt;
  return std::string(canonical);
}

std::uint16_t LanguageIdOf(const std::string& name) {
  if (linux_impl::IsPosixLocaleName(name)) return kEnglishUnitedStates;
  const std::optional<std::string> canonical = Canonical(name);
  if (!canonical) return 0;
  // The low 16 bits of a locale identifier are its language identifier.
  return static_cast<std::uint16_t>(uloc_getLCID(canonical->c_str()) & 0xFFFF);
}

std::string CountryOf(const std::string& locale) {
  char country[ULOC_COUNTRY_CAPACITY + 1] = {};
  UErrorCode status = U_ZERO_ERROR;
  uloc_getCountry(locale.c_str(), country, ULOC_COUNTRY_CAPACITY, &status);
  if (U_FAILURE(status)) return std::string();
  return country;
}

}  // namespace

std::uint16_t QueryUserDefaultUiLanguage() { return LanguageIdOf(UserLocaleName()); }
std::uint16_t QuerySystemDefaultUiLanguage() { return LanguageIdOf(SystemLocaleName()); }
std::uint16_t QuerySystemDefaultLanguage() { return LanguageIdOf(SystemLocaleName()); }

UserLocation QueryUserLocation() {
  const std::string name = UserLocaleName();
  if (linux_impl::IsPosixLocaleName(name)) return UserLocation{UserLocation::Status::Found, L"US"};
  const std::optional<std::string> canonical = Canonical(name);
  if (!canonical) return UserLocation{UserLocation::Status::NoGeoId, {}};
  std::string country = CountryOf(*canonical);
  if (country.empty()) {
    // A locale without territory takes the one its language most likely has.
    char likely[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    uloc_addLikelySubtags(canonical->c_str(), likely, sizeof likely, &status);
    if (U_SUCCESS(status) && status != U_STRING_NOT_TERMINATED_WARNING) country = CountryOf(likely);
  }
  if (country.empty()) return UserLocation{UserLocation::Status::NoGeoId, {}};
  return UserLocation{UserLocation::Status::Found, DecodeUtf8(country)};
}

}  // namespace dorvanta::platform
