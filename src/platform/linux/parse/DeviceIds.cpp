#include "platform/linux/parse/DeviceIds.h"

#include <cstddef>

#include "common/Encoding.h"
#include "common/Text.h"
#include "platform/linux/parse/Blanks.h"

namespace dorvanta::platform::linux_impl {
namespace {

std::optional<std::uint32_t> ParseDigits(std::string_view digits, std::uint32_t base) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : digits) {
    std::uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<std::uint32_t>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<std::uint32_t>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    value = value * base + digit;
  }
  return value;
}

// Upper-case hexadecimal, zero-padded to `digits`.
std::wstring Hex(std::uint32_t value, int digits) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text(static_cast<std::size_t>(digits), L'0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) {
    text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
  }
  return text;
}

}  // namespace

std::optional<std::uint32_t> ParseSysfsHex(std::string_view text) {
  text = TrimBlanks(text);
  if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
  return ParseDigits(text, 16);
}

std::optional<std::uint32_t> ParseSysfsDecimal(std::string_view text) {
  return ParseDigits(TrimBlanks(text), 10);
}

std::vector<std::wstring> PciHardwareIds(const PciIdentity& pci) {
  const std::wstring device = L"PCI\\VEN_" + Hex(pci.Vendor, 4) + L"&DEV_" + Hex(pci.Device, 4);
  const std::wstring subsystem =
      device + L"&SUBSYS_" + Hex(pci.SubsystemDevice, 4) + Hex(pci.SubsystemVendor, 4);
  return {subsystem + L"&REV_" + Hex(pci.Revision, 2), subsystem,
          device + L"&CC_" + Hex(pci.ClassCode, 6), device + L"&CC_" + Hex(pci.ClassCode >> 8, 4)};
}

std::vector<std::wstring> UsbDeviceHardwareIds(const UsbIdentity& usb) {
  const std::wstring device = L"USB\\VID_" + Hex(usb.Vendor, 4) + L"&PID_" + Hex(usb.Product, 4);
  return {device + L"&REV_" + Hex(usb.Revision, 4), device};
}

std::vector<std::wstring> UsbInterfaceHardwareIds(const UsbIdentity& usb,
                                                  std::uint8_t interfaceNumber) {
  std::vector<std::wstring> ids = UsbDeviceHardwareIds(usb);
  for (std::wstring& id : ids) id += L"&MI_" + Hex(interfaceNumber, 2);
  return ids;
}

bool IsCompositeUsbDevice(const UsbDeviceLayout& layout) {
  const bool defersToInterfaces =
      layout.DeviceClass == 0x00 || (layout.DeviceClass == 0xEF && layout.DeviceSubClass == 0x02 &&
                                     layout.DeviceProtocol == 0x01);
  return defersToInterfaces && layout.Configurations == 1 && layout.Interfaces > 1;
}

std::vector<std::wstring> AcpiHardwareIds(std::string_view hid) {
  hid = TrimBlanks(hid);
  if (hid.empty() || hid.starts_with("LNX")) return {};
  const std::wstring id = UpperAscii(DecodeUtf8(hid));
  return {L"ACPI\\" + id, L"*" + id};
}

bool AcpiStatusPresent(const std::optional<std::string>& status) {
  if (!status) return true;
  const std::optional<std::uint32_t> value = ParseSysfsDecimal(*status);
  return value && (*value & 1) != 0;
}

}  // namespace dorvanta::platform::linux_impl
