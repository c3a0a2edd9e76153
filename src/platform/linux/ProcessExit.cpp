#include "platform/ProcessExit.h"

#include <cstdlib>

namespace dorvanta::platform {

void EndProcess(int exitCode) { std::exit(exitCode); }

int ExitCodeBits() { return 8; }

}  // namespace dorvanta::platform
