// Environment variables.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace dorvanta::platform {

// The longest expansion, in characters with its terminating NUL, that
// ExpandEnvironmentStringsW can hand out.
inline constexpr std::size_t kExpansionLimit = 32767;

// Replaces every %NAME% reference with the value of the environment variable
// NAME; a reference to a variable that is not set, and a "%" without a closing
// one, stay as written. Nothing when the expansion fails, as it does when its
// result with a terminating NUL would take more than kExpansionLimit characters.
std::optional<std::wstring> ExpandEnvironmentReferences(const std::wstring& text);

}  // namespace dorvanta::platform
