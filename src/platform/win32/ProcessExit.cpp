#include "platform/ProcessExit.h"

#include <cstdlib>

namespace dorvanta::platform {

void EndProcess(int exitCode) { std::exit(exitCode); }

}  // namespace dorvanta::platform
