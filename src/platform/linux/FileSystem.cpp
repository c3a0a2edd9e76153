#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <optional>

#include "common/Encoding.h"
#include "common/Text.h"
#include "common/UniqueResource.h"
#include "platform/linux/FileIo.h"
#include "platform/linux/NativePath.h"

namespace dorvanta::platform {
namespace {

// The status of what `path` names, links followed.
std::wstring Reason(int error) { return DecodeUtf8(std::strerror(error)); }

std::optional<struct stat> StatusOf(const std::wstring& path) {
  if (path.empty()) return std::nullopt;
  struct stat info {};
  if (::stat(linux_impl::ToNativePath(path).c_str(), &info) != 0) return std::nullopt;
  return info;
}

void CloseFolder(DIR* folder) { static_cast<void>(::closedir(folder)); }
using UniqueFolder = UniqueResource<&CloseFolder>;

}  // namespace

bool PathExists(const std::wstring& path) { return StatusOf(path).has_value(); }

bool NameSameExistingFile(const std::wstring& first, const std::wstring& second) {
  const std::optional<struct stat> one = StatusOf(first);
  const std::optional<struct stat> other = StatusOf(second);
  return one && other && one->st_dev == other->st_dev && one->st_ino == other->st_ino;
}

bool IsFolder(const std::wstring& path) {
  const std::optional<struct stat> info = StatusOf(path);
  return info && S_ISDIR(info->st_mode);
}

FolderFiles ListFolderFiles(const std::wstring& folder, std::wstring_view suffix) {
  const UniqueFolder listing(::opendir(linux_impl::ToNativePath(folder).c_str()));
  if (!listing) return FolderFiles{std::nullopt, Reason(errno)};
  const bool separated = folder.ends_with(L'/') || folder.ends_with(L'\\');
  FolderListing files(separated ? folder : folder + L'/');
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(listing.get());
    if (entry == nullptr) break;
    const std::wstring name = DecodeUtf8(entry->d_name);
    if (name.size() < suffix.size() ||
        !EqualsIgnoringAsciiCase(std::wstring_view(name).substr(name.size() - suffix.size()),
                                 suffix)) {
      continue;
    }
    std::wstring path = folder;
    if (!separated) path += L'/';
    path += name;
    const std::optional<struct stat> info = StatusOf(path);
    if (info && S_ISREG(info->st_mode)) files.Add(entry->d_name);
  }
  if (errno != 0) return FolderFiles{std::nullopt, Reason(errno)};
  files.Sort();
  return FolderFiles{std::move(files), std::wstring()};
}

std::wstring BesideFile(const std::wstring& file, const std::wstring& path) {
  if (path.starts_with(L'/')) return path;
  const std::size_t slash = file.rfind(L'/');
  return slash == std::wstring::npos ? path : file.substr(0, slash + 1) + path;
}

FileRead ReadWholeFile(const std::wstring& path, std::size_t limit) {
  const linux_impl::FileHandle file(
      ::open(linux_impl::ToNativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!file) return FileRead{std::nullopt, Reason(errno)};
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) return FileRead{std::nullopt, Reason(errno)};
  if (!S_ISREG(info.st_mode)) return FileRead{std::nullopt, L"not a regular file"};
  int error = 0;
  std::optional<linux_impl::LimitedRead> read =
      linux_impl::ReadUpTo(file.get(), limit, &error, static_cast<std::size_t>(info.st_size));
  if (!read) return FileRead{std::nullopt, Reason(error)};
  if (read->Cut) return FileRead{std::nullopt, L"the file is too large"};
  return FileRead{std::move(read->Bytes), std::wstring()};
}

}  // namespace dorvanta::platform
