// File system queries.
#pragma once

#include <string>

namespace dorvanta::platform {

// True when a file or a folder exists at `path` (relative to the current folder
// when not absolute).
bool PathExists(const std::wstring& path);

// True when both paths name one and the same existing file or folder: the
// same file identity, however it is reached (a link, another letter case
// where names ignore it). False when either names nothing or cannot be
// examined.
bool NameSameExistingFile(const std::wstring& first, const std::wstring& second);

}  // namespace dorvanta::platform
