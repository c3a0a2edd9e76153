#include "platform/FileSystem.h"

#include <shlwapi.h>
#include <windows.h>

namespace dorvanta::platform {

bool PathExists(const std::wstring& path) { return ::PathFileExistsW(path.c_str()) != FALSE; }

}  // namespace dorvanta::platform
