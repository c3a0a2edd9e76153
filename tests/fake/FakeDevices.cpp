#include "fake/FakeDevices.h"

#include <algorithm>
#include <memory>

namespace dorvanta {
namespace fake {

DevicesState& Devices() {
  static DevicesState state;
  return state;
}

void ResetDevices() { Devices() = DevicesState{}; }

std::vector<std::byte> Utf16Bytes(std::u16string_view units) {
  std::vector<std::byte> bytes;
  for (const char16_t unit : units) {
    bytes.push_back(static_cast<std::byte>(unit & 0xFF));
    bytes.push_back(static_cast<std::byte>(unit >> 8));
  }
  return bytes;
}

FakeDevice DeviceWithIds(const std::vector<std::u16string>& ids) {
  std::u16string units;
  for (const std::u16string& id : ids) units.append(id).push_back(u'\0');
  units.push_back(u'\0');
  return FakeDevice{Utf16Bytes(units), std::nullopt};
}

namespace {

class List final : public platform::DeviceList {
 public:
  ~List() override { ++Devices().Closes; }

  bool HasDevice(std::uint32_t index) override { return index < Devices().Devices.size(); }

  platform::PropertyRead ReadHardwareIds(std::uint32_t index,
                                         std::span<std::byte> buffer) override {
    Devices().ReadIndexes.push_back(index);
    const FakeDevice& device = Devices().Devices.at(index);
    if (device.Error) return {false, *device.Error, device.ErrorRequiredBytes};
    const auto size = static_cast<std::uint32_t>(device.HardwareIds.size());
    if (buffer.size() < size) return {false, platform::kErrorInsufficientBuffer, size};
    std::copy(device.HardwareIds.begin(), device.HardwareIds.end(), buffer.begin());
    return {true, 0, size};
  }
};

}  // namespace
}  // namespace fake

namespace platform {

std::unique_ptr<DeviceList> OpenPresentDevices() {
  ++fake::Devices().Opens;
  if (fake::Devices().OpenFails) return nullptr;
  return std::make_unique<fake::List>();
}

}  // namespace platform
}  // namespace dorvanta
