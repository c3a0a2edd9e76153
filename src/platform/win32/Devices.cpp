#include "platform/Devices.h"

#include <windows.h>

#include <setupapi.h>

#include <utility>

#include "common/UniqueResource.h"
#include "platform/win32/HardwareIdsWalk.h"
#include "platform/win32/UniqueHandle.h"

namespace dorvanta::platform {
namespace {

using UniqueDeviceList =
    UniqueResource<&::SetupDiDestroyDeviceInfoList, HDEVINFO, &win32::IsNoHandle>;

// The SetupAPI calls on an open device list, which it owns.
class SetupDeviceList final : public win32::DeviceListCalls {
 public:
  explicit SetupDeviceList(UniqueDeviceList list) : list_(std::move(list)) {}

  bool EnumDevice(std::uint32_t index) override {
    device_ = SP_DEVINFO_DATA{};
    device_.cbSize = sizeof(device_);
    return ::SetupDiEnumDeviceInfo(list_.get(), index, &device_) != FALSE;
  }

  win32::PropertyRead ReadHardwareIds(std::span<std::byte> buffer) override {
    DWORD type = 0;
    DWORD required = 0;
    const BOOL read = ::SetupDiGetDeviceRegistryPropertyW(
        list_.get(), &device_, SPDRP_HARDWAREID, &type,
        buffer.empty() ? nullptr : reinterpret_cast<PBYTE>(buffer.data()),
        static_cast<DWORD>(buffer.size()), &required);
    if (read == FALSE) return win32::PropertyRead{false, ::GetLastError(), required};
    return win32::PropertyRead{true, ERROR_SUCCESS, required};
  }

 private:
  UniqueDeviceList list_;
  SP_DEVINFO_DATA device_{};
};

}  // namespace

std::vector<PresentDevice> ReadPresentDevices() {
  UniqueDeviceList list(
      ::SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
  if (!list) return {};
  SetupDeviceList calls(std::move(list));
  return win32::WalkHardwareIds(calls);
}

}  // namespace dorvanta::platform
