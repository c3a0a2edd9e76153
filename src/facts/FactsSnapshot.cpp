#include "facts/FactsSnapshot.h"

#include <optional>
#include <variant>

#include "common/IsoTime.h"
#include "facts/FactSources.h"
#include "paths/PathResolver.h"
#include "platform/Clock.h"
#include "platform/Identity.h"
#include "platform/ShellLink.h"

namespace dorvanta {
namespace {

// The text of a DMI query, or its failure noted for the key.
std::wstring DmiText(const platform::WmiAnswer& answer, const std::wstring& property,
                     const std::wstring& key, FactsSnapshot& snapshot) {
  if (const auto* failure = std::get_if<platform::WmiFailure>(&answer)) {
    snapshot.Failures[key] = DescribeDmiFailure(*failure, property);
    return std::wstring();
  }
  return std::get<std::wstring>(answer);
}

}  // namespace

FactsSnapshot CollectFacts(FactSource& source) {
  FactsSnapshot snapshot = CollectStartupFacts();
  snapshot.Origin = FactsOrigin{platform::ThisSystem(), platform::HostName(),
                                IsoTime(platform::UtcNow()), platform::QueryOsRelease()};
  snapshot.Devices = source.PresentDevices();
  for (const FolderToken& token : FolderTokens()) {
    snapshot.Folders.push_back(
        FolderFact{std::wstring(token.Name), source.ShellFolder(token.Csidl)});
  }
  return snapshot;
}

FactsSnapshot CollectStartupFacts() {
  FactsSnapshot snapshot;
  const OsSources os = ReadOsSources();
  ApplyOsSources(os, snapshot.Record);
  if (!os.Version) {
    snapshot.Failures[L"OSMajor"] = std::wstring(kOsVersionFailure);
    snapshot.Failures[L"OSMinor"] = std::wstring(kOsVersionFailure);
  }
  const LanguageSources languages = ReadLanguageSources();
  ApplyLanguageSources(languages, snapshot.Record);
  if (const std::optional<std::wstring> failure = LocationFailure(languages.Location)) {
    snapshot.Failures[L"CurrentLocation"] = *failure;
  }
  const DmiSources dmi = ReadDmiSources();
  SystemFactsRecord& record = snapshot.Record;
  record.DmiMachineType = DmiText(dmi.MachineType, L"Name", L"DMIMachineType", snapshot);
  record.DmiPaNumber = DmiText(dmi.PaNumber, L"Version", L"DMIPANumber", snapshot);
  record.DmiVendor = DmiText(dmi.Vendor, L"Vendor", L"DMIVendor", snapshot);
  return snapshot;
}

platform::FolderLookup SnapshotFacts::ShellFolder(int csidl) {
  for (const FolderToken& token : FolderTokens()) {
    if (token.Csidl != csidl) continue;
    for (const FolderFact& folder : snapshot_.Folders) {
      if (folder.Token == token.Name) return folder.Lookup;
    }
  }
  return platform::FolderLookup{};
}

std::wstring_view SnapshotFacts::ShortcutSuffix() {
  return snapshot_.Origin ? platform::ShortcutSuffixOf(snapshot_.Origin->System)
                          : platform::ShortcutSuffix();
}

}  // namespace dorvanta
