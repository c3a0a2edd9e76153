// Decides one line of a CRITERIAx section.
#pragma once

#include <string>

namespace dorvanta {

// True when the line's criterion holds; false when it does not hold or the line
// is malformed (a message has then been reported).
bool EvaluateCriteriaLine(const std::wstring& section, const std::wstring& line);

}  // namespace dorvanta
