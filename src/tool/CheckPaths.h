// The paths and parameters of criteria and action lines: folder tokens and
// environment references as the run resolves them.
#pragma once

#include <string_view>

#include "tool/CheckFindings.h"

namespace dorvanta::tool {

// A path the run resolves: an unknown or miswritten folder token, a variable
// that is not set here.
void CheckPath(std::wstring_view path, FindingList& findings);

// Parameters the run hands over as written: a folder token in them.
void CheckParameters(std::wstring_view parameters, FindingList& findings);

}  // namespace dorvanta::tool
