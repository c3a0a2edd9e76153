// Ending the process.
#pragma once

namespace dorvanta::platform {

// Ends the process through the normal exit (standard output is flushed).
[[noreturn]] void EndProcess(int exitCode);

// How many low bits of an exit code reach the process's caller: 32 on Windows,
// 8 on Linux.
int ExitCodeBits();

}  // namespace dorvanta::platform
