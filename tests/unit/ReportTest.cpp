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
  ProgramSink sink_;
};

TEST_F(ReportTest, EverySinkStartsItsLogAfreshWithItsHeader) {
  sink_.SetLogPath(L"run.log");
  Report(sink_, L"first run\n");
  ProgramSink next;
  next.SetLogPath(L"run.log");
  Report(next, L"second run\n");
  EXPECT_EQ(platform_.Files[L"run.log"], kHeader + L"second run\n");
}

TEST_F(ReportTest, NothingGoesAnywhereWithoutVerboseAndLog) {
  EXPECT_FALSE(sink_.Wanted());
  Report(sink_, L"a %s\n", L"b");
  EXPECT_EQ(platform_.Stdout, L"");
  EXPECT_EQ(platform_.LogWrites, 0);
}

TEST_F(ReportTest, LogHeaderOnceAndOldContentReplaced) {
  sink_.SetLogPath(L"run.log");
  platform_.Files[L"run.log"] = L"old content of an earlier run\n";
  Report(sink_, L"one\n");
  Report(sink_, L"two %d\n", 2);
  EXPECT_EQ(platform_.Files[L"run.log"], kHeader + L"one\ntwo 2\n");
  EXPECT_EQ(platform_.Stdout, L"");  // console off
}

TEST_F(ReportTest, ConsoleAndLogGetTheSameText) {
  sink_.SetVerbose(true);
  sink_.SetLogPath(L"run.log");
  Report(sink_, L"100%s done\n", L"%d");
  EXPECT_EQ(platform_.Stdout, L"100%d done\n");
  EXPECT_EQ(platform_.Files[L"run.log"], kHeader + L"100%d done\n");
}

// Takes no message; any delivery is a fault.
class NobodyReads final : public ReportSink {
 public:
  [[nodiscard]] bool Wanted() const override { return false; }
  void Deliver(std::wstring_view message) override {
    ADD_FAILURE() << "delivered: " << message.size() << " characters";
  }
};

TEST_F(ReportTest, SinkThatWantsNothingIsHandedNothing) {
  NobodyReads sink;
  Report(sink, L"a %s %d\n", L"b", 3);
  SilentSink silent;
  EXPECT_FALSE(silent.Wanted());
  Report(silent, L"c\n");
  EXPECT_EQ(platform_.Stdout, L"");
}

TEST_F(ReportTest, FailedLogWriteStopsTheRunWithOne) {
  sink_.SetVerbose(true);
  sink_.SetLogPath(L"C:\\logs\\run.log");
  platform_.LogFailure = {{2, 5}};
  Report(sink_, L"first\n");
  try {
    Report(sink_, L"Done.\n");
    ADD_FAILURE() << "a failed log write must stop the run";
  } catch (const RunStopped& stopped) {
    EXPECT_EQ(stopped.ExitCode(), 1);
  }
  // The console copy comes first, then the failure line, written whatever Verbose says.
  EXPECT_EQ(platform_.Stdout, L"first\nDone.\nERROR: (5) \"\" writing LOG C:\\logs\\run.log.\n");
  EXPECT_EQ(platform_.Files[L"C:\\logs\\run.log"], kHeader + L"first\n");
}

TEST_F(ReportTest, FailureLineIsPrintedEvenWithoutVerbose) {
  sink_.SetLogPath(L"missing\\run.log");
  platform_.LogFailure = {{1, 3}};
  EXPECT_THROW(Report(sink_, L"x\n"), RunStopped);
  EXPECT_EQ(platform_.Stdout, L"ERROR: (3) \"\" writing LOG missing\\run.log.\n");
}

}  // namespace
}  // namespace dorvanta
