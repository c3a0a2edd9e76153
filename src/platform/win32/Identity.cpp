#include "platform/Identity.h"

#include <windows.h>

#include <vector>

namespace dorvanta::platform {

std::wstring HostName() {
  DWORD size = 0;
  // The first call tells the size, with the terminating NUL.
  ::GetComputerNameExW(ComputerNameDnsHostname, nullptr, &size);
  if (size == 0) return std::wstring();
  std::vector<wchar_t> buffer(size);
  if (!::GetComputerNameExW(ComputerNameDnsHostname, buffer.data(), &size)) return std::wstring();
  return std::wstring(buffer.data(), size);
}

std::wstring UserName() {
  // The longest user name (UNLEN) and its NUL.
  std::vector<wchar_t> buffer(257);
  auto size = static_cast<DWORD>(buffer.size());
  if (!::GetUserNameW(buffer.data(), &size) || size == 0) return std::wstring();
  return std::wstring(buffer.data(), size - 1);
}

}  // namespace dorvanta::platform
