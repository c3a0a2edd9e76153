#include "platform/ProcessExit.h"

namespace dorvanta::platform {

int ExitCodeBits() { return 8; }

}  // namespace dorvanta::platform
