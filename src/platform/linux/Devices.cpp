// The present PCI, USB and ACPI devices as libudev lists them, each with the
// hardware-ID list Windows would give it.
#include "platform/Devices.h"

#include <libudev.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/UniqueResource.h"
#include "platform/linux/parse/DeviceIds.h"

namespace dorvanta::platform {
namespace {

using UniqueUdev = UniqueResource<&udev_unref>;
using UniqueEnumerate = UniqueResource<&udev_enumerate_unref>;
using UniqueDevice = UniqueResource<&udev_device_unref>;

std::optional<std::string> Attribute(udev_device* device, const char* name) {
  const char* value = udev_device_get_sysattr_value(device, name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::optional<std::uint32_t> HexAttribute(udev_device* device, const char* name) {
  const std::optional<std::string> value = Attribute(device, name);
  if (!value) return std::nullopt;
  return linux_impl::ParseSysfsHex(*value);
}

std::vector<std::wstring> PciIds(udev_device* device) {
  const auto vendor = HexAttribute(device, "vendor");
  const auto id = HexAttribute(device, "device");
  const auto subsystemVendor = HexAttribute(device, "subsystem_vendor");
  const auto subsystemDevice = HexAttribute(device, "subsystem_device");
  const auto revision = HexAttribute(device, "revision");
  const auto classCode = HexAttribute(device, "class");
  if (!vendor || !id || !subsystemVendor || !subsystemDevice || !revision || !classCode) return {};
  return linux_impl::PciHardwareIds(linux_impl::PciIdentity{
      static_cast<std::uint16_t>(*vendor), static_cast<std::uint16_t>(*id),
      static_cast<std::uint16_t>(*subsystemVendor), static_cast<std::uint16_t>(*subsystemDevice),
      static_cast<std::uint8_t>(*revision), *classCode});
}

std::optional<linux_impl::UsbIdentity> UsbIdentityOf(udev_device* device) {
  const auto vendor = HexAttribute(device, "idVendor");
  const auto product = HexAttribute(device, "idProduct");
  const auto revision = HexAttribute(device, "bcdDevice");
  if (!vendor || !product || !revision) return std::nullopt;
  return linux_impl::UsbIdentity{static_cast<std::uint16_t>(*vendor),
                                 static_cast<std::uint16_t>(*product),
                                 static_cast<std::uint16_t>(*revision)};
}

bool IsComposite(udev_device* device) {
  const auto deviceClass = HexAttribute(device, "bDeviceClass");
  const auto subClass = HexAttribute(device, "bDeviceSubClass");
  const auto protocol = HexAttribute(device, "bDeviceProtocol");
  const auto configurations = Attribute(device, "bNumConfigurations");
  const auto interfaces = Attribute(device, "bNumInterfaces");
  if (!deviceClass || !subClass || !protocol || !configurations || !interfaces) return false;
  return linux_impl::IsCompositeUsbDevice(linux_impl::UsbDeviceLayout{
      static_cast<std::uint8_t>(*deviceClass), static_cast<std::uint8_t>(*subClass),
      static_cast<std::uint8_t>(*protocol),
      linux_impl::ParseSysfsDecimal(*configurations).value_or(0),
      linux_impl::ParseSysfsDecimal(*interfaces).value_or(0)});
}

// A root hub is the kernel's stand-in for the host controller's own hub
// ("usb1", ...); Windows names those differently and they are left out.
bool IsRootHub(udev_device* device) {
  const char* name = udev_device_get_sysname(device);
  return name != nullptr && std::string_view(name).starts_with("usb");
}

std::vector<std::wstring> UsbIds(udev_device* device) {
  const char* type = udev_device_get_devtype(device);
  if (type == nullptr) return {};
  const std::string_view devtype(type);
  if (devtype == "usb_device") {
    if (IsRootHub(device)) return {};
    const auto identity = UsbIdentityOf(device);
    return identity ? linux_impl::UsbDeviceHardwareIds(*identity) : std::vector<std::wstring>();
  }
  if (devtype != "usb_interface") return {};
  // The parent is not referenced by this call; it lives as long as `device`.
  udev_device* parent = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
  if (parent == nullptr || !IsComposite(parent)) return {};
  const auto identity = UsbIdentityOf(parent);
  const auto number = HexAttribute(device, "bInterfaceNumber");
  if (!identity || !number) return {};
  return linux_impl::UsbInterfaceHardwareIds(*identity, static_cast<std::uint8_t>(*number));
}

std::vector<std::wstring> AcpiIds(udev_device* device) {
  const std::optional<std::string> hid = Attribute(device, "hid");
  if (!hid || !linux_impl::AcpiStatusPresent(Attribute(device, "status"))) return {};
  return linux_impl::AcpiHardwareIds(*hid);
}

std::vector<std::wstring> HardwareIdsOf(udev_device* device) {
  const char* subsystem = udev_device_get_subsystem(device);
  if (subsystem == nullptr) return {};
  const std::string_view name(subsystem);
  if (name == "pci") return PciIds(device);
  if (name == "usb") return UsbIds(device);
  if (name == "acpi") return AcpiIds(device);
  return {};
}

}  // namespace

std::vector<PresentDevice> ReadPresentDevices() {
  const UniqueUdev context(udev_new());
  if (!context) return {};
  const UniqueEnumerate enumerate(udev_enumerate_new(context.get()));
  if (!enumerate) return {};
  for (const char* subsystem : {"pci", "usb", "acpi"}) {
    if (udev_enumerate_add_match_subsystem(enumerate.get(), subsystem) < 0) return {};
  }
  if (udev_enumerate_scan_devices(enumerate.get()) < 0) return {};

  std::vector<PresentDevice> devices;
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
    const UniqueDevice device(
        udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
    if (!device) continue;
    std::vector<std::wstring> ids = HardwareIdsOf(device.get());
    // Devices without a Windows counterpart are not listed at all.
    if (!ids.empty()) devices.push_back(PresentDevice{std::move(ids)});
  }
  return devices;
}

}  // namespace dorvanta::platform
