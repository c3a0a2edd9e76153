// Expanding %NAME% references as the Windows environment functions do.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace dorvanta::platform::linux_impl {

// The value of a variable, or empty when it is not set.
using VariableLookup = std::function<std::optional<std::wstring>(std::wstring_view name)>;

// Replaces every %NAME% whose variable is set with its value, left to right; a
// reference to a variable that is not set (also %%) stays as written and the
// scan goes on after its closing "%"; a "%" without a closing one stays too.
// Nothing when the result with a terminating NUL would take more than
// kExpansionLimit characters (platform/Environment.h); the result is never
// built beyond that.
std::optional<std::wstring> ExpandPercentReferences(std::wstring_view text,
                                                    const VariableLookup& lookup);

}  // namespace dorvanta::platform::linux_impl
