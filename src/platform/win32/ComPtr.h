// Ownership of COM interface pointers and of the thread's COM initialisation.
#pragma once

#include <objbase.h>
#include <windows.h>

#include "common/UniqueResource.h"

namespace dorvanta::platform::win32 {

template <typename Interface>
void ReleaseInterface(Interface* pointer) {
  pointer->Release();
}

template <typename Interface>
using ComPtr = UniqueResource<&ReleaseInterface<Interface>>;

inline void Uninitialize(bool /*entered*/) { ::CoUninitialize(); }

// Leaves COM once; made with true only when entering succeeded.
using ComApartment = UniqueResource<&Uninitialize, bool, false>;

}  // namespace dorvanta::platform::win32
