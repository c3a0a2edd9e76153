#include "platform/LogFile.h"

#include <fcntl.h>

#include <cerrno>
#include <utility>

#include "common/Encoding.h"
#include "platform/linux/FileIo.h"
#include "platform/linux/NativePath.h"

namespace dorvanta::platform {

LogWriteResult WriteLogFile(const std::wstring& path, std::wstring_view text, bool truncate) {
  const std::string native = linux_impl::ToNativePath(path);
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : O_APPEND);
  linux_impl::FileHandle file(::open(native.c_str(), flags, 0666));
  if (!file) return LogWriteResult{false, errno};

  const std::string bytes = EncodeUtf8(text);
  int error = 0;
  if (!linux_impl::WriteAll(file.get(), bytes, &error) ||
      !linux_impl::CloseFile(std::move(file), &error)) {
    return LogWriteResult{false, error};
  }
  return LogWriteResult{};
}

}  // namespace dorvanta::platform
