// The profile (INI file) reader.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "rules/ProfileParser.h"

namespace dorvanta::platform {

// Reads the section `section` of the INI file at `iniPath` into `buffer`: every
// line ended by a NUL character and one further NUL after the last line.
// Returns the number of characters placed, the final NUL not counted: 0 when
// the section is missing or has no lines, buffer.size() - 2 when it did not fit.
std::uint32_t ReadProfileSection(const std::wstring& iniPath, const std::wstring& section,
                                 std::span<wchar_t> buffer);

// The whole INI file at `iniPath` as the profile reader above reads it: on
// Windows a file without byte order mark is 8-bit text of the ANSI code page,
// on Linux UTF-8. Nothing when the file cannot be read (missing, a folder, no
// regular file, too large).
std::optional<Profile> ReadProfile(const std::wstring& iniPath);

}  // namespace dorvanta::platform
