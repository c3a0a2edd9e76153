#include "platform/Devices.h"

#include <windows.h>

#include <setupapi.h>

#include "platform/win32/HardwareIdsWalk.h"

namespace dorvanta::platform {
namespace {

// The SetupAPI calls on an open device list, which it destroys when dropped.
class SetupDeviceList final : public win32::DeviceListCalls {
 public:
  explicit SetupDeviceList(HDEVINFO list) : list_(list) {}
  SetupDeviceList(const SetupDeviceList&) = delete;
  SetupDeviceList& operator=(const SetupDeviceList&) = delete;
  ~SetupDeviceList() { ::SetupDiDestroyDeviceInfoList(list_); }

  bool EnumDevice(std::uint32_t index) override {
    device_ = SP_DEVINFO_DATA{};
    device_.cbSize = sizeof(device_);
    return ::SetupDiEnumDeviceInfo(list_, index, &device_) != FALSE;
  }

  win32::PropertyRead ReadHardwareIds(std::span<std::byte> buffer) override {
    DWORD type = 0;
    DWORD required = 0;
    const BOOL read = ::SetupDiGetDeviceRegistryPropertyW(
        list_, &device_, SPDRP_HARDWAREID, &type,
        buffer.empty() ? nullptr : reinterpret_cast<PBYTE>(buffer.data()),
        static_cast<DWORD>(buffer.size()), &required);
    if (read == FALSE) return win32::PropertyRead{false, ::GetLastError(), required};
    return win32::PropertyRead{true, ERROR_SUCCESS, required};
  }

 private:
  HDEVINFO list_;
  SP_DEVINFO_DATA device_{};
};

}  // namespace

std::vector<PresentDevice> ReadPresentDevices() {
  const HDEVINFO list =
      ::SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
  if (list == INVALID_HANDLE_VALUE) return {};
  SetupDeviceList calls(list);
  return win32::WalkHardwareIds(calls);
}

}  // namespace dorvanta::platform
