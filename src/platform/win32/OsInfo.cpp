#include "platform/OsInfo.h"

#include <windows.h>

#include <string>
#include <vector>

namespace dorvanta::platform {
namespace {

// A text value of the system's version key; empty when it is not there.
std::wstring CurrentVersionText(const wchar_t* name) {
  constexpr const wchar_t* kKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  DWORD size = 0;  // in bytes, with the terminating NUL
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
          ERROR_SUCCESS ||
      size < sizeof(wchar_t)) {
    return std::wstring();
  }
  std::vector<wchar_t> text(size / sizeof(wchar_t));
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, name, RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
      ERROR_SUCCESS) {
    return std::wstring();
  }
  return std::wstring(text.data());
}

}  // namespace

System ThisSystem() { return System::Windows; }

OsRelease QueryOsRelease() {
  return OsRelease{CurrentVersionText(L"ProductName"), CurrentVersionText(L"CurrentBuildNumber")};
}

std::optional<OsVersion> QueryOsVersion() {
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) == 0) return std::nullopt;
  return OsVersion{info.dwMajorVersion, info.dwMinorVersion, std::wstring(info.szCSDVersion)};
}

ProcessorInfo QueryProcessorInfo() {
  SYSTEM_INFO info{};
  ::GetSystemInfo(&info);
  return ProcessorInfo{info.wProcessorArchitecture, info.dwNumberOfProcessors, info.dwProcessorType,
                       info.wProcessorLevel, info.wProcessorRevision};
}

std::uint32_t QueryVersionWord() { return ::GetVersion(); }

}  // namespace dorvanta::platform
