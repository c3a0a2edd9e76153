#include "platform/ShellFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "common/Encoding.h"
#include "platform/linux/FileIo.h"
#include "platform/linux/parse/XdgFolders.h"

namespace dorvanta::platform {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// $HOME, else the home folder of the user's account.
std::string HomeFolder() {
  std::string home = Variable("HOME");
  if (home.empty()) {
    if (const passwd* account = ::getpwuid(::getuid()); account != nullptr && account->pw_dir) {
      home = account->pw_dir;
    }
  }
  return home;
}

}  // namespace

FolderLookup LookUpShellFolder(int csidl) {
  linux_impl::XdgSources sources;
  sources.Home = HomeFolder();
  sources.ConfigHome = Variable("XDG_CONFIG_HOME");
  sources.DataHome = Variable("XDG_DATA_HOME");
  sources.CacheHome = Variable("XDG_CACHE_HOME");
  const std::string config = linux_impl::BaseDirectory(sources.ConfigHome, sources.Home, ".config");
  sources.UserDirs = linux_impl::ReadConfigFile(config + "/user-dirs.dirs").value_or(std::string());

  const std::optional<std::string> folder = linux_impl::LinuxFolderOf(csidl, sources);
  if (!folder) return FolderLookup{FolderLookupStatus::NoPath, {}};
  return FolderLookup{FolderLookupStatus::Found, DecodeUtf8(*folder)};
}

}  // namespace dorvanta::platform
