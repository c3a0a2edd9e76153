// Where the facts that criteria and paths look at while the walk runs come
// from: the machine itself, or a facts document written on another machine.
// A run's context (RunContext) names the source of its walk.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "facts/HardwareIdIndex.h"
#include "platform/Devices.h"
#include "platform/ShellFolder.h"

namespace dorvanta {

class FactSource {
 public:
  FactSource() = default;
  FactSource(const FactSource&) = delete;
  FactSource& operator=(const FactSource&) = delete;
  virtual ~FactSource() = default;

  // The present devices with their hardware-ID lists, in search order.
  virtual std::vector<platform::PresentDevice> PresentDevices() = 0;
  // The hardware IDs of the present devices, indexed once and lent for as long
  // as the source lives, when the devices never change (a snapshot's); nothing
  // when they are read afresh each time.
  virtual const HardwareIdIndex* LentHardwareIds() { return nullptr; }
  // Whether a file or folder exists at the path; nothing when that cannot be
  // known where the walk runs.
  virtual std::optional<bool> PathExists(const std::wstring& path) = 0;
  // The shell folder with the CSIDL number.
  virtual platform::FolderLookup ShellFolder(int csidl) = 0;
  // The file name ending of a shortcut there (".lnk", ".desktop").
  virtual std::wstring_view ShortcutSuffix() = 0;
};

// The machine the program runs on.
FactSource& MachineFacts();

}  // namespace dorvanta
