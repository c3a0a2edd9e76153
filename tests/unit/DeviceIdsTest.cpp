#include "platform/linux/parse/DeviceIds.h"

#include <gtest/gtest.h>

namespace dorvanta::platform::linux_impl {
namespace {

using Ids = std::vector<std::wstring>;

TEST(LinuxDevices, SysfsNumbers) {
  EXPECT_EQ(ParseSysfsHex("0x8086\n"), 0x8086u);
  EXPECT_EQ(ParseSysfsHex("0100\n"), 0x100u);
  EXPECT_EQ(ParseSysfsHex("0x06ab00"), 0x06AB00u);
  EXPECT_EQ(ParseSysfsHex(""), std::nullopt);
  EXPECT_EQ(ParseSysfsHex("0x"), std::nullopt);
  EXPECT_EQ(ParseSysfsHex("12g"), std::nullopt);
  EXPECT_EQ(ParseSysfsDecimal(" 2\n"), 2u);
  EXPECT_EQ(ParseSysfsDecimal("0x2"), std::nullopt);
}

TEST(LinuxDevices, PciFormsWithSubsystemDeviceBeforeItsVendor) {
  EXPECT_EQ(PciHardwareIds(PciIdentity{0x8086, 0x1237, 0x1af4, 0x1100, 0x02, 0x060000}),
            (Ids{L"PCI\\VEN_8086&DEV_1237&SUBSYS_11001AF4&REV_02",
                 L"PCI\\VEN_8086&DEV_1237&SUBSYS_11001AF4", L"PCI\\VEN_8086&DEV_1237&CC_060000",
                 L"PCI\\VEN_8086&DEV_1237&CC_0600"}));
  EXPECT_EQ(PciHardwareIds(PciIdentity{0xa, 0xb, 0, 0, 0xf, 0x0c0330})[0],
            L"PCI\\VEN_000A&DEV_000B&SUBSYS_00000000&REV_0F");
}

TEST(LinuxDevices, UsbForms) {
  const UsbIdentity usb{0x046d, 0xc52b, 0x1211};
  EXPECT_EQ(UsbDeviceHardwareIds(usb),
            (Ids{L"USB\\VID_046D&PID_C52B&REV_1211", L"USB\\VID_046D&PID_C52B"}));
  EXPECT_EQ(UsbInterfaceHardwareIds(usb, 2),
            (Ids{L"USB\\VID_046D&PID_C52B&REV_1211&MI_02", L"USB\\VID_046D&PID_C52B&MI_02"}));
}

TEST(LinuxDevices, CompositeUsbDevices) {
  EXPECT_TRUE(IsCompositeUsbDevice({0x00, 0, 0, 1, 3}));
  EXPECT_TRUE(IsCompositeUsbDevice({0xEF, 0x02, 0x01, 1, 2}));
  EXPECT_FALSE(IsCompositeUsbDevice({0x00, 0, 0, 1, 1}));  // one interface
  EXPECT_FALSE(IsCompositeUsbDevice({0x00, 0, 0, 2, 3}));  // several configurations
  EXPECT_FALSE(IsCompositeUsbDevice({0x09, 0, 0, 1, 2}));  // a class of its own
  EXPECT_FALSE(IsCompositeUsbDevice({0xEF, 0x02, 0x02, 1, 2}));
}

TEST(LinuxDevices, AcpiFormsAndPresence) {
  EXPECT_EQ(AcpiHardwareIds("PNP0a08\n"), (Ids{L"ACPI\\PNP0A08", L"*PNP0A08"}));
  EXPECT_EQ(AcpiHardwareIds("LNXSYSTM"), Ids{});
  EXPECT_EQ(AcpiHardwareIds(""), Ids{});
  EXPECT_TRUE(AcpiStatusPresent(std::nullopt));
  EXPECT_TRUE(AcpiStatusPresent(std::string("15\n")));
  EXPECT_FALSE(AcpiStatusPresent(std::string("0\n")));
  EXPECT_FALSE(AcpiStatusPresent(std::string("8\n")));  // functioning but not present
}

}  // namespace
}  // namespace dorvanta::platform::linux_impl
