// The banner and the three help texts.
#pragma once

#include <string_view>

namespace dorvanta {

inline constexpr std::wstring_view kProgramVersion = L"4.0XP";

extern const std::wstring_view kUsageText;
extern const std::wstring_view kIniHelpText;
extern const std::wstring_view kFolderHelpText;

}  // namespace dorvanta
