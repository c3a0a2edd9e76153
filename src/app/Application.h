// The program's front end: command line, help texts, start-up facts and the rule walk.
#pragma once

#include <string>
#include <vector>

#include "actions/ActionRequest.h"
#include "rules/WalkObserver.h"
#include "run/RunContext.h"

namespace dorvanta {

// Runs the program with the command line `arguments` (the program name first)
// and returns its exit code; a failed allocation ends the run with "ERROR: Out
// of memory!" and exit code 1.
int RunApplication(const std::vector<std::wstring>& arguments);

// The same run, telling `observer` about the walk and carrying its actions out
// through `executor`; `end` learns every end of the run and gives the exit code.
int RunApplication(const std::vector<std::wstring>& arguments, WalkObserver& observer,
                   ActionExecutor& executor, RunEnd end);

}  // namespace dorvanta
