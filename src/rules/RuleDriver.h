// The walk over the numbered CRITERIAx / ACTIONx section pairs of the INI file.
#pragma once

#include <string>

namespace dorvanta {

inline constexpr int kMaxSectionPairs = 256;
inline constexpr std::size_t kSectionBufferSize = 4096;

// Walks the pairs 1 .. 256; ends the process when a section does not fit the
// section buffer.
void ProcessIniFile(const std::wstring& iniPath);

}  // namespace dorvanta
