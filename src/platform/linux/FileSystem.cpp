#include "platform/FileSystem.h"

#include <sys/stat.h>

#include "platform/linux/NativePath.h"

namespace dorvanta::platform {

bool PathExists(const std::wstring& path) {
  if (path.empty()) return false;
  struct stat info {};
  return ::stat(linux_impl::ToNativePath(path).c_str(), &info) == 0;
}

}  // namespace dorvanta::platform
