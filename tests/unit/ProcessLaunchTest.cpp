#include "actions/ProcessLaunch.h"

#include <gtest/gtest.h>

#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "fake/FakeShell.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

class LaunchTest : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override { fake::Reset(); }
  fake::State& platform_ = fake::Platform();
  fake::ProcessState& processes_ = fake::Shell().Processes;
};

TEST_F(LaunchTest, RefusalQuotesTheSystemTextUnchanged) {
  processes_.Accept = false;
  processes_.Reason = L"System text 2.\r\n";
  EXPECT_FALSE(LaunchProcess(run_.Sink, L"C:\\missing.exe", L"", true).Done);
  EXPECT_EQ(platform_.Stdout, L"ERROR: ShellExecute \"System text 2.\r\n\"!\n");
}

TEST_F(LaunchTest, WaitWithoutProcessHandle) {
  processes_.GiveHandle = false;
  EXPECT_FALSE(LaunchProcess(run_.Sink, L"readme.txt", L"", true).Done);
  EXPECT_EQ(platform_.Stdout,
            L"Waiting for readme.txt ...\n"
            L"Error: No process Handle!\nreadme.txt  does not work with ShellExecute WAIT!\n");
  EXPECT_TRUE(processes_.Calls.empty());
}

TEST_F(LaunchTest, FailedWaitsReportTheirResultAndStillCloseTheHandle) {
  const struct {
    platform::WaitResult Result;
    const wchar_t* Message;
  } cases[] = {{{platform::WaitEnd::TimedOut}, L"Error: Timeout - no object!\n"},
               {{platform::WaitEnd::Failed}, L"Error: Wait failed!\n"},
               {{platform::WaitEnd::Other, 0x80}, L"Unexpected error 128 waiting for object!\n"}};
  for (const auto& c : cases) {
    SetUp();
    processes_.Waited = c.Result;
    EXPECT_FALSE(LaunchProcess(run_.Sink, L"a.exe", L"/x", true).Done);
    EXPECT_EQ(platform_.Stdout, std::wstring(L"Waiting for a.exe /x...\n") + c.Message);
    EXPECT_EQ(processes_.Calls, (std::vector<std::wstring>{L"wait", L"close"}));
  }
}

// A program still running at the limit is ended with all it started; without
// a limit the wait is Dorvanta's, unbounded, and the start is as it always was.
TEST_F(LaunchTest, AProgramOutlivingTheLimitIsEndedWithAllItStarted) {
  processes_.Waited = {platform::WaitEnd::TimedOut};
  const ActionOutcome outcome =
      LaunchProcess(run_.Sink, L"a.exe", L"/x", true, std::chrono::seconds(5));
  EXPECT_FALSE(outcome.Done);
  EXPECT_EQ(outcome.Failure, L"timed out");
  EXPECT_EQ(platform_.Stdout,
            L"Waiting for a.exe /x...\n"
            L"ERROR: Still running after 5 seconds: ended with all it started!\n\n");
  EXPECT_EQ(processes_.Calls, (std::vector<std::wstring>{L"wait", L"end tree", L"close"}));
  EXPECT_EQ(processes_.WaitLimit, std::chrono::milliseconds(5000));
  EXPECT_TRUE(processes_.Starts.back().Endable);

  SetUp();
  processes_.Waited = {platform::WaitEnd::TimedOut};
  processes_.Ends = false;
  EXPECT_EQ(LaunchProcess(run_.Sink, L"a.exe", L"", true, std::chrono::seconds(1)).Failure,
            L"timed out");
  EXPECT_EQ(platform_.Stdout,
            L"Waiting for a.exe ...\n"
            L"ERROR: Still running after 1 seconds, and could not be ended!\n\n");

  SetUp();
  EXPECT_TRUE(LaunchProcess(run_.Sink, L"a.exe", L"", true, std::chrono::seconds(1)).Done);
  EXPECT_EQ(processes_.Calls, (std::vector<std::wstring>{L"wait", L"exit code", L"close"}));

  SetUp();
  EXPECT_TRUE(LaunchProcess(run_.Sink, L"a.exe", L"", false, std::chrono::seconds(1)).Done);
  EXPECT_FALSE(processes_.Starts.back().Endable);
}

TEST_F(LaunchTest, WithoutALimitTheWaitIsUnboundedAndTheStartAsBefore) {
  EXPECT_TRUE(LaunchProcess(run_.Sink, L"a.exe", L"", true).Done);
  EXPECT_FALSE(processes_.WaitLimit);
  EXPECT_FALSE(processes_.Starts.back().Endable);
}

TEST_F(LaunchTest, ExitCodeIsSignedOrMissing) {
  processes_.ExitCode = 0xFFFFFFFFu;
  EXPECT_TRUE(LaunchProcess(run_.Sink, L"a.exe", L"", true).Done);
  processes_.ExitCode.reset();
  EXPECT_TRUE(LaunchProcess(run_.Sink, L"a.exe", L"", true).Done);
  EXPECT_EQ(platform_.Stdout,
            L"Waiting for a.exe ...\nINFO: Exit Code was -1\nExecuted.\n\n"
            L"Waiting for a.exe ...\nINFO: Could not get Exit code!\nExecuted.\n\n");
}

TEST(WorkingDirectory, DriveAndFolderOfTheFile) {
  EXPECT_EQ(WorkingDirectoryOf(L"C:\\Setup\\Tools\\run.exe"), L"C:\\Setup\\Tools\\");
  EXPECT_EQ(WorkingDirectoryOf(L"C:run.exe"), L"C:");
  EXPECT_EQ(WorkingDirectoryOf(L"run.exe"), L"");
  EXPECT_EQ(WorkingDirectoryOf(L"/opt/app/run"), L"/opt/app/");
  EXPECT_EQ(WorkingDirectoryOf(L"sub/dir\\x.y.z"), L"sub/dir\\");
  EXPECT_EQ(WorkingDirectoryOf(L"\\\\server\\share\\a.exe"), L"\\\\server\\share\\");
  EXPECT_EQ(WorkingDirectoryOf(L"a\\b.dir\\file"), L"a\\b.dir\\");
}

TEST(WorkingDirectory, AnyPartBeyond259CharactersEmptiesIt) {
  const std::wstring folder259 = L"\\" + std::wstring(257, L'd') + L"\\";
  EXPECT_EQ(WorkingDirectoryOf(L"C:" + folder259 + L"a.exe"), L"C:" + folder259);
  EXPECT_EQ(WorkingDirectoryOf(L"C:\\" + folder259 + L"a.exe"), L"");
  const std::wstring name259(259, L'n');
  EXPECT_EQ(WorkingDirectoryOf(L"C:\\x\\" + name259 + L".exe"), L"C:\\x\\");
  EXPECT_EQ(WorkingDirectoryOf(L"C:\\x\\" + name259 + L"n.exe"), L"");
  EXPECT_EQ(WorkingDirectoryOf(L"C:\\x\\a." + std::wstring(258, L'e')), L"C:\\x\\");
  EXPECT_EQ(WorkingDirectoryOf(L"C:\\x\\a." + std::wstring(259, L'e')), L"");
}

TEST_F(LaunchTest, LongFolderStillStartsTheWholeFile) {
  const std::wstring file = L"C:\\" + std::wstring(4000, L'd') + L"\\a.exe";
  EXPECT_TRUE(LaunchProcess(run_.Sink, file, L"", false).Done);
  ASSERT_EQ(processes_.Starts.size(), 1u);
  EXPECT_EQ(processes_.Starts[0].File, file);
  EXPECT_EQ(processes_.Starts[0].Directory, L"");
}

}  // namespace
}  // namespace dorvanta
