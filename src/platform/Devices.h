// The present devices of all classes and their hardware-ID lists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace dorvanta::platform {

// Error codes of a hardware-ID read, as Windows numbers them.
inline constexpr std::uint32_t kErrorInvalidData = 13;          // the device has no hardware IDs
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;  // RequiredBytes tells the size

struct PropertyRead {
  bool Succeeded = false;
  std::uint32_t Error = 0;          // on failure
  std::uint32_t RequiredBytes = 0;  // the size of the whole property
};

// An open list of the devices present, closed when dropped.
class DeviceList {
 public:
  DeviceList() = default;
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;
  virtual ~DeviceList() = default;

  // False when there is no device at this index (or its data cannot be fetched).
  virtual bool HasDevice(std::uint32_t index) = 0;

  // Reads the device's hardware IDs, a list of zero-terminated UTF-16LE strings
  // ended by an empty one, into `buffer`.
  virtual PropertyRead ReadHardwareIds(std::uint32_t index, std::span<std::byte> buffer) = 0;
};

// The present devices of all classes; null when the list cannot be opened.
std::unique_ptr<DeviceList> OpenPresentDevices();

}  // namespace dorvanta::platform
