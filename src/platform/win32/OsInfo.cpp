#include "platform/OsInfo.h"

#include <windows.h>

namespace dorvanta::platform {

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
