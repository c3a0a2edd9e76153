#include "fake/FakeLanguage.h"

namespace dorvanta {
namespace fake {

LanguageState& Language() {
  static LanguageState state;
  return state;
}

void ResetLanguage() { Language() = LanguageState{}; }

}  // namespace fake

namespace platform {

std::uint16_t QueryUserDefaultUiLanguage() { return fake::Language().UserDefaultUi; }
std::uint16_t QuerySystemDefaultUiLanguage() { return fake::Language().SystemDefaultUi; }
std::uint16_t QuerySystemDefaultLanguage() { return fake::Language().SystemDefault; }
UserLocation QueryUserLocation() { return fake::Language().Location; }

}  // namespace platform
}  // namespace dorvanta
