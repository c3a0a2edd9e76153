#include "platform/ShellLink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "common/Encoding.h"
#include "platform/linux/FileIo.h"
#include "platform/linux/NativePath.h"
#include "platform/linux/ProgramPath.h"
#include "platform/linux/parse/DesktopEntry.h"
#include "platform/linux/parse/ShellWords.h"

namespace dorvanta::platform {
namespace {

constexpr std::wstring_view kSuffix = ShortcutSuffixOf(System::Linux);

// The launcher's Name: the file's base name without its suffix.
std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.size() > kSuffix.size()) name.resize(name.size() - kSuffix.size());
  return name;
}

// Writes the file next to its final place and renames it there, so that a
// failure never leaves half a launcher behind. The temporary name is short and
// hidden, so that it fits wherever the final name fits.
bool WriteAtomically(const std::string& path, const std::string& bytes) {
  const std::size_t slash = path.rfind('/');
  std::string temporary =
      (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".dorvanta-XXXXXX";
  linux_impl::FileHandle file(::mkstemp(temporary.data()));
  if (!file) return false;
  // Executable, so that desktops trust the launcher.
  const bool written = linux_impl::WriteAll(file.get(), bytes) && ::fchmod(file.get(), 0755) == 0 &&
                       ::fsync(file.get()) == 0;
  const bool closed = linux_impl::CloseFile(std::move(file));
  if (written && closed && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

}  // namespace

std::wstring_view ShortcutSuffix() { return kSuffix; }

std::optional<ShortcutStep> WriteShortcut(const ShortcutRequest& request) {
  const std::string linkFile = linux_impl::ToNativePath(request.LinkFile);
  linux_impl::DesktopEntry entry;
  // The arguments are one text, split into words as the program start splits them;
  // a quote that does not close cannot be stored.
  const auto words = linux_impl::SplitShellWords(request.Arguments);
  if (!words) return ShortcutStep::SetArguments;
  for (const std::wstring& word : *words) {
    entry.Arguments.push_back(EncodeUtf8(word));
    if (!linux_impl::CanBeWritten(entry.Arguments.back())) return ShortcutStep::SetArguments;
  }
  // The target is found as the program start finds it and fixed as an absolute
  // path. An executable file (or one that is not there yet) is started; anything
  // else is opened with the desktop's default action, without the arguments.
  const std::string target =
      linux_impl::AbsolutePath(linux_impl::LocateProgram(linux_impl::ToNativePath(request.Target)));
  if (!linux_impl::CanBeWritten(target)) return ShortcutStep::SetPath;
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0 || linux_impl::IsExecutableFile(target)) {
    entry.Program = target;
  } else {
    entry.Program = "xdg-open";
    entry.Arguments = {target};
  }
  entry.Comment = EncodeUtf8(request.Description);
  if (!linux_impl::CanBeWritten(entry.Comment)) return ShortcutStep::SetDescription;
  if (!request.IconFile.empty()) {
    entry.Icon = linux_impl::ToNativePath(request.IconFile);
    if (!linux_impl::CanBeWritten(entry.Icon)) return ShortcutStep::SetIconLocation;
  }
  entry.Name = BaseName(linkFile);
  if (!linux_impl::CanBeWritten(entry.Name)) return ShortcutStep::Save;
  if (!WriteAtomically(linkFile, linux_impl::DesktopEntryText(entry))) return ShortcutStep::Save;
  return std::nullopt;
}

}  // namespace dorvanta::platform
