#include "platform/linux/FileRead.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace dorvanta::platform::linux_impl {

std::optional<std::string> ReadWholeFile(const std::string& path, int* error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (error != nullptr) *error = errno;
    return std::nullopt;
  }
  std::string content;
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      if (error != nullptr) *error = errno;
      ::close(fd);
      return std::nullopt;
    }
    content.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return content;
}

}  // namespace dorvanta::platform::linux_impl
