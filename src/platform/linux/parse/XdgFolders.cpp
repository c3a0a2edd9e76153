#include "platform/linux/parse/XdgFolders.h"

#include "platform/linux/parse/Blanks.h"

namespace dorvanta::platform::linux_impl {
namespace {

std::string Join(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.ends_with('/')) path.push_back('/');
  path.append(name);
  return path;
}

// A user directory of user-dirs.dirs, or home/`fallback` when it is not set.
std::string UserDirectoryOr(const XdgSources& sources, std::string_view key,
                            std::string_view fallback) {
  const std::string home = sources.Home.empty() ? std::string("/") : sources.Home;
  return UserDirectory(sources.UserDirs, key, home).value_or(Join(home, fallback));
}

}  // namespace

std::string BaseDirectory(std::string_view value, std::string_view home,
                          std::string_view fallback) {
  if (value.starts_with('/')) return std::string(value);
  return Join(home.empty() ? std::string_view("/") : home, fallback);
}

std::optional<std::string> UserDirectory(std::string_view userDirs, std::string_view key,
                                         std::string_view home) {
  std::optional<std::string> found;
  std::size_t from = 0;
  while (from <= userDirs.size()) {
    std::size_t end = userDirs.find('\n', from);
    if (end == std::string_view::npos) end = userDirs.size();
    const std::string_view line = TrimBlanks(userDirs.substr(from, end - from));
    from = end + 1;
    if (!line.starts_with(key) || line.substr(key.size()).find('=') != 0) continue;
    std::string_view value = TrimBlanks(line.substr(key.size() + 1));
    if (value.size() < 2 || !value.starts_with('"') || !value.ends_with('"')) continue;
    value = value.substr(1, value.size() - 2);
    // Shell quoting inside double quotes: a backslash takes the next character.
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) ++i;
      text.push_back(value[i]);
    }
    if (text == "$HOME" || text.starts_with("$HOME/")) {
      found = std::string(home) + text.substr(5);
    } else if (text.starts_with('/')) {
      found = text;
    }
  }
  return found;
}

std::optional<std::string> LinuxFolderOf(int csidl, const XdgSources& sources) {
  const std::string config = BaseDirectory(sources.ConfigHome, sources.Home, ".config");
  const std::string data = BaseDirectory(sources.DataHome, sources.Home, ".local/share");
  switch (csidl) {
    case 0x07:  // CSIDL_STARTUP
      return Join(config, "autostart");
    case 0x18:  // CSIDL_COMMON_STARTUP
      return "/etc/xdg/autostart";
    case 0x1A:  // CSIDL_APPDATA
      return config;
    case 0x23:  // CSIDL_COMMON_APPDATA
      return "/var/lib";
    case 0x10:  // CSIDL_DESKTOPDIRECTORY
      return UserDirectoryOr(sources, "XDG_DESKTOP_DIR", "Desktop");
    case 0x14:  // CSIDL_FONTS
      return Join(data, "fonts");
    case 0x20:  // CSIDL_INTERNET_CACHE
      return BaseDirectory(sources.CacheHome, sources.Home, ".cache");
    case 0x1C:  // CSIDL_LOCAL_APPDATA
      return data;
    case 0x27:  // CSIDL_MYPICTURES
      return UserDirectoryOr(sources, "XDG_PICTURES_DIR", "Pictures");
    case 0x05:  // CSIDL_PERSONAL
      return UserDirectoryOr(sources, "XDG_DOCUMENTS_DIR", "Documents");
    case 0x26:  // CSIDL_PROGRAM_FILES
      return "/opt";
    case 0x2B:  // CSIDL_PROGRAM_FILES_COMMON
      return "/usr/lib";
    case 0x0B:  // CSIDL_STARTMENU
    case 0x02:  // CSIDL_PROGRAMS
      return Join(data, "applications");
    case 0x16:  // CSIDL_COMMON_STARTMENU
    case 0x17:  // CSIDL_COMMON_PROGRAMS
      return "/usr/share/applications";
    case 0x25:  // CSIDL_SYSTEM
      return "/usr/bin";
    case 0x24:  // CSIDL_WINDOWS
      return "/usr";
    default:  // administrative tools, recycle bin, public desktop and documents, cookies, history
      return std::nullopt;
  }
}

}  // namespace dorvanta::platform::linux_impl
