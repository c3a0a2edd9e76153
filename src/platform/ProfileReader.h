// The profile (INI file) reader.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace dorvanta::platform {

// Reads the section `section` of the INI file at `iniPath` into `buffer`: every
// line ended by a NUL character and one further NUL after the last line.
// Returns the number of characters placed, the final NUL not counted: 0 when
// the section is missing or has no lines, buffer.size() - 2 when it did not fit.
std::uint32_t ReadProfileSection(const std::wstring& iniPath, const std::wstring& section,
                                 std::span<wchar_t> buffer);

}  // namespace dorvanta::platform
