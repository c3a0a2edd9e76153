// The walk over an open SetupAPI device list that reads each device's
// hardware-ID property, apart from the calls themselves so that it runs on
// fakes of them too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/Devices.h"

namespace dorvanta::platform::win32 {

// The error codes of a property read that the walk tells apart.
inline constexpr std::uint32_t kErrorInvalidData = 13;          // the device has no hardware IDs
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;  // RequiredBytes tells the size

struct PropertyRead {
  bool Succeeded = false;
  std::uint32_t Error = 0;          // on failure
  std::uint32_t RequiredBytes = 0;  // the size of the whole property
};

// The calls on one open device list (SetupDiEnumDeviceInfo and
// SetupDiGetDeviceRegistryPropertyW with SPDRP_HARDWAREID).
class DeviceListCalls {
 public:
  // Makes the device at `index` the current one; false past the last device.
  virtual bool EnumDevice(std::uint32_t index) = 0;
  // Reads the current device's hardware IDs (UTF-16LE strings, each
  // zero-terminated, then an empty one) into `buffer`, which may be empty.
  virtual PropertyRead ReadHardwareIds(std::span<std::byte> buffer) = 0;

 protected:
  DeviceListCalls() = default;
  DeviceListCalls(const DeviceListCalls&) = default;
  DeviceListCalls& operator=(const DeviceListCalls&) = default;
  ~DeviceListCalls() = default;
};

// Every device of the list in index order with its hardware IDs. A device
// without the property is left out, and so is one whose read keeps asking for
// no more bytes than it was given; any other read failure, or a buffer that
// cannot be allocated, ends the walk with the devices read so far.
std::vector<PresentDevice> WalkHardwareIds(DeviceListCalls& list);

}  // namespace dorvanta::platform::win32
