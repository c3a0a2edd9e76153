// The lines of ACTIONx sections, read as the actions read them.
#pragma once

#include <string>

#include "tool/CheckFindings.h"

namespace dorvanta::tool {

// `name = value`, split as the run splits it.
void CheckActionLine(const std::wstring& name, const std::wstring& value, FindingList& findings);

}  // namespace dorvanta::tool
