#include "platform/ShellFolder.h"

#include <shlobj.h>
#include <windows.h>

#include <vector>

#include "platform/win32/UniqueIdList.h"

namespace dorvanta::platform {
namespace {

// The longest path the file system knows, terminator included; the shell's
// MAX_PATH buffer would fail on a longer folder path.
constexpr DWORD kLongestPath = 32768;

}  // namespace

FolderLookup LookUpShellFolder(int csidl) {
  win32::UniqueIdList list;
  if (::SHGetSpecialFolderLocation(::GetDesktopWindow(), csidl, list.put()) != S_OK) {
    return FolderLookup{FolderLookupStatus::NoFolder, {}};
  }
  std::vector<wchar_t> buffer(kLongestPath, L'\0');
  if (!::SHGetPathFromIDListEx(list.get(), buffer.data(), kLongestPath, GPFIDL_DEFAULT)) {
    return FolderLookup{FolderLookupStatus::NoPath, {}};
  }
  return FolderLookup{FolderLookupStatus::Found, std::wstring(buffer.data())};
}

}  // namespace dorvanta::platform
