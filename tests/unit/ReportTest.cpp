#include "report/Report.h"

#include <gtest/gtest.h>

#include "fake/FakePlatform.h"

namespace dorvanta {
namespace {

const std::wstring kHeader =
    L"===============================================================================\n"
    L"Dorvanta LOG:\n"
    L"===============================================================================\n";

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
  fake::State& platform_ = fake::Platform();
};

TEST_F(ReportTest, ResetStartsTheLogAfreshWithItsHeader) {
  LogPath = L"run.log";
  Report(L"first run\n");
  ResetOutputSettings();
  EXPECT_TRUE(LogPath.empty());
  LogPath = L"run.log";
  Report(L"second run\n");
  EXPECT_EQ(platform_.Files[LogPath], kHeader + L"second run\n");
}

TEST_F(ReportTest, NothingGoesAnywhereWithoutVerboseAndLog) {
  Report(L"a %s\n", L"b");
  EXPECT_EQ(platform_.Stdout, L"");
  EXPECT_EQ(platform_.LogWrites, 0);
}

TEST_F(ReportTest, LogHeaderOnceAndOldContentReplaced) {
  LogPath = L"run.log";
  platform_.Files[LogPath] = L"old content of an earlier run\n";
  Report(L"one\n");
  Report(L"two %d\n", 2);
  EXPECT_EQ(platform_.Files[LogPath], kHeader + L"one\ntwo 2\n");
  EXPECT_EQ(platform_.Stdout, L"");  // console off
}

TEST_F(ReportTest, ConsoleAndLogGetTheSameText) {
  Verbose = true;
  LogPath = L"run.log";
  Report(L"100%s done\n", L"%d");
  EXPECT_EQ(platform_.Stdout, L"100%d done\n");
  EXPECT_EQ(platform_.Files[LogPath], kHeader + L"100%d done\n");
}

TEST_F(ReportTest, ReportAndExitEndsWithItsCode) {
  Verbose = true;
  const std::optional<int> code = fake::ExitCodeOf([] { ReportAndExit(3, L"bye\n"); });
  ASSERT_TRUE(code.has_value()) << "ReportAndExit returned";
  EXPECT_EQ(*code, 3);
  EXPECT_EQ(platform_.Stdout, L"bye\n");
}

TEST_F(ReportTest, FailedLogWriteTurnsEveryExitIntoOne) {
  Verbose = true;
  LogPath = L"C:\\logs\\run.log";
  platform_.LogFailure = {{2, 5}};
  Report(L"first\n");
  const std::optional<int> code = fake::ExitCodeOf([] { ReportAndExit(0, L"Done.\n"); });
  ASSERT_TRUE(code.has_value()) << "a failed log write must end the process";
  EXPECT_EQ(*code, 1);
  // The console copy comes first, then the failure line, written whatever Verbose says.
  EXPECT_EQ(platform_.Stdout, L"first\nDone.\nERROR: (5) \"\" writing LOG C:\\logs\\run.log.\n");
  EXPECT_EQ(platform_.Files[LogPath], kHeader + L"first\n");
}

TEST_F(ReportTest, FailureLineIsPrintedEvenWithoutVerbose) {
  LogPath = L"missing\\run.log";
  platform_.LogFailure = {{1, 3}};
  EXPECT_THROW(Report(L"x\n"), fake::ProcessEnded);
  EXPECT_EQ(platform_.Stdout, L"ERROR: (3) \"\" writing LOG missing\\run.log.\n");
}

}  // namespace
}  // namespace dorvanta
