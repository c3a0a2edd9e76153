// Ownership of a Win32 kernel handle.
#pragma once

#include <windows.h>

#include "common/UniqueResource.h"

namespace dorvanta::platform::win32 {

// Functions return either of the two values for no handle.
inline bool IsNoHandle(HANDLE handle) {
  return handle == nullptr || handle == INVALID_HANDLE_VALUE;
}

using UniqueHandle = UniqueResource<&::CloseHandle, HANDLE, &IsNoHandle>;

}  // namespace dorvanta::platform::win32
