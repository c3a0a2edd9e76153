#include <cstdint>

#include "facts/SystemFacts.h"
#include "platform/Language.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

// The primary language is the low 10 bits of an identifier, the sub-language the high 6.
std::uint16_t PrimaryOf(std::uint16_t id) { return static_cast<std::uint16_t>(id & 0x3FF); }
std::uint16_t SubOf(std::uint16_t id) { return static_cast<std::uint16_t>(id >> 10); }

using LanguageLine = Fmt<std::uint16_t, std::uint16_t>;

// Stores an identifier with its two parts and reports the three, each value as
// decimal and hexadecimal.
void StoreLanguage(std::uint16_t id, std::uint16_t& whole, std::uint16_t& primary,
                   std::uint16_t& sub, const LanguageLine& wholeLine,
                   const LanguageLine& primaryLine, const LanguageLine& subLine) {
  whole = id;
  primary = PrimaryOf(id);
  sub = SubOf(id);
  Report(wholeLine, whole, whole);
  Report(primaryLine, primary, primary);
  Report(subLine, sub, sub);
}

}  // namespace

void GatherLanguageFacts() {
  Report(L"\nLanguage Information:\n---------------------\n");
  StoreLanguage(platform::QueryUserDefaultUiLanguage(), SystemFacts.UserDefaultUi,
                SystemFacts.UserDefaultUiPrimary, SystemFacts.UserDefaultUiSub,
                L"UserDefaultUI Lang ID         = %ld (0x%x)\n",
                L"UserDefaultUI Primary Lang ID = %ld (0x%x)\n",
                L"UserDefaultUI Sub Lang ID     = %ld (0x%x)\n");
  StoreLanguage(platform::QuerySystemDefaultUiLanguage(), SystemFacts.SysDefaultUi,
                SystemFacts.SysDefaultUiPrimary, SystemFacts.SysDefaultUiSub,
                L"SysDefaultUI Lang ID          = %ld (0x%x)\n",
                L"SysDefaultUI Primary Lang ID  = %ld (0x%x)\n",
                L"SysDefaultUI Sub Lang ID      = %ld (0x%x)\n");
  StoreLanguage(platform::QuerySystemDefaultLanguage(), SystemFacts.SysDefault,
                SystemFacts.SysDefaultPrimary, SystemFacts.SysDefaultSub,
                L"SysDefault Lang ID (non UNICODE)         = %ld (0x%x)\n",
                L"SysDefault Primary Lang ID (non UNICODE) = %ld (0x%x)\n",
                L"SysDefault Sub Lang ID (non UNICODE)     = %ld (0x%x)\n");

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
