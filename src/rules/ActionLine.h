// Dispatch of one ACTIONx line to its action.
#pragma once

#include <string>

namespace dorvanta {

void RunActionLine(const std::wstring& line, const std::wstring& section);

}  // namespace dorvanta
