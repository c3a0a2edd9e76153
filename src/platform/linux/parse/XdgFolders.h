// Where the Windows shell folders are on Linux: the XDG base and user
// directories and the usual system places. Pure text work on given values.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dorvanta::platform::linux_impl {

// What the folder table is computed from; empty texts stand for unset values.
struct XdgSources {
  std::string Home;
  std::string ConfigHome;  // XDG_CONFIG_HOME
  std::string DataHome;    // XDG_DATA_HOME
  std::string CacheHome;   // XDG_CACHE_HOME
  std::string UserDirs;    // content of user-dirs.dirs in the config home
};

// An XDG base directory: the variable's value when it is an absolute path,
// else the home folder followed by `fallback` (".config" and so on).
std::string BaseDirectory(std::string_view value, std::string_view home, std::string_view fallback);

// The folder that user-dirs.dirs gives for `key` (such as XDG_DESKTOP_DIR):
// "$HOME/..." counts from the home folder, an absolute path stays. Empty when
// the file does not set the key to either form.
std::optional<std::string> UserDirectory(std::string_view userDirs, std::string_view key,
                                         std::string_view home);

// The Linux folder for a CSIDL number of the folder table; empty for a folder
// without a Linux counterpart.
std::optional<std::string> LinuxFolderOf(int csidl, const XdgSources& sources);

}  // namespace dorvanta::platform::linux_impl
