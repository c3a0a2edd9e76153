// The present devices of all classes and their hardware-ID lists.
#pragma once

#include <string>
#include <vector>

namespace dorvanta::platform {

struct PresentDevice {
  std::vector<std::wstring> HardwareIds;  // in the order the device lists them
};

// The present devices whose hardware IDs could be read, in the platform's order.
// Empty when the device list cannot be opened; when the walk over the list has
// to stop early, the devices read up to that point.
std::vector<PresentDevice> ReadPresentDevices();

}  // namespace dorvanta::platform
