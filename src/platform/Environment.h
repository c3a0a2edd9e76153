// Environment variables.
#pragma once

#include <optional>
#include <string>

namespace dorvanta::platform {

// Replaces every %NAME% reference with the value of the environment variable
// NAME; a reference to a variable that is not set, and a "%" without a closing
// one, stay as written. Nothing when the expansion fails, as it does when its
// result with a terminating NUL would take more than kExpansionLimit characters.
// Windows has the system expand them; elsewhere the platform looks the
// variables up for ExpandPercentReferences (common/EnvironmentExpansion.h).
std::optional<std::wstring> ExpandEnvironmentReferences(const std::wstring& text);

}  // namespace dorvanta::platform
