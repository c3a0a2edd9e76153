#include <cstdint>

#include "facts/SystemFacts.h"
#include "platform/Language.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

// The primary language is the low 10 bits of an identifier, the sub-language the high 6.
std::uint16_t PrimaryOf(std::uint16_t id) { return static_cast<std::uint16_t>(id & 0x3FF); }
std::uint16_t SubOf(std::uint16_t id) { return static_cast<std::uint16_t>(id >> 10); }

}  // namespace

void GatherLanguageFacts() {
  Report(L"\nLanguage Information:\n---------------------\n");

  SystemFacts.UserDefaultUi = platform::QueryUserDefaultUiLanguage();
  SystemFacts.UserDefaultUiPrimary = PrimaryOf(SystemFacts.UserDefaultUi);
  SystemFacts.UserDefaultUiSub = SubOf(SystemFacts.UserDefaultUi);
  Report(L"UserDefaultUI Lang ID         = %ld (0x%x)\n", SystemFacts.UserDefaultUi,
         SystemFacts.UserDefaultUi);
  Report(L"UserDefaultUI Primary Lang ID = %ld (0x%x)\n", SystemFacts.UserDefaultUiPrimary,
         SystemFacts.UserDefaultUiPrimary);
  Report(L"UserDefaultUI Sub Lang ID     = %ld (0x%x)\n", SystemFacts.UserDefaultUiSub,
         SystemFacts.UserDefaultUiSub);

  SystemFacts.SysDefaultUi = platform::QuerySystemDefaultUiLanguage();
  SystemFacts.SysDefaultUiPrimary = PrimaryOf(SystemFacts.SysDefaultUi);
  SystemFacts.SysDefaultUiSub = SubOf(SystemFacts.SysDefaultUi);
  Report(L"SysDefaultUI Lang ID          = %ld (0x%x)\n", SystemFacts.SysDefaultUi,
         SystemFacts.SysDefaultUi);
  Report(L"SysDefaultUI Primary Lang ID  = %ld (0x%x)\n", SystemFacts.SysDefaultUiPrimary,
         SystemFacts.SysDefaultUiPrimary);
  Report(L"SysDefaultUI Sub Lang ID      = %ld (0x%x)\n", SystemFacts.SysDefaultUiSub,
         SystemFacts.SysDefaultUiSub);

  SystemFacts.SysDefault = platform::QuerySystemDefaultLanguage();
  SystemFacts.SysDefaultPrimary = PrimaryOf(SystemFacts.SysDefault);
  SystemFacts.SysDefaultSub = SubOf(SystemFacts.SysDefault);
  Report(L"SysDefault Lang ID (non UNICODE)         = %ld (0x%x)\n", SystemFacts.SysDefault,
         SystemFacts.SysDefault);
  Report(L"SysDefault Primary Lang ID (non UNICODE) = %ld (0x%x)\n", SystemFacts.SysDefaultPrimary,
         SystemFacts.SysDefaultPrimary);
  Report(L"SysDefault Sub Lang ID (non UNICODE)     = %ld (0x%x)\n", SystemFacts.SysDefaultSub,
         SystemFacts.SysDefaultSub);

  const platform::UserLocation location = platform::QueryUserLocation();
  if (location.State == platform::UserLocation::Status::NoGeoId) {
    ReportAndExit(1, L"ERROR: GEOID not available!\n");
  }
  if (location.State == platform::UserLocation::Status::NoIso2Code) {
    ReportAndExit(1, L"ERROR: Could not get GEO_ISO2 info!\n");
  }
  SystemFacts.CurrentLocation = location.Iso2;
  Report(L"Current Location = %s\n", SystemFacts.CurrentLocation);
}

}  // namespace dorvanta
