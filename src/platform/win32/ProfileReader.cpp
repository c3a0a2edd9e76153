#include "platform/ProfileReader.h"

#include <windows.h>

#include <vector>

namespace dorvanta::platform {
namespace {

// The profile reader looks for a bare file name in the Windows folder; the
// absolute path makes it read the file that the existence check found.
std::wstring AbsolutePath(const std::wstring& path) {
  const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::vector<wchar_t> full(needed);
  const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  return std::wstring(full.data(), length);
}

}  // namespace

std::uint32_t ReadProfileSection(const std::wstring& iniPath, const std::wstring& section,
                                 std::span<wchar_t> buffer) {
  return ::GetPrivateProfileSectionW(section.c_str(), buffer.data(),
                                     static_cast<DWORD>(buffer.size()),
                                     AbsolutePath(iniPath).c_str());
}

}  // namespace dorvanta::platform
