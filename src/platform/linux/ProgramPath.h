// Where a program start finds its file; shared by the program start and the
// launchers, so that a launcher starts what Execute would start.
#pragma once

#include <string>

namespace dorvanta::platform::linux_impl {

// A regular file that the user may execute.
bool IsExecutableFile(const std::string& path);

// The file to start: a path with a "/" as written; a bare name from the current
// folder when it is there, else the first executable of that name on PATH,
// else as written.
std::string LocateProgram(const std::string& native);

// A relative path counted from the current folder, so that it still names the
// same file from another working directory; as written when the current folder
// cannot be read.
std::string AbsolutePath(const std::string& path);

}  // namespace dorvanta::platform::linux_impl
