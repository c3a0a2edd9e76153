#include "platform/LogFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "common/Encoding.h"
#include "platform/linux/NativePath.h"

namespace dorvanta::platform {

LogWriteResult WriteLogFile(const std::wstring& path, std::wstring_view text, bool truncate) {
  const std::string native = linux_impl::ToNativePath(path);
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : O_APPEND);
  const int fd = ::open(native.c_str(), flags, 0666);
  if (fd < 0) return LogWriteResult{false, errno};

  const std::string bytes = EncodeUtf8(text);
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : 0;
      ::close(fd);
      return LogWriteResult{false, error};
    }
    written += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) return LogWriteResult{false, errno};
  return LogWriteResult{};
}

}  // namespace dorvanta::platform
