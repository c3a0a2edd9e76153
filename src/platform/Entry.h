// The process entry. The platform's main decodes the command line, prepares the
// process (signals, the C runtime) and hands over to the executable's front
// end, which each executable defines once.
#pragma once

#include <string>
#include <vector>

namespace dorvanta {

// Runs the executable with its command line (the program name first) and
// returns its exit code.
int ProgramMain(const std::vector<std::wstring>& arguments);

}  // namespace dorvanta
