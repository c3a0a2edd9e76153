#include "platform/JournalFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/Encoding.h"
#include "platform/linux/FileIo.h"
#include "platform/linux/NativePath.h"

namespace dorvanta::platform {

struct JournalFileState {
  linux_impl::FileHandle Descriptor;
};

void JournalFileCloser::operator()(JournalFileState* file) const { delete file; }

namespace {

std::wstring Reason(int error) { return DecodeUtf8(std::strerror(error)); }

}  // namespace

JournalOpen OpenJournalFile(const std::wstring& path) {
  linux_impl::FileHandle descriptor(::open(linux_impl::ToNativePath(path).c_str(),
                                           O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC,
                                           0666));
  if (!descriptor) return JournalOpen{nullptr, Reason(errno)};
  return JournalOpen{JournalFile(new JournalFileState{std::move(descriptor)}), std::wstring()};
}

std::optional<std::wstring> AppendToJournal(JournalFileState& file, std::string_view bytes) {
  int error = 0;
  if (!linux_impl::WriteAll(file.Descriptor.get(), bytes, &error)) {
    return Reason(error == 0 ? EIO : error);
  }
  // A pipe or a terminal has no disk to reach.
  if (::fdatasync(file.Descriptor.get()) != 0 && errno != EINVAL && errno != EROFS) {
    return Reason(errno);
  }
  return std::nullopt;
}

}  // namespace dorvanta::platform
