// A fake of the SetupAPI device list calls: the devices' hardware-ID bytes and
// the read failures a test sets. The present devices are read from it by the
// same walk that the Windows build runs over the real calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dorvanta::fake {

struct FakeDevice {
  std::vector<std::byte> HardwareIds;    // as the property read hands them back
  std::optional<std::uint32_t> Error;    // every read of this device fails with it
  std::uint32_t ErrorRequiredBytes = 0;  // the size such a failed read reports
};

struct DevicesState {
  bool OpenFails = false;
  std::vector<FakeDevice> Devices;
  int Opens = 0;
  int Closes = 0;
  std::vector<std::uint32_t> ReadIndexes;  // the device index of every property read
};

DevicesState& Devices();
// Also makes the core forget the devices it read.
void ResetDevices();

// UTF-16LE bytes of `units`, taken literally (terminators included by the caller).
std::vector<std::byte> Utf16Bytes(std::u16string_view units);

// A device whose list holds `ids`, each terminated, and the final empty string.
FakeDevice DeviceWithIds(const std::vector<std::u16string>& ids);

}  // namespace dorvanta::fake
