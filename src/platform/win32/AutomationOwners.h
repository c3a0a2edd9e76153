// Ownership of automation strings and variants.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include "common/UniqueResource.h"

namespace dorvanta::platform::win32 {

using UniqueBstr = UniqueResource<&::SysFreeString>;

inline void ClearVariant(VARIANT* variant) { ::VariantClear(variant); }

// Clears the variant it points to, which lives beside it.
using UniqueVariant = UniqueResource<&ClearVariant>;

}  // namespace dorvanta::platform::win32
