#include "platform/Devices.h"

#include <windows.h>

#include <setupapi.h>

namespace dorvanta::platform {
namespace {

class SetupDeviceList final : public DeviceList {
 public:
  explicit SetupDeviceList(HDEVINFO list) : list_(list) {}
  ~SetupDeviceList() override { ::SetupDiDestroyDeviceInfoList(list_); }

  bool HasDevice(std::uint32_t index) override { return Fetch(index); }

  PropertyRead ReadHardwareIds(std::uint32_t index, std::span<std::byte> buffer) override {
    if (!Fetch(index)) return PropertyRead{false, ERROR_NO_MORE_ITEMS, 0};
    DWORD type = 0;
    DWORD required = 0;
    const BOOL read = ::SetupDiGetDeviceRegistryPropertyW(
        list_, &device_, SPDRP_HARDWAREID, &type,
        buffer.empty() ? nullptr : reinterpret_cast<PBYTE>(buffer.data()),
        static_cast<DWORD>(buffer.size()), &required);
    if (read == FALSE) return PropertyRead{false, ::GetLastError(), required};
    return PropertyRead{true, ERROR_SUCCESS, required};
  }

 private:
  // Makes the device at `index` the current one.
  bool Fetch(std::uint32_t index) {
    if (fetched_ && index_ == index) return true;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    fetched_ = ::SetupDiEnumDeviceInfo(list_, index, &device) != FALSE;
    if (fetched_) {
      device_ = device;
      index_ = index;
    }
    return fetched_;
  }

  HDEVINFO list_;
  SP_DEVINFO_DATA device_{};
  std::uint32_t index_ = 0;
  bool fetched_ = false;
};

}  // namespace

std::unique_ptr<DeviceList> OpenPresentDevices() {
  const HDEVINFO list =
      ::SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
  if (list == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<SetupDeviceList>(list);
}

}  // namespace dorvanta::platform
