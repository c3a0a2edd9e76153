#include "platform/Environment.h"

#include <windows.h>

#include <vector>

#include "common/EnvironmentExpansion.h"

namespace dorvanta::platform {
namespace {

// The first attempt's buffer; a longer expansion is repeated in a buffer of
// the size the system asks for, up to kExpansionLimit.
constexpr DWORD kFirstBufferSize = 520;

}  // namespace

std::optional<std::wstring> ExpandEnvironmentReferences(const std::wstring& text) {
  std::vector<wchar_t> buffer(kFirstBufferSize, L'\0');
  for (;;) {
    const DWORD needed =
        ::ExpandEnvironmentStringsW(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    // The system does not fill a larger buffer: a longer result cannot be had.
    if (needed == 0 || needed > kExpansionLimit) return std::nullopt;
    if (needed <= buffer.size()) return std::wstring(buffer.data(), needed - 1);
    buffer.assign(needed, L'\0');
  }
}

}  // namespace dorvanta::platform
