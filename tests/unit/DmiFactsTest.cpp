#include <gtest/gtest.h>

#include <algorithm>

#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "fake/FakeWmi.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

class DmiFacts : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override { fake::Reset(); }
};

TEST_F(DmiFacts, DmiBlockQueriesEachPropertyAndGoesOnAfterFailures) {
  fake::FakeWmiInstance product;
  product.Properties[L"Name"] = fake::Text(L"ThinkPad X1");
  product.Properties[L"Vendor"] = fake::Text(L"LENOVO");
  fake::Wmi().Instances = {product};
  GatherDmiFacts(run_.Context);
  EXPECT_EQ(fake::Platform().Stdout,
            L"\nDMI Information:\n----------------\n"
            L"Machine Type = ThinkPad X1\n"
            L"ERROR: Could not get property Version. Error code = 0x80041002\n"
            L"PA Number = \n"
            L"Vendor = LENOVO\n");
  EXPECT_EQ(run_.Context.Facts.DmiMachineType, L"ThinkPad X1");
  EXPECT_EQ(run_.Context.Facts.DmiPaNumber, L"");
  EXPECT_EQ(run_.Context.Facts.DmiVendor, L"LENOVO");
  EXPECT_EQ(std::count(fake::Wmi().Events.begin(), fake::Wmi().Events.end(), L"enter"), 3);
}

}  // namespace
}  // namespace dorvanta
