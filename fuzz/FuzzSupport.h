// Turning fuzzer bytes into the program's inputs.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dorvanta::fuzz {

// The bytes read as UTF-8, invalid bytes kept as U+DC80 + byte.
std::wstring DecodeText(const std::uint8_t* data, std::size_t size);

// The lines of `text`, split at LF (a CR stays in its line).
std::vector<std::wstring> SplitLines(std::wstring_view text);

// The text after the first `separator` of `line`, or the whole line without one.
std::wstring AfterFirst(std::wstring_view line, wchar_t separator);

// The rest of `input` read by DecodeText and split by SplitLines.
std::vector<std::wstring> RemainingLines(FuzzedDataProvider& input);

// The number of choice bytes FillShell reads: one per folder number it sets.
inline constexpr std::size_t kShellChoices = 0x32;

// Fills the fake shell's folders (every CSIDL number of the folder table and
// its neighbours: found with one of `texts` as path, unknown, or without a
// path, as the bytes of `choices` decide) and its environment (every text
// holding "=" sets the variable named before it).
void FillShell(const std::vector<std::uint8_t>& choices, const std::vector<std::wstring>& texts);

// Stops the run with a finding when `condition` fails.
void Check(bool condition, const char* what);

}  // namespace dorvanta::fuzz
