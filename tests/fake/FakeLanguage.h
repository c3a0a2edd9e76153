// The fake platform's language identifiers and user location.
#pragma once

#include <cstdint>

#include "platform/Language.h"

namespace dorvanta::fake {

struct LanguageState {
  std::uint16_t UserDefaultUi = 0x0409;
  std::uint16_t SystemDefaultUi = 0x0409;
  std::uint16_t SystemDefault = 0x0409;
  platform::UserLocation Location{platform::UserLocation::Status::Found, L"US"};
};

LanguageState& Language();
void ResetLanguage();

}  // namespace dorvanta::fake
