// Every fact a rule can test on this machine, gathered at once without a report
// and without ending the run: a fact whose source failed carries the failure.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "facts/FactSource.h"
#include "facts/SystemFacts.h"
#include "platform/Devices.h"
#include "platform/OsInfo.h"
#include "platform/ShellFolder.h"

namespace dorvanta {

struct FolderFact {
  std::wstring Token;  // CSIDL_...
  platform::FolderLookup Lookup;
};

// Which machine the facts are of, and when they were gathered.
struct FactsOrigin {
  platform::System System = platform::System::Windows;
  std::wstring Host;
  std::string Captured;  // UTC, ISO 8601 with milliseconds
  platform::OsRelease Release;
};

struct FactsSnapshot {
  // None for facts of a document that does not say (the first version's).
  std::optional<FactsOrigin> Origin;
  SystemFactsRecord Record;
  // The criteria key (OSMajor, CurrentLocation, DMIVendor, ...) of each fact
  // whose source failed, with the failure as the run reports it.
  std::map<std::wstring, std::wstring> Failures;
  std::vector<platform::PresentDevice> Devices;
  std::vector<FolderFact> Folders;  // in the order of the folder table
};

FactsSnapshot CollectFacts(FactSource& source);

// The start-up facts of the record and their failures alone, without the
// devices and folders (which a walk looks up when a line asks).
FactsSnapshot CollectStartupFacts();

// The facts of a snapshot taken elsewhere: its devices and folders; whether a
// file exists there cannot be known here. The snapshot must not change while
// the source lives.
class SnapshotFacts final : public FactSource {
 public:
  explicit SnapshotFacts(const FactsSnapshot& snapshot) : snapshot_(snapshot) {}

  [[nodiscard]] const FactsSnapshot& Snapshot() const { return snapshot_; }

  std::vector<platform::PresentDevice> PresentDevices() override { return snapshot_.Devices; }
  // Indexed at the first search; every walk over this source searches that index.
  const HardwareIdIndex* LentHardwareIds() override {
    if (!index_) index_.emplace(snapshot_.Devices);
    return &*index_;
  }
  std::optional<bool> PathExists(const std::wstring& /*path*/) override { return std::nullopt; }
  platform::FolderLookup ShellFolder(int csidl) override;
  // That machine's ending, this system's when the snapshot does not say.
  std::wstring_view ShortcutSuffix() override;

 private:
  const FactsSnapshot& snapshot_;
  std::optional<HardwareIdIndex> index_;
};

}  // namespace dorvanta
