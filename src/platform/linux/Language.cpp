#include "platform/Language.h"

#include <cstdlib>

#include "common/Encoding.h"
#include "platform/linux/FileIo.h"
#include "platform/linux/parse/LocaleSources.h"

namespace dorvanta::platform {
namespace {

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

}  // namespace

std::uint16_t QueryUserDefaultUiLanguage() {
  return linux_impl::MapLocale(UserLocaleName()).LanguageId;
}
std::uint16_t QuerySystemDefaultUiLanguage() {
  return linux_impl::MapLocale(SystemLocaleName()).LanguageId;
}
std::uint16_t QuerySystemDefaultLanguage() {
  return linux_impl::MapLocale(SystemLocaleName()).LanguageId;
}

UserLocation QueryUserLocation() {
  const std::string location = linux_impl::MapLocale(UserLocaleName()).Location;
  if (location.empty()) return UserLocation{UserLocation::Status::NoGeoId, {}};
  return UserLocation{UserLocation::Status::Found, DecodeUtf8(location)};
}

}  // namespace dorvanta::platform
