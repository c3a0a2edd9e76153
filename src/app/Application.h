// The process entry: command line, help texts, start-up facts and the rule walk.
#pragma once

#include <string>
#include <vector>

namespace dorvanta {

// Runs the program with the command line `arguments` (the program name first).
// Every way out ends the process with its exit code; a failed allocation ends
// it with "ERROR: Out of memory!" and exit code 1.
[[noreturn]] void RunApplication(const std::vector<std::wstring>& arguments);

}  // namespace dorvanta
