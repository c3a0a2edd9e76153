// Decides one line of a CRITERIAx section.
#pragma once

#include <string>

#include "criteria/CriterionResult.h"

namespace dorvanta {

// Evaluates and reports the line; it holds only when its criterion does (a
// malformed line has been reported and does not hold).
CriterionResult EvaluateCriteriaLine(const std::wstring& section, const std::wstring& line);

}  // namespace dorvanta
