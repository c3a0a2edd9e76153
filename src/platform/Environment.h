// Environment variables.
#pragma once

#include <string>

namespace dorvanta::platform {

// Replaces every %NAME% reference with the value of the environment variable
// NAME; a reference to a variable that is not set, and a "%" without a closing
// one, stay as written. The result is whole, whatever its length.
std::wstring ExpandEnvironmentReferences(const std::wstring& text);

}  // namespace dorvanta::platform
