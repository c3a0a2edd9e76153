// Ending the process.
#pragma once

namespace dorvanta::platform {

// Ends the process through the normal exit (standard output is flushed).
[[noreturn]] void EndProcess(int exitCode);

}  // namespace dorvanta::platform
