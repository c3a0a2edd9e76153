#include "platform/ProcessExit.h"

namespace dorvanta::platform {

int ExitCodeBits() { return 32; }

}  // namespace dorvanta::platform
