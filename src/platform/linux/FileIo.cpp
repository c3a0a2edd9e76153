#include "platform/linux/FileIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace dorvanta::platform::linux_impl {
void CloseDescriptor(int fd) { ::close(fd); }

bool CloseFile(FileHandle file, int* error) {
  if (::close(file.release()) == 0) return true;
  if (error != nullptr) *error = errno;
  return false;
}

std::optional<LimitedRead> ReadUpTo(int fd, std::size_t limit, int* error, std::size_t sizeHint) {
  LimitedRead result;
  result.Bytes.reserve(std::min(sizeHint, limit));
  char chunk[65536];
  for (;;) {
    // One byte beyond the limit tells a file of exactly `limit` bytes from a longer one.
    const std::size_t wanted = std::min(sizeof chunk, limit - result.Bytes.size() + 1);
    const ssize_t got = ::read(fd, chunk, wanted);
    if (got == 0) return result;
    if (got < 0) {
      if (errno == EINTR) continue;
      if (error != nullptr) *error = errno;
      return std::nullopt;
    }
    const auto count = static_cast<std::size_t>(got);
    if (count > limit - result.Bytes.size()) {
      result.Bytes.append(chunk, limit - result.Bytes.size());
      result.Cut = true;
      return result;
    }
    result.Bytes.append(chunk, count);
  }
}

std::optional<std::string> ReadConfigFile(const std::string& path, int* error) {
  const FileHandle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) {
    if (error != nullptr) *error = errno;
    return std::nullopt;
  }
  std::optional<LimitedRead> read = ReadUpTo(file.get(), kConfigFileLimit, error);
  if (!read) return std::nullopt;
  return std::move(read->Bytes);
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
