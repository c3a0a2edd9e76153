#include "facts/FactSource.h"

#include "facts/HardwareIds.h"
#include "platform/FileSystem.h"
#include "platform/ShellLink.h"

namespace dorvanta {
namespace {

class Machine final : public FactSource {
 public:
  std::vector<platform::PresentDevice> PresentDevices() override {
    return platform::ReadPresentDevices();
  }
  std::optional<bool> PathExists(const std::wstring& path) override {
    return platform::PathExists(path);
  }
  platform::FolderLookup ShellFolder(int csidl) override {
    return platform::LookUpShellFolder(csidl);
  }
  std::wstring_view ShortcutSuffix() override { return platform::ShortcutSuffix(); }
};

FactSource* current = nullptr;

}  // namespace

FactSource& MachineFacts() {
  static Machine machine;
  return machine;
}

FactSource& CurrentFactSource() { return current != nullptr ? *current : MachineFacts(); }

void UseFactSource(FactSource* source) {
  current = source;
  // Devices kept from the other source are not this one's.
  ForgetPresentDevices();
}

}  // namespace dorvanta
