#include "platform/FileSystem.h"

#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "common/Text.h"
#include "common/UniqueResource.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/UniqueHandle.h"

namespace dorvanta::platform {
namespace {

// What tells one file from every other: its volume and its index there.
struct FileIdentity {
  DWORD Volume;
  DWORD IndexHigh;
  DWORD IndexLow;

  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file or folder at `path`. Opened for its attributes
// only and sharing everything, so that no other user of the file is disturbed.
std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
  const win32::UniqueHandle file(::CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(file.get(), &information)) return std::nullopt;
  return FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                      information.nFileIndexLow};
}

using UniqueFind = UniqueResource<&::FindClose, HANDLE, &win32::IsNoHandle>;

}  // namespace

bool PathExists(const std::wstring& path) { return ::PathFileExistsW(path.c_str()) != FALSE; }

bool NameSameExistingFile(const std::wstring& first, const std::wstring& second) {
  const std::optional<FileIdentity> one = IdentityOf(first);
  return one && one == IdentityOf(second);
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FolderFiles ListFolderFiles(const std::wstring& folder, std::wstring_view suffix) {
  const bool separated =
      folder.ends_with(L'\\') || folder.ends_with(L'/') || folder.ends_with(L':');
  const std::wstring prefix = folder + (separated ? L"" : L"\\");
  WIN32_FIND_DATAW found{};
  const UniqueFind search(::FindFirstFileW((prefix + L"*").c_str(), &found));
  if (!search) {
    if (::GetLastError() == ERROR_FILE_NOT_FOUND) return FolderFiles{FolderListing(prefix), {}};
    return FolderFiles{std::nullopt, win32::LastErrorText()};
  }
  FolderListing files(prefix);
  do {
    const std::wstring_view name(found.cFileName);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && name.size() >= suffix.size() &&
        EqualsIgnoringAsciiCase(name.substr(name.size() - suffix.size()), suffix)) {
      files.Add(name);
    }
  } while (::FindNextFileW(search.get(), &found) != FALSE);
  if (::GetLastError() != ERROR_NO_MORE_FILES)
    return FolderFiles{std::nullopt, win32::LastErrorText()};
  files.Sort();
  return FolderFiles{std::move(files), std::wstring()};
}

std::wstring BesideFile(const std::wstring& file, const std::wstring& path) {
  // Rooted paths ("\\folder", "\\\\server\\share", either slash) and drive
  // paths ("C:...") stand alone.
  const bool rooted = !path.empty() && (path[0] == L'\\' || path[0] == L'/');
  if (rooted || (path.size() >= 2 && path[1] == L':')) return path;
  std::size_t end = file.find_last_of(L"\\/");
  if (end == std::wstring::npos && file.size() >= 2 && file[1] == L':') end = 1;
  return end == std::wstring::npos ? path : file.substr(0, end + 1) + path;
}

FileRead ReadWholeFile(const std::wstring& path, std::size_t limit) {
  const win32::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return FileRead{std::nullopt, win32::LastErrorText()};
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) return FileRead{std::nullopt, L"not a file"};
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) return FileRead{std::nullopt, win32::LastErrorText()};
  if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > limit) {
    return FileRead{std::nullopt, L"the file is too large"};
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    if (!::ReadFile(file.get(), bytes.data() + done, wanted, &read, nullptr)) {
      return FileRead{std::nullopt, win32::LastErrorText()};
    }
    if (read == 0) break;
    done += read;
  }
  bytes.resize(done);
  return FileRead{std::move(bytes), std::wstring()};
}

}  // namespace dorvanta::platform
