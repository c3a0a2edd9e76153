#include "facts/WmiQuery.h"

#include <gtest/gtest.h>

#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "fake/FakeWmi.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

class WmiQueryTest : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override { fake::Reset(); }
};

TEST_F(WmiQueryTest, FailureWithPlatformDetailNamesTheSource) {
  fake::Wmi().Answer = platform::WmiFailure{platform::WmiStep::GetProperty, 0x80004005,
                                            L"/sys/class/dmi/id/sys_vendor: Permission denied"};
  EXPECT_EQ(WmiQuery(run_.Sink, L"Win32_ComputerSystemProduct", L"Vendor"), L"");
  EXPECT_EQ(fake::Platform().Stdout,
            L"ERROR: Could not get property Vendor (/sys/class/dmi/id/sys_vendor: Permission "
            L"denied)\n");
}

}  // namespace
}  // namespace dorvanta
