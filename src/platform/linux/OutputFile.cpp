#include "platform/OutputFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/Encoding.h"
#include "platform/linux/FileIo.h"
#include "platform/linux/NativePath.h"

namespace dorvanta::platform {

struct OutputFileState {
  linux_impl::FileHandle Descriptor;
  std::string Path;  // as opened, to read it and to remove it again
  bool Created = false;
  bool Regular = false;
};

void OutputFileCloser::operator()(OutputFileState* file) const { delete file; }

namespace {

std::wstring Reason(int error) { return DecodeUtf8(std::strerror(error)); }

// Writing only, so that a FIFO without a reader fails (ENXIO) instead of
// being waited for; appending, so that every write lands at the end.
constexpr int kOpenFlags = O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC;

}  // namespace

OutputOpen OpenOutputFile(const std::wstring& path) {
  const std::string native = linux_impl::ToNativePath(path);
  bool created = true;
  linux_impl::FileHandle descriptor(::open(native.c_str(), kOpenFlags | O_CREAT | O_EXCL, 0666));
  if (!descriptor && errno == EEXIST) {
    created = false;
    descriptor.reset(::open(native.c_str(), kOpenFlags | O_CREAT, 0666));
  }
  if (!descriptor) return OutputOpen{nullptr, false, Reason(errno)};
  struct stat info {};
  if (::fstat(descriptor.get(), &info) != 0) return OutputOpen{nullptr, false, Reason(errno)};
  // Only a file on a disk is guarded: a device such as /dev/null or a FIFO is
  // shared by every writer. A file system without locks leaves it unguarded.
  const bool regular = S_ISREG(info.st_mode);
  if (regular && ::flock(descriptor.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    return OutputOpen{nullptr, true, std::wstring()};
  }
  // Opened without waiting; a reader of a FIFO that is slow to read is waited for.
  const int flags = ::fcntl(descriptor.get(), F_GETFL);
  if (flags == -1 || ::fcntl(descriptor.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    return OutputOpen{nullptr, false, Reason(errno)};
  }
  return OutputOpen{
      OutputFile(new OutputFileState{std::move(descriptor), native, created, regular}), false,
      std::wstring()};
}

std::optional<std::string> OutputFileStart(OutputFileState& file, std::size_t limit) {
  if (!file.Regular) return std::string();
  // The descriptor writes only: the same file is opened again for reading.
  const linux_impl::FileHandle reader(::open(file.Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat written {};
  struct stat read {};
  if (!reader || ::fstat(file.Descriptor.get(), &written) != 0 ||
      ::fstat(reader.get(), &read) != 0 || written.st_dev != read.st_dev ||
      written.st_ino != read.st_ino) {
    return std::nullopt;
  }
  std::optional<linux_impl::LimitedRead> start = linux_impl::ReadUpTo(reader.get(), limit);
  if (!start) return std::nullopt;
  return std::move(start->Bytes);
}

std::optional<std::wstring> EmptyOutputFile(OutputFileState& file) {
  if (file.Regular && ::ftruncate(file.Descriptor.get(), 0) != 0) return Reason(errno);
  return std::nullopt;
}

std::optional<std::wstring> WriteOutputFile(OutputFileState& file, std::string_view bytes) {
  int error = 0;
  if (!linux_impl::WriteAll(file.Descriptor.get(), bytes, &error)) {
    return Reason(error == 0 ? EIO : error);
  }
  return std::nullopt;
}

std::optional<std::wstring> SyncOutputFile(OutputFileState& file) {
  // EINVAL: a file system that cannot sync this file (a special one).
  if (file.Regular && ::fdatasync(file.Descriptor.get()) != 0 && errno != EINVAL) {
    return Reason(errno);
  }
  return std::nullopt;
}

void AbandonOutputFile(OutputFile file) {
  // Removed while still held, so that no other writer has taken it meanwhile.
  if (file && file->Created) ::unlink(file->Path.c_str());
}

}  // namespace dorvanta::platform
