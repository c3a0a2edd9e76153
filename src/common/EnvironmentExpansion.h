// Expanding %NAME% references as the Windows environment functions do, with
// the variables that a platform looks up.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace dorvanta {

// The longest expansion, in characters with its terminating NUL, that
// ExpandEnvironmentStringsW can hand out.
inline constexpr std::size_t kExpansionLimit = 32767;

// The value of a variable, or empty when it is not set.
using VariableLookup = std::function<std::optional<std::wstring>(std::wstring_view name)>;

// Replaces every %NAME% whose variable is set with its value, left to right; a
// reference to a variable that is not set (also %%) stays as written and the
// scan goes on after its closing "%"; a "%" without a closing one stays too.
// Nothing when the result with a terminating NUL would take more than
// kExpansionLimit characters; the result is never built beyond that.
std::optional<std::wstring> ExpandPercentReferences(std::wstring_view text,
                                                    const VariableLookup& lookup);

}  // namespace dorvanta
