// The file's outline as the walk meets it: sections the run never reads,
// where the walk stops, pairs without their other half, sections that do not
// fit the section buffer, criteria lines that earlier actions may change.
#pragma once

#include <vector>

#include "rules/ProfileParser.h"
#include "tool/CheckFindings.h"

namespace dorvanta::tool {

void CheckOutline(const Profile& profile, const std::vector<Profile::OutlineSection>& outline,
                  FindingList& findings);

// A section the walk reads: the first of its name, CRITERIA<n> or ACTION<n>
// with n in 1..256.
bool WalkReads(const Profile::OutlineSection& section);

}  // namespace dorvanta::tool
