// Suggestions for misspelt names: the nearest by edit distance.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace dorvanta::tool {

// "; did you mean <open>X<close>?" for the name nearest to `word` (compared in
// upper case, a distance of at most a third of the word, at least 2), or
// nothing when none is near.
std::wstring Suggestion(std::wstring_view word, std::span<const std::wstring_view> names,
                        std::wstring_view open = {}, std::wstring_view close = {});

// The name that differs from `word` only in the letter case of A..Z.
std::optional<std::wstring_view> SameLetters(std::wstring_view word,
                                             std::span<const std::wstring_view> names);

}  // namespace dorvanta::tool
