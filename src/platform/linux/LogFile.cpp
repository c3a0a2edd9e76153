#include "platform/LogFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "common/Encoding.h"
#include "platform/linux/FileIo.h"
#include "platform/linux/NativePath.h"

namespace dorvanta::platform {

LogWriteResult WriteLogFile(const std::wstring& path, std::wstring_view text, bool truncate) {
  const std::string native = linux_impl::ToNativePath(path);
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : O_APPEND);
  const int fd = ::open(native.c_str(), flags, 0666);
  if (fd < 0) return LogWriteResult{false, errno};

  const std::string bytes = EncodeUtf8(text);
  int error = 0;
  if (!linux_impl::WriteAll(fd, bytes, &error)) {
    ::close(fd);
    return LogWriteResult{false, error};
  }
  if (::close(fd) != 0) return LogWriteResult{false, errno};
  return LogWriteResult{};
}

}  // namespace dorvanta::platform
