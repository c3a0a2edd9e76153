#include "platform/win32/SystemError.h"

#include "common/UniqueResource.h"

namespace dorvanta::platform::win32 {
namespace {

// A buffer that FormatMessageW allocated.
using LocalBuffer = UniqueResource<&::LocalFree, wchar_t*>;

}  // namespace

std::wstring SystemErrorText(DWORD errorCode) {
  LocalBuffer buffer;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
      nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(buffer.put()), 0, nullptr);
  if (length == 0 || !buffer) {
    return L"Unknown error " + std::to_wstring(errorCode);
  }
  return std::wstring(buffer.get(), length);
}

std::wstring LastErrorText() {
  std::wstring text = SystemErrorText(::GetLastError());
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
  return text;
}

}  // namespace dorvanta::platform::win32
