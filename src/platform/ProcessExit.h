// How the process's exit code reaches its caller.
#pragma once

namespace dorvanta::platform {

// How many low bits of an exit code reach the process's caller: 32 on Windows,
// 8 on Linux.
int ExitCodeBits();

}  // namespace dorvanta::platform
