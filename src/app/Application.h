// The process entry: command line, help texts, start-up facts and the rule walk.
#pragma once

#include <string>
#include <vector>

#include "actions/ActionRequest.h"
#include "rules/WalkObserver.h"

namespace dorvanta {

// Runs the program with the command line `arguments` (the program name first).
// Every way out ends the process with its exit code; a failed allocation ends
// it with "ERROR: Out of memory!" and exit code 1.
[[noreturn]] void RunApplication(const std::vector<std::wstring>& arguments);

// The same run, telling `observer` about the walk and carrying its actions out
// through `executor`. Every end goes through EndRun, so RunEndHook learns it.
[[noreturn]] void RunApplication(const std::vector<std::wstring>& arguments, WalkObserver& observer,
                                 ActionExecutor& executor);

}  // namespace dorvanta
