// The search of the present devices for a hardware ID.
#pragma once

#include <optional>
#include <string_view>

namespace dorvanta {

// True when a present device has a hardware ID equal to `id` (prefixMatch off)
// or beginning with it (prefixMatch on), letters A..Z compared without case.
// An absent ID, and a device list that cannot be read, give false. Reports nothing.
bool FindHardwareId(std::optional<std::wstring_view> id, bool prefixMatch);

}  // namespace dorvanta
