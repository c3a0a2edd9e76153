// The walk over the numbered CRITERIAx / ACTIONx section pairs of the INI file.
#pragma once

#include <string>

#include "actions/ActionRequest.h"
#include "rules/WalkObserver.h"

namespace dorvanta {

// The walk reads CRITERIA1 .. CRITERIA256, each section into one buffer of
// this many characters.
inline constexpr int kMaxSectionPairs = 256;
inline constexpr std::size_t kSectionBufferSize = 4096;

// Walks the pairs 1 .. 256, reporting every step, telling `observer` about it
// and running the actions through `executor`. The walk ends early at the first
// missing or empty CRITERIAx, or at a section that does not fit the section
// buffer (reported).
WalkEnd WalkRules(const std::wstring& iniPath, WalkObserver& observer, ActionExecutor& executor);

// The program's walk: a section that does not fit the section buffer ends the
// run with exit code 1.
void ProcessIniFile(const std::wstring& iniPath, WalkObserver& observer, ActionExecutor& executor);

// The same with the machine running the actions and nobody watching.
void ProcessIniFile(const std::wstring& iniPath);

}  // namespace dorvanta
