// The criterion that asks whether a file or folder exists.
#pragma once

#include <string>

#include "criteria/CriterionResult.h"
#include "run/RunContext.h"

namespace dorvanta {

// `value` is "<EQ|NE>,<path>"; the path is resolved (folder token, environment)
// and tested in the context's fact source when the line is evaluated. False when the value is
// malformed or the path cannot be resolved. With `unknownBecause` the path is
// resolved and not tested: the line is unknown for that reason.
CriterionResult CheckFileExistsCriterion(RunContext& context, const std::wstring& value,
                                         const std::wstring& section, const std::wstring& key,
                                         const std::wstring& unknownBecause);

}  // namespace dorvanta
