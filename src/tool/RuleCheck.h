// The rule-file checker of "dvtool check": what in an INI file makes the run
// do something other than its writer evidently meant, with the file's lines.
#pragma once

#include <vector>

#include "rules/ProfileParser.h"
#include "tool/CheckFindings.h"

namespace dorvanta::tool {

// Checks the file as the run reads it (sections, lines, buffer and walk as the
// profile reader and the rule walk take them). Sorted by line, the file's own
// findings first.
std::vector<Finding> CheckRuleFile(const Profile& profile);

}  // namespace dorvanta::tool
