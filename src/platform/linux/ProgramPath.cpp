#include "platform/linux/ProgramPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace dorvanta::platform::linux_impl {

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

std::string LocateProgram(const std::string& native) {
  if (native.find('/') != std::string::npos) return native;
  struct stat info {};
  if (::stat(native.c_str(), &info) == 0) return native;
  const char* search = std::getenv("PATH");
  const std::string folders = search == nullptr ? std::string() : std::string(search);
  std::size_t from = 0;
  while (from <= folders.size()) {
    std::size_t end = folders.find(':', from);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = folders.substr(from, end - from);
    std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + native;
    if (IsExecutableFile(candidate)) return candidate;
    from = end + 1;
  }
  return native;
}

std::string AbsolutePath(const std::string& path) {
  if (path.starts_with('/')) return path;
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return path;
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data()) + "/" + path;
}

}  // namespace dorvanta::platform::linux_impl
