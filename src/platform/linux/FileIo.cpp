#include "platform/linux/FileIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace dorvanta::platform::linux_impl {

void CloseDescriptor(int fd) { ::close(fd); }

std::optional<std::string> ReadToEnd(int fd, int* error, std::size_t sizeHint) {
  std::string content;
  content.reserve(sizeHint);
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got == 0) return content;
    if (got < 0) {
      if (errno == EINTR) continue;
      if (error != nullptr) *error = errno;
      return std::nullopt;
    }
    content.append(chunk, static_cast<std::size_t>(got));
  }
}

std::optional<std::string> ReadWholeFile(const std::string& path, int* error) {
  const FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) {
    if (error != nullptr) *error = errno;
    return std::nullopt;
  }
  return ReadToEnd(file.get(), error);
}

bool WriteAll(int fd, std::string_view bytes, int* error) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (error != nullptr) *error = n < 0 ? errno : 0;
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace dorvanta::platform::linux_impl
