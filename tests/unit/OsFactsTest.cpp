#include <gtest/gtest.h>

#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

class OsFactsTest : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override { fake::Reset(); }
  fake::State& platform_ = fake::Platform();
};

TEST_F(OsFactsTest, BlockShowsTheExtendedQueryAndCriteriaUseTheVersionWord) {
  platform_.Version = platform::OsVersion{6, 1, L"Service Pack 1"};
  platform_.Processor = {platform::kArchitectureAmd64, 2, 8664, 6, 3592};
  platform_.VersionWord = 0x1DB10A06;  // 6.10
  EXPECT_TRUE(GatherOsFacts(run_.Context));
  EXPECT_EQ(platform_.Stdout,
            L"OS Information:\n---------------\n"
            L"OS Major = 6\nOS Minor = 1\n"
            L"Service Pack (CSD) Ver (empty if no SP installed) = Service Pack 1\n"
            L"OS 64 bit\n2 Processor(s)\nProcessor Type: 8664\nProcessor Revision: 3592\n"
            L"Processor Level: 6\nProcessor Model: 14\nProcessor Stepping: 8\n");
  EXPECT_EQ(run_.Context.Facts.OsMajor, 6u);
  EXPECT_EQ(run_.Context.Facts.OsMinor, 10u);
  EXPECT_EQ(run_.Context.Facts.ProcessorModel, 14);
  EXPECT_EQ(run_.Context.Facts.ProcessorStepping, 8);
}

TEST_F(OsFactsTest, ArchitectureGivesTheBits) {
  const std::pair<std::uint16_t, int> cases[] = {
      {0, 32}, {6, 64}, {9, 64}, {12, 64}, {5, 0}, {platform::kArchitectureUnknown, 0}};
  for (const auto& [architecture, bits] : cases) {
    fake::Reset();
    platform_.Processor.Architecture = architecture;
    EXPECT_TRUE(GatherOsFacts(run_.Context));
    EXPECT_EQ(run_.Context.Facts.OsBits, bits) << architecture;
  }
}

TEST_F(OsFactsTest, FailedVersionQueryEndsAfterTheHeader) {
  platform_.Version.reset();
  EXPECT_FALSE(GatherOsFacts(run_.Context)) << "a failed version query must end the run";
  EXPECT_EQ(platform_.Stdout,
            L"OS Information:\n---------------\nERROR: Could not get OS version!\n");
}

}  // namespace
}  // namespace dorvanta
