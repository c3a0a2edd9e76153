// Suggestions for misspelt names: the nearest by edit distance.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace dorvanta::tool {

// "; did you mean <open>X<close>?" for the name nearest to `word` (compared in
// upper case, a distance of at most a third of the word, at least 2), or
// nothing when none is near.
std::wstring Suggestion(std::wstring_view word, std::span<const std::wstring_view> names,
                        std::wstring_view open = {}, std::wstring_view close = {});

}  // namespace dorvanta::tool
