// The hardware-ID lists that Windows gives PCI, USB and ACPI devices, built from
// the values Linux shows in sysfs. Pure text work, no system calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvanta::platform::linux_impl {

// A sysfs number in hexadecimal, with or without 0x ("0x8086\n", "0100\n").
std::optional<std::uint32_t> ParseSysfsHex(std::string_view text);
// A sysfs number in decimal (" 2\n").
std::optional<std::uint32_t> ParseSysfsDecimal(std::string_view text);

struct PciIdentity {
  std::uint16_t Vendor = 0;
  std::uint16_t Device = 0;
  std::uint16_t SubsystemVendor = 0;
  std::uint16_t SubsystemDevice = 0;
  std::uint8_t Revision = 0;
  std::uint32_t ClassCode = 0;  // base class, subclass, programming interface
};

// With SUBSYS and REV, with SUBSYS, then the two CC forms.
std::vector<std::wstring> PciHardwareIds(const PciIdentity& pci);

struct UsbIdentity {
  std::uint16_t Vendor = 0;
  std::uint16_t Product = 0;
  std::uint16_t Revision = 0;  // bcdDevice
};

// USB\VID_vvvv&PID_pppp&REV_rrrr and USB\VID_vvvv&PID_pppp.
std::vector<std::wstring> UsbDeviceHardwareIds(const UsbIdentity& usb);

// The same two forms with &MI_zz, for one interface of a composite device.
std::vector<std::wstring> UsbInterfaceHardwareIds(const UsbIdentity& usb,
                                                  std::uint8_t interfaceNumber);

struct UsbDeviceLayout {
  std::uint8_t DeviceClass = 0;
  std::uint8_t DeviceSubClass = 0;
  std::uint8_t DeviceProtocol = 0;
  std::uint32_t Configurations = 0;
  std::uint32_t Interfaces = 0;
};

// Whether Windows gives each interface a device of its own: one configuration,
// several interfaces, and a class that defers to the interfaces (0) or the
// interface-association class (EF/02/01).
bool IsCompositeUsbDevice(const UsbDeviceLayout& layout);

// ACPI\<hid> and *<hid>; nothing for Linux's own pseudo-devices (LNX...) and an
// empty hid.
std::vector<std::wstring> AcpiHardwareIds(std::string_view hid);

// Whether an ACPI device is present by the content of its status file (the _STA
// value in decimal, bit 0 present); a device without that file is present.
bool AcpiStatusPresent(const std::optional<std::string>& status);

}  // namespace dorvanta::platform::linux_impl
