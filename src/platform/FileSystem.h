// File system queries.
#pragma once

#include <string>

namespace dorvanta::platform {

// True when a file or a folder exists at `path` (relative to the current folder
// when not absolute).
bool PathExists(const std::wstring& path);

}  // namespace dorvanta::platform
