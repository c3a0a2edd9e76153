#include <cstdint>

#include "facts/FactSources.h"
#include "facts/SystemFacts.h"
#include "platform/Language.h"
#include "report/Report.h"
#include "run/RunContext.h"

namespace dorvanta {
namespace {

// The primary language is the low 10 bits of an identifier, the sub-language the high 6.
std::uint16_t PrimaryOf(std::uint16_t id) { return static_cast<std::uint16_t>(id & 0x3FF); }
std::uint16_t SubOf(std::uint16_t id) { return static_cast<std::uint16_t>(id >> 10); }

void Store(std::uint16_t id, std::uint16_t& whole, std::uint16_t& primary, std::uint16_t& sub) {
  whole = id;
  primary = PrimaryOf(id);
  sub = SubOf(id);
}

using LanguageLine = Fmt<std::uint16_t, std::uint16_t>;

// Reports an identifier with its two parts, each value as decimal and hexadecimal.
void ReportLanguage(ReportSink& sink, std::uint16_t whole, std::uint16_t primary, std::uint16_t sub,
                    const LanguageLine& wholeLine, const LanguageLine& primaryLine,
                    const LanguageLine& subLine) {
  Report(sink, wholeLine, whole, whole);
  Report(sink, primaryLine, primary, primary);
  Report(sink, subLine, sub, sub);
}

}  // namespace

LanguageSources ReadLanguageSources() {
  return LanguageSources{platform::QueryUserDefaultUiLanguage(),
                         platform::QuerySystemDefaultUiLanguage(),
                         platform::QuerySystemDefaultLanguage(), platform::QueryUserLocation()};
}

void ApplyLanguageSources(const LanguageSources& sources, SystemFactsRecord& record) {
  Store(sources.UserDefaultUi, record.UserDefaultUi, record.UserDefaultUiPrimary,
        record.UserDefaultUiSub);
  Store(sources.SystemDefaultUi, record.SysDefaultUi, record.SysDefaultUiPrimary,
        record.SysDefaultUiSub);
  Store(sources.SystemDefault, record.SysDefault, record.SysDefaultPrimary, record.SysDefaultSub);
  if (sources.Location.State == platform::UserLocation::Status::Found) {
    record.CurrentLocation = sources.Location.Iso2;
  }
}

std::optional<std::wstring> LocationFailure(const platform::UserLocation& location) {
  switch (location.State) {
    case platform::UserLocation::Status::NoGeoId:
      return L"GEOID not available!";
    case platform::UserLocation::Status::NoIso2Code:
      return L"Could not get GEO_ISO2 info!";
    case platform::UserLocation::Status::Found:
      break;
  }
  return std::nullopt;
}

bool GatherLanguageFacts(RunContext& context) {
  ReportSink& sink = context.Sink;
  Report(sink, L"\nLanguage Information:\n---------------------\n");
  const LanguageSources sources = ReadLanguageSources();
  ApplyLanguageSources(sources, context.Facts);
  const SystemFactsRecord& facts = context.Facts;
  ReportLanguage(sink, facts.UserDefaultUi, facts.UserDefaultUiPrimary, facts.UserDefaultUiSub,
                 L"UserDefaultUI Lang ID         = %ld (0x%x)\n",
                 L"UserDefaultUI Primary Lang ID = %ld (0x%x)\n",
                 L"UserDefaultUI Sub Lang ID     = %ld (0x%x)\n");
  ReportLanguage(sink, facts.SysDefaultUi, facts.SysDefaultUiPrimary, facts.SysDefaultUiSub,
                 L"SysDefaultUI Lang ID          = %ld (0x%x)\n",
                 L"SysDefaultUI Primary Lang ID  = %ld (0x%x)\n",
                 L"SysDefaultUI Sub Lang ID      = %ld (0x%x)\n");
  ReportLanguage(sink, facts.SysDefault, facts.SysDefaultPrimary, facts.SysDefaultSub,
                 L"SysDefault Lang ID (non UNICODE)         = %ld (0x%x)\n",
                 L"SysDefault Primary Lang ID (non UNICODE) = %ld (0x%x)\n",
                 L"SysDefault Sub Lang ID (non UNICODE)     = %ld (0x%x)\n");
  if (const std::optional<std::wstring> failure = LocationFailure(sources.Location)) {
    Report(sink, L"ERROR: %s\n", *failure);
    return false;
  }
  Report(sink, L"Current Location = %s\n", facts.CurrentLocation);
  return true;
}

}  // namespace dorvanta
