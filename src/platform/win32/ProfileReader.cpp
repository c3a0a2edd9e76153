#include "platform/ProfileReader.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/UniqueHandle.h"

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

// A larger file is not read; the checker reports it as unreadable.
constexpr std::int64_t kProfileFileLimit = std::int64_t{64} * 1024 * 1024;

bool HasByteOrderMark(std::string_view bytes) {
  return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
         bytes.starts_with("\xEF\xBB\xBF");
}

// 8-bit text of the ANSI code page, as UTF-16 LE with its byte order mark.
std::string AnsiAsUtf16(const std::string& bytes) {
  std::string utf16 = "\xFF\xFE";
  if (bytes.empty()) return utf16;
  const int size = static_cast<int>(bytes.size());
  const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), length);
  for (const wchar_t c : wide) {
    utf16.push_back(static_cast<char>(c & 0xFF));
    utf16.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return utf16;
}

}  // namespace

std::optional<Profile> ReadProfile(const std::wstring& iniPath) {
  const win32::UniqueHandle file(::CreateFileW(AbsolutePath(iniPath).c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > kProfileFileLimit) {
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read,
                    nullptr)) {
      return std::nullopt;
    }
    if (read == 0) break;
    done += read;
  }
  bytes.resize(done);
  // The system reader reads a file without byte order mark as ANSI text; so
  // does the check. Its characters are counted one per UTF-16 unit, which is
  // one per byte in the single-byte code pages.
  if (bytes.empty() || HasByteOrderMark(bytes)) return Profile(std::move(bytes));
  return Profile(AnsiAsUtf16(bytes));
}

std::uint32_t ReadProfileSection(const std::wstring& iniPath, const std::wstring& section,
                                 std::span<wchar_t> buffer) {
  return ::GetPrivateProfileSectionW(section.c_str(), buffer.data(),
                                     static_cast<DWORD>(buffer.size()),
                                     AbsolutePath(iniPath).c_str());
}

}  // namespace dorvanta::platform
