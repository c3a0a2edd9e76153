#include "platform/win32/HardwareIdsWalk.h"

#include <gtest/gtest.h>

#include "fake/FakeDevices.h"
#include "fake/FakePlatform.h"

namespace dorvanta::platform::win32 {
namespace {

using Ids = std::vector<std::wstring>;

class HardwareIdsWalk : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }

  static void Add(fake::FakeDevice device) { fake::Devices().Devices.push_back(std::move(device)); }

  // The hardware-ID lists of the devices the walk over the fake calls gives.
  static std::vector<Ids> Walk() {
    std::vector<Ids> lists;
    for (const PresentDevice& device : ReadPresentDevices()) lists.push_back(device.HardwareIds);
    return lists;
  }
};

TEST_F(HardwareIdsWalk, ListEndsAtTheFirstEmptyEntry) {
  Add(fake::FakeDevice{fake::Utf16Bytes(std::u16string(u"A\0\0HIDDEN\0\0", 11)), std::nullopt});
  Add(fake::DeviceWithIds({u"ROOT\\OTHER", u"acpi\\ifx0101"}));
  EXPECT_EQ(Walk(), (std::vector<Ids>{{L"A"}, {L"ROOT\\OTHER", L"acpi\\ifx0101"}}));
}

TEST_F(HardwareIdsWalk, UnterminatedListEndsAtItsLastByte) {
  // No terminator and an odd trailing byte: the last entry ends with the bytes.
  std::vector<std::byte> bytes = fake::Utf16Bytes(std::u16string(u"ONE\0TWO", 7));
  bytes.push_back(std::byte{'X'});
  Add(fake::FakeDevice{bytes, std::nullopt});
  EXPECT_EQ(Walk(), (std::vector<Ids>{{L"ONE", L"TWO"}}));
}

TEST_F(HardwareIdsWalk, SurrogatePairIsOneCharacter) {
  Add(fake::DeviceWithIds({u"USB\\\U0001F600"}));
  EXPECT_EQ(Walk(), (std::vector<Ids>{{L"USB\\\U0001F600"}}));
}

TEST_F(HardwareIdsWalk, EmptyListsHaveNoEntries) {
  Add(fake::FakeDevice{fake::Utf16Bytes(std::u16string(2, u'\0')), std::nullopt});
  Add(fake::FakeDevice{{}, std::nullopt});
  EXPECT_EQ(Walk(), (std::vector<Ids>{{}, {}}));
}

TEST_F(HardwareIdsWalk, ErrorCodesDecideWhetherTheWalkGoesOn) {
  // 13: the device has no IDs and is skipped.
  Add(fake::FakeDevice{{}, kErrorInvalidData});
  Add(fake::DeviceWithIds({u"FIRST"}));
  Add(fake::FakeDevice{{}, 5u});  // any other code ends the walk
  Add(fake::DeviceWithIds({u"AFTER"}));
  EXPECT_EQ(Walk(), (std::vector<Ids>{{L"FIRST"}}));
  EXPECT_EQ(fake::Devices().ReadIndexes, (std::vector<std::uint32_t>{0, 1, 1, 2}));
  EXPECT_EQ(fake::Devices().Closes, 1);
}

TEST_F(HardwareIdsWalk, BufferThatWouldNotGrowSkipsTheDevice) {
  Add(fake::DeviceWithIds({u"FIRST"}));
  Add(fake::FakeDevice{{}, kErrorInsufficientBuffer, 0});  // asks for nothing at once
  Add(fake::FakeDevice{{}, kErrorInsufficientBuffer, 8});  // asks for 8 bytes once given 8
  Add(fake::DeviceWithIds({u"AFTER"}));
  EXPECT_EQ(Walk(), (std::vector<Ids>{{L"FIRST"}, {L"AFTER"}}));
  EXPECT_EQ(fake::Devices().ReadIndexes, (std::vector<std::uint32_t>{0, 0, 1, 2, 2, 3, 3}));
}

TEST_F(HardwareIdsWalk, UnopenableListHasNoDevices) {
  fake::Devices().OpenFails = true;
  Add(fake::DeviceWithIds({u"X"}));
  EXPECT_TRUE(Walk().empty());
  EXPECT_EQ(fake::Devices().Closes, 0);
}

}  // namespace
}  // namespace dorvanta::platform::win32
