#include "platform/Environment.h"

#include <cstdlib>

#include "common/Encoding.h"
#include "common/EnvironmentExpansion.h"

namespace dorvanta::platform {

std::optional<std::wstring> ExpandEnvironmentReferences(const std::wstring& text) {
  return ExpandPercentReferences(text, [](std::wstring_view name) -> std::optional<std::wstring> {
    // A name holding "=" or NUL cannot be a variable's name.
    if (name.find_first_of(std::wstring_view(L"=\0", 2)) != std::wstring_view::npos) {
      return std::nullopt;
    }
    const char* value = std::getenv(EncodeUtf8(name).c_str());
    if (value == nullptr) return std::nullopt;
    return DecodeUtf8(value);
  });
}

}  // namespace dorvanta::platform
