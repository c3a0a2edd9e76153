#include "facts/FactSource.h"

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

}  // namespace

FactSource& MachineFacts() {
  static Machine machine;
  return machine;
}

}  // namespace dorvanta
