#include "fake/FakeDevices.h"

#include <algorithm>

#include "platform/Devices.h"
#include "platform/win32/HardwareIdsWalk.h"

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

class List final : public platform::win32::DeviceListCalls {
 public:
  List() = default;
  List(const List&) = delete;
  List& operator=(const List&) = delete;
  ~List() { ++Devices().Closes; }

  bool EnumDevice(std::uint32_t index) override {
    index_ = index;
    return index < Devices().Devices.size();
  }

  platform::win32::PropertyRead ReadHardwareIds(std::span<std::byte> buffer) override {
    Devices().ReadIndexes.push_back(index_);
    const FakeDevice& device = Devices().Devices.at(index_);
    if (device.Error) return {false, *device.Error, device.ErrorRequiredBytes};
    const auto size = static_cast<std::uint32_t>(device.HardwareIds.size());
    if (buffer.size() < size) return {false, platform::win32::kErrorInsufficientBuffer, size};
    std::copy(device.HardwareIds.begin(), device.HardwareIds.end(), buffer.begin());
    return {true, 0, size};
  }

 private:
  std::uint32_t index_ = 0;
};

}  // namespace
}  // namespace fake

namespace platform {

std::vector<PresentDevice> ReadPresentDevices() {
  ++fake::Devices().Opens;
  if (fake::Devices().OpenFails) return {};
  fake::List list;
  return win32::WalkHardwareIds(list);
}

}  // namespace platform
}  // namespace dorvanta
