#include "facts/HardwareIds.h"

#include <gtest/gtest.h>

#include "facts/FactsSnapshot.h"
#include "fake/FakeDevices.h"
#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"

namespace dorvanta {
namespace {

class HardwareIds : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override { fake::Reset(); }

  static void Add(fake::FakeDevice device) { fake::Devices().Devices.push_back(std::move(device)); }
};

TEST_F(HardwareIds, WholeMatchingIgnoresOnlyAsciiCase) {
  Add(fake::DeviceWithIds({u"ROOT\\OTHER", u"acpi\\ifx0101"}));
  Add(fake::DeviceWithIds({u"USB\\VID_0001&PID_\u00C9"}));
  EXPECT_TRUE(
      run_.Context.Devices.FindHardwareId(L"ACPI\\IFX0101", false));  // second entry, case folded
  EXPECT_FALSE(run_.Context.Devices.FindHardwareId(L"ACPI\\IFX", false));
  EXPECT_FALSE(run_.Context.Devices.FindHardwareId(L"ACPI\\IFX0101&REV_01", false));
  EXPECT_TRUE(run_.Context.Devices.FindHardwareId(L"usb\\vid_0001&pid_\u00C9", false));
  EXPECT_FALSE(run_.Context.Devices.FindHardwareId(L"USB\\VID_0001&PID_\u00E9",
                                                   false));  // no folding beyond a..z
  EXPECT_FALSE(run_.Context.Devices.FindHardwareId(L"", false));
  EXPECT_EQ(fake::Devices().Opens, fake::Devices().Closes);
}

TEST_F(HardwareIds, PrefixMatchingNeedsTheWholeIdAtTheStart) {
  Add(fake::DeviceWithIds({u"PCI\\VEN08", u"PCI\\VEN08&DEV15&SUBSYS_000815&ETC&ETC"}));
  EXPECT_TRUE(run_.Context.Devices.FindHardwareId(L"pci\\ven08&dev15", true));
  // The whole ID is a prefix of itself: an entry of exactly its length matches.
  EXPECT_TRUE(run_.Context.Devices.FindHardwareId(L"pci\\ven08&dev15&subsys_000815&etc&etc", true));
  EXPECT_FALSE(
      run_.Context.Devices.FindHardwareId(L"PCI\\VEN08&DEV15&SUBSYS_000815&ETC&ETC&MORE", true));
  EXPECT_FALSE(run_.Context.Devices.FindHardwareId(L"VEN08", true));
  EXPECT_TRUE(run_.Context.Devices.FindHardwareId(L"", true));  // every device with an ID
}

TEST_F(HardwareIds, EmptyListsAndAbsentIds) {
  Add(fake::FakeDevice{fake::Utf16Bytes(std::u16string(2, u'\0')), std::nullopt});
  Add(fake::FakeDevice{{}, std::nullopt});
  EXPECT_FALSE(run_.Context.Devices.FindHardwareId(L"", true));
  EXPECT_FALSE(run_.Context.Devices.FindHardwareId(std::nullopt, true));
  EXPECT_EQ(fake::Devices().Opens, 1);  // the absent ID never opened the list
}

TEST_F(HardwareIds, WalkGoesOnPastAMatchingDevice) {
  Add(fake::DeviceWithIds({u"MATCH"}));
  Add(fake::DeviceWithIds({u"OTHER"}));
  EXPECT_TRUE(run_.Context.Devices.FindHardwareId(L"match", false));
  EXPECT_EQ(fake::Devices().ReadIndexes, (std::vector<std::uint32_t>{0, 0, 1, 1}));
}

TEST_F(HardwareIds, UnopenableListIsNoDevice) {
  fake::Devices().OpenFails = true;
  Add(fake::DeviceWithIds({u"X"}));
  EXPECT_FALSE(run_.Context.Devices.FindHardwareId(L"X", false));
}

// A snapshot's hardware IDs are indexed once for every walk over its source:
// the machine's own device list is never opened, and after Forget (before each
// action line) a search still finds what the snapshot holds.
TEST(SnapshotHardwareIds, IndexedOnceForEveryWalk) {
  fake::Reset();
  FactsSnapshot snapshot;
  snapshot.Devices = {
      platform::PresentDevice{{L"USB\\VID_046D&PID_C52B&REV_1201", L"USB\\VID_046D&PID_C52B"}},
      platform::PresentDevice{
          {L"PCI\\VEN_8086&DEV_15BB&SUBSYS_00000000", L"PCI\\VEN_8086&DEV_15BB", L"PCI\\VEN_8086"}},
      platform::PresentDevice{{L"acpi\\pnp0a08", L"ACPI\\PNP0A03"}}};
  SnapshotFacts source(snapshot);
  KeptDevices first(source);
  KeptDevices second(source);
  EXPECT_TRUE(first.FindHardwareId(L"pci\\ven_8086", false));
  EXPECT_TRUE(first.FindHardwareId(L"PCI\\VEN_8086&DEV_15B", true));
  EXPECT_FALSE(first.FindHardwareId(L"PCI\\VEN_8086&DEV_15B", false));
  EXPECT_TRUE(second.FindHardwareId(L"ACPI\\PNP0A08", false));
  second.Forget();
  EXPECT_TRUE(second.FindHardwareId(L"usb\\vid_046d&pid_c52b&", true));
  EXPECT_FALSE(second.FindHardwareId(L"USB\\VID_046D&PID_C52B&REV_1201&MORE", true));
  EXPECT_FALSE(second.FindHardwareId(L"ACPI\\PNP0A0", false));
  EXPECT_EQ(source.LentHardwareIds(), source.LentHardwareIds());
  EXPECT_EQ(fake::Devices().Opens, 0);
}

}  // namespace
}  // namespace dorvanta
