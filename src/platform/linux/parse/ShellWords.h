// Splitting a parameter text into program arguments.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvanta::platform::linux_impl {

// Splits the text into words the way a shell does, without expanding or
// substituting anything: blanks (space, tab, line feed) separate words; single
// quotes group everything up to the next single quote, double quotes up to the
// next double quote; quoted and unquoted parts next to each other form one word,
// and "" is an empty word. A backslash is an ordinary character, so Windows
// paths pass unchanged. Empty when a quote does not close.
std::optional<std::vector<std::wstring>> SplitShellWords(std::wstring_view text);

}  // namespace dorvanta::platform::linux_impl
