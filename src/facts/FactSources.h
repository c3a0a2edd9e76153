// The answers of the platform from which the start-up facts are made, one
// plain record per group, and the pure steps that turn them into facts. The
// program's gatherers (SystemFacts.h) report them as they go; dvtool collects
// them without ending the run on a failure.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "facts/SystemFacts.h"
#include "platform/Language.h"
#include "platform/OsInfo.h"
#include "platform/Wmi.h"

namespace dorvanta {

struct OsSources {
  std::optional<platform::OsVersion> Version;  // none when the query failed
  platform::ProcessorInfo Processor;
  std::uint32_t VersionWord = 0;
};

struct LanguageSources {
  std::uint16_t UserDefaultUi = 0;
  std::uint16_t SystemDefaultUi = 0;
  std::uint16_t SystemDefault = 0;
  platform::UserLocation Location;
};

struct DmiSources {
  platform::WmiAnswer MachineType;
  platform::WmiAnswer PaNumber;
  platform::WmiAnswer Vendor;
};

OsSources ReadOsSources();
LanguageSources ReadLanguageSources();
DmiSources ReadDmiSources();

// Fills the OS and processor facts; the version's own fields stay untouched
// when the version query failed.
void ApplyOsSources(const OsSources& sources, SystemFactsRecord& record);
// Fills the nine language facts, and the location when it was found.
void ApplyLanguageSources(const LanguageSources& sources, SystemFactsRecord& record);

// What the run reports when the location cannot be had, without "ERROR: ".
std::optional<std::wstring> LocationFailure(const platform::UserLocation& location);
// The failure of a DMI query as the run reports it, without "ERROR: ".
std::wstring DescribeDmiFailure(const platform::WmiFailure& failure, const std::wstring& property);

inline constexpr std::wstring_view kOsVersionFailure = L"Could not get OS version!";

}  // namespace dorvanta
