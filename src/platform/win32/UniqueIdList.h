// Ownership of a shell item identifier list.
#pragma once

#include <shlobj.h>
#include <windows.h>

#include "common/UniqueResource.h"

namespace dorvanta::platform::win32 {

using UniqueIdList = UniqueResource<&::ILFree>;

}  // namespace dorvanta::platform::win32
