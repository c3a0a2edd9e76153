#include "platform/FileSystem.h"

#include <shlwapi.h>
#include <windows.h>

#include <optional>

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

}  // namespace

bool PathExists(const std::wstring& path) { return ::PathFileExistsW(path.c_str()) != FALSE; }

bool NameSameExistingFile(const std::wstring& first, const std::wstring& second) {
  const std::optional<FileIdentity> one = IdentityOf(first);
  return one && one == IdentityOf(second);
}

}  // namespace dorvanta::platform
