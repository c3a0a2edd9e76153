#include "platform/FileSystem.h"

#include <sys/stat.h>

#include <optional>

#include "platform/linux/NativePath.h"

namespace dorvanta::platform {
namespace {

// The status of what `path` names, links followed.
std::optional<struct stat> StatusOf(const std::wstring& path) {
  if (path.empty()) return std::nullopt;
  struct stat info {};
  if (::stat(linux_impl::ToNativePath(path).c_str(), &info) != 0) return std::nullopt;
  return info;
}

}  // namespace

bool PathExists(const std::wstring& path) { return StatusOf(path).has_value(); }

bool NameSameExistingFile(const std::wstring& first, const std::wstring& second) {
  const std::optional<struct stat> one = StatusOf(first);
  const std::optional<struct stat> other = StatusOf(second);
  return one && other && one->st_dev == other->st_dev && one->st_ino == other->st_ino;
}

}  // namespace dorvanta::platform
