#include "app/Application.h"

#include <gtest/gtest.h>

#include "app/HelpTexts.h"
#include "fake/FakePlatform.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

const std::wstring kBanner = L"Dorvanta V4.0XP\n\n";

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    platform_.ExistingPaths = {L"rules.ini", L"C:\\folder"};
  }

  int Run(std::vector<std::wstring> arguments) {
    arguments.insert(arguments.begin(), L"Dorvanta.exe");
    return RunApplication(arguments);
  }

  fake::State& platform_ = fake::Platform();
};

TEST_F(ApplicationTest, ArgumentCountOutsideTwoToFourGivesUsage) {
  EXPECT_EQ(Run({}), 1);
  EXPECT_EQ(platform_.Stdout, kBanner + std::wstring(kUsageText));
  fake::Reset();
  // The count check comes before the help switches.
  EXPECT_EQ(Run({L"/??", L"a", L"b", L"c"}), 1);
  EXPECT_EQ(platform_.Stdout, kBanner + std::wstring(kUsageText));
}

TEST_F(ApplicationTest, HelpSwitchesWinOverWhatFollows) {
  EXPECT_EQ(Run({L"/?", L"/VERBOSE"}), 1);
  EXPECT_EQ(platform_.Stdout, kBanner + std::wstring(kUsageText));
  fake::Reset();
  EXPECT_EQ(Run({L"/??", L"run.log", L"/VERBOSE"}), 1);
  EXPECT_EQ(platform_.Stdout, kBanner + std::wstring(kIniHelpText));
  EXPECT_TRUE(platform_.Files.empty());
  fake::Reset();
  EXPECT_EQ(Run({L"/???"}), 1);
  EXPECT_EQ(platform_.Stdout, kBanner + std::wstring(kFolderHelpText));
}

TEST_F(ApplicationTest, MissingIniFileIsReportedWithoutLineBreak) {
  EXPECT_EQ(Run({L"/?x", L"/verbose"}), 1);
  EXPECT_EQ(platform_.Stdout,
            kBanner + L"Log output to \n\nERROR: INI file \"/?x\" does not exist!");
}

TEST_F(ApplicationTest, SecondLogPathGivesUsageWithWarningInFirstLog) {
  EXPECT_EQ(Run({L"rules.ini", L"a.log", L"b.log"}), 1);
  EXPECT_EQ(platform_.Stdout, kBanner + std::wstring(kUsageText));
  ASSERT_EQ(platform_.Files.count(L"a.log"), 1u);
  EXPECT_TRUE(platform_.Files[L"a.log"].ends_with(L"Dorvanta LOG:\n" + std::wstring(kEqualsLine) +
                                                  L"WARNING: Usage\n"));
  EXPECT_EQ(platform_.Files.count(L"b.log"), 0u);
}

TEST_F(ApplicationTest, WhiteSpaceLogPathMeansNoLogButStillCounts) {
  EXPECT_EQ(Run({L"rules.ini", L"  \t", L"b.log"}), 1);
  EXPECT_TRUE(platform_.Files.empty());
  fake::Reset();
  platform_.ExistingPaths = {L"rules.ini"};
  EXPECT_EQ(Run({L"rules.ini", L"  run.log ", L"/VERBOSE"}), 0);
  EXPECT_EQ(platform_.Files.count(L"run.log"), 1u);
  EXPECT_TRUE(platform_.Stdout.starts_with(kBanner + L"Log output to run.log\n\nOS Information:"));
}

TEST_F(ApplicationTest, RunEndsWithDoneAndCodeZero) {
  EXPECT_EQ(Run({L"rules.ini", L"/VERBOSE", L"/Verbose"}), 0);
  EXPECT_TRUE(platform_.Stdout.ends_with(L"stop processing!\nDone.\n"));
  // A directory passes the existence check.
  fake::Reset();
  platform_.ExistingPaths = {L"C:\\folder"};
  EXPECT_EQ(Run({L"C:\\folder"}), 0);
}

TEST_F(ApplicationTest, LogPathNamingTheIniFileEndsTheRunBeforeAnyMessage) {
  platform_.FileIdentities = {{L"rules.ini", 1}, {L"RULES.INI", 1}, {L"old.log", 2}};
  // Also before a second log path's usage exit, which writes to the first.
  EXPECT_EQ(Run({L"rules.ini", L" RULES.INI ", L"b.log"}), 1);
  EXPECT_EQ(platform_.Stdout, kBanner + L"ERROR: Log file \"RULES.INI\" is the INI file!\n");
  EXPECT_EQ(platform_.LogWrites, 0);
  // A log that is another file, or none yet, is used.
  platform_.Stdout.clear();
  EXPECT_EQ(Run({L"rules.ini", L"old.log"}), 0);
  EXPECT_EQ(Run({L"rules.ini", L"new.log"}), 0);
  EXPECT_EQ(platform_.Files.size(), 2u);
}

TEST_F(ApplicationTest, FailedAllocationEndsTheRunWithOneErrorLine) {
  platform_.OutOfMemoryAt = L"CRITERIA1";
  EXPECT_EQ(Run({L"rules.ini", L"run.log", L"/VERBOSE"}), 1);
  const std::wstring tail = L"Process INI File:\nERROR: Out of memory!\n";
  EXPECT_TRUE(platform_.Stdout.ends_with(tail));
  EXPECT_TRUE(platform_.Files[L"run.log"].ends_with(tail));
}

TEST_F(ApplicationTest, EveryEndReachesTheEndLearnerOnceAndItsCodeIsTheRunsCode) {
  std::vector<int> learned;
  const auto run = [&learned](std::vector<std::wstring> arguments) {
    arguments.insert(arguments.begin(), L"Dorvanta.exe");
    WalkObserver quiet;
    return RunApplication(arguments, quiet, MachineExecutor(), [&learned](int exitCode) {
      learned.push_back(exitCode);
      return exitCode + 40;
    });
  };
  EXPECT_EQ(run({L"rules.ini", L"/VERBOSE"}), 40);
  EXPECT_EQ(run({L"/?"}), 41);
  // A log write that fails in the middle of the walk comes back as the run's end.
  platform_.Sections[L"CRITERIA1"] = {L"OSMajor=GE,1"};
  platform_.LogFailure = {{30, 5}};
  EXPECT_EQ(run({L"rules.ini", L"run.log"}), 41);
  EXPECT_EQ(learned, (std::vector<int>{0, 1, 1}));
  EXPECT_TRUE(platform_.Stdout.ends_with(L"ERROR: (5) \"\" writing LOG run.log.\n"));
  EXPECT_TRUE(
      platform_.Files[L"run.log"].ends_with(L"Process INI File:\n" + std::wstring(kEqualsLine)));
}

}  // namespace
}  // namespace dorvanta
