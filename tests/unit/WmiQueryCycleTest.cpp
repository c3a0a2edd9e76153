#include "facts/WmiQuery.h"

#include <gtest/gtest.h>

#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "fake/FakeWmi.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

using Events = std::vector<std::wstring>;

class WmiQueryCycle : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override { fake::Reset(); }

  static fake::FakeWmiInstance Instance(const std::wstring& name, fake::FakeWmiValue value) {
    fake::FakeWmiInstance instance;
    instance.Properties.emplace(name, std::move(value));
    return instance;
  }
};

TEST_F(WmiQueryCycle, LastInstanceWinsAndEverythingIsReleasedInOrder) {
  fake::Wmi().Instances = {Instance(L"Name", fake::Text(L"first")),
                           Instance(L"Name", fake::Text(L"second"))};
  EXPECT_EQ(WmiQuery(run_.Sink, L"Win32_ComputerSystemProduct", L"Name"), L"second");
  EXPECT_EQ(fake::Platform().Stdout, L"");
  EXPECT_EQ(fake::Wmi().Events, (Events{L"enter", L"connect \\\\.\\root\\cimv2",
                                        L"query WQL select * from Win32_ComputerSystemProduct",
                                        L"get Name", L"clear value", L"release object", L"get Name",
                                        L"clear value", L"release object", L"release enumerator",
                                        L"release services", L"release locator", L"leave"}));
}

TEST_F(WmiQueryCycle, NoInstanceGivesEmptyTextWithoutMessage) {
  EXPECT_EQ(WmiQuery(run_.Sink, L"Win32_ComputerSystemProduct", L"Name"), L"");
  EXPECT_EQ(fake::Platform().Stdout, L"");
  EXPECT_EQ(fake::Wmi().Events.back(), L"leave");
}

TEST_F(WmiQueryCycle, PropertyFailureOnLaterInstanceDiscardsEarlierValue) {
  fake::Wmi().Instances = {Instance(L"Name", fake::Text(L"first")),
                           Instance(L"Other", fake::Text(L"x"))};
  EXPECT_EQ(WmiQuery(run_.Sink, L"Win32_ComputerSystemProduct", L"Name"), L"");
  EXPECT_EQ(fake::Platform().Stdout,
            L"ERROR: Could not get property Name. Error code = 0x80041002\n");
  const Events& events = fake::Wmi().Events;
  EXPECT_EQ(Events(events.end() - 6, events.end()),
            (Events{L"get Name", L"release object", L"release enumerator", L"release services",
                    L"release locator", L"leave"}));
}

TEST_F(WmiQueryCycle, ValuesBecomeText) {
  // A number goes through the conversion; a null string and an unconvertible value are empty.
  fake::Wmi().Instances = {Instance(L"P", fake::FakeWmiValue{false, std::nullopt, L"5"})};
  EXPECT_EQ(WmiQuery(run_.Sink, L"C", L"P"), L"5");
  EXPECT_NE(std::find(fake::Wmi().Events.begin(), fake::Wmi().Events.end(), L"convert"),
            fake::Wmi().Events.end());

  fake::Wmi().Instances = {Instance(L"P", fake::FakeWmiValue{true, std::nullopt, L"unused"})};
  EXPECT_EQ(WmiQuery(run_.Sink, L"C", L"P"), L"");
  fake::Wmi().Instances = {Instance(L"P", fake::FakeWmiValue{false, std::nullopt, std::nullopt})};
  EXPECT_EQ(WmiQuery(run_.Sink, L"C", L"P"), L"");

  const std::wstring longText(300, L'x');
  fake::Wmi().Instances = {Instance(L"P", fake::Text(longText))};
  EXPECT_EQ(WmiQuery(run_.Sink, L"C", L"P"), longText);
  EXPECT_EQ(fake::Platform().Stdout, L"");
}

TEST_F(WmiQueryCycle, EachFailingStageReportsItsMessageAndReleasesWhatItHeld) {
  struct Case {
    fake::ComResult fake::WmiState::*Stage;
    const wchar_t* Message;
    Events Tail;
  };
  const fake::ComResult failure = static_cast<fake::ComResult>(0x80070005);
  const Case cases[] = {
      {&fake::WmiState::EnterResult,
       L"ERROR: Failed to initialize COM library. Error code = 0x80070005\n",
       {L"enter"}},
      {&fake::WmiState::LocatorResult,
       L"ERROR: Failed to create IWbemLocator object. Error code = 0x80070005\n",
       {L"enter", L"leave"}},
      {&fake::WmiState::ConnectResult,
       L"ERROR: Could not connect. Error code = 0x80070005\n",
       {L"release locator", L"leave"}},
      {&fake::WmiState::BlanketResult,
       L"ERROR: Could not set proxy blanket. Error code = 0x80070005\n",
       {L"release services", L"release locator", L"leave"}},
      {&fake::WmiState::QueryResult,
       L"ERROR: Could not execute the query (select * from Win32_BIOS). Error code = "
       L"0x80070005\n",
       {L"release services", L"release locator", L"leave"}},
  };
  for (const Case& c : cases) {
    SetUp();
    fake::Wmi().Instances = {Instance(L"Name", fake::Text(L"x"))};
    fake::Wmi().*c.Stage = failure;
    EXPECT_EQ(WmiQuery(run_.Sink, L"Win32_BIOS", L"Name"), L"");
    EXPECT_EQ(fake::Platform().Stdout, c.Message);
    const Events& events = fake::Wmi().Events;
    ASSERT_GE(events.size(), c.Tail.size());
    EXPECT_EQ(Events(events.end() - static_cast<std::ptrdiff_t>(c.Tail.size()), events.end()),
              c.Tail)
        << c.Message;
  }
}

TEST_F(WmiQueryCycle, AlreadyInitialisedApartmentStillLeavesOnce) {
  fake::Wmi().EnterResult = 1;  // S_FALSE
  fake::Wmi().Instances = {Instance(L"Name", fake::Text(L"Wine"))};
  EXPECT_EQ(WmiQuery(run_.Sink, L"Win32_ComputerSystemProduct", L"Name"), L"Wine");
  EXPECT_EQ(std::count(fake::Wmi().Events.begin(), fake::Wmi().Events.end(), L"leave"), 1);
}

}  // namespace
}  // namespace dorvanta
