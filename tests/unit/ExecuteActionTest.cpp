#include "actions/ActionRequest.h"
#include "actions/ExecuteAction.h"

#include <gtest/gtest.h>

#include "actions/ProcessLaunch.h"
#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "fake/FakeShell.h"
#include "report/Report.h"
#include "rules/ActionLine.h"

namespace dorvanta {
namespace {

using platform::FolderLookup;
using platform::FolderLookupStatus;

class ExecuteTest : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override {
    fake::Reset();
    fake::Shell().Paths.Folders[0x26] =
        FolderLookup{FolderLookupStatus::Found, L"C:\\Program Files"};
    fake::Shell().Paths.Folders[0x0A] = FolderLookup{FolderLookupStatus::NoPath, {}};
    fake::Shell().Paths.Environment[L"TEMP"] = L"C:\\Temp";
  }
  void Execute(const std::wstring& value) {
    RunExecuteAction(run_.Context, value, L"ACTION1", MachineExecutor());
  }
  fake::State& platform_ = fake::Platform();
  fake::ProcessState& processes_ = fake::Shell().Processes;
};

TEST_F(ExecuteTest, WaitedRunResolvesThePathAndReportsTheExitCode) {
  processes_.ExitCode = 3;
  RunActionLine(run_.Context,
                L"  Execute   =   wait , [CSIDL_PROGRAM_FILES]\\App\\setup.exe , /quiet %TEMP% ",
                L"ACTION1", MachineExecutor());
  ASSERT_EQ(processes_.Starts.size(), 1u);
  const platform::StartRequest& start = processes_.Starts[0];
  EXPECT_EQ(start.File, L"C:\\Program Files\\App\\setup.exe");
  EXPECT_EQ(start.Parameters, L"/quiet %TEMP%");  // parameters are never resolved
  EXPECT_EQ(start.Directory, L"C:\\Program Files\\App\\");
  EXPECT_TRUE(start.KeepHandle);
  EXPECT_EQ(platform_.Stdout,
            L"Execute C:\\Program Files\\App\\setup.exe /quiet %TEMP% (WAIT)\n"
            L"Waiting for C:\\Program Files\\App\\setup.exe /quiet %TEMP%...\n"
            L"INFO: Exit Code was 3\n"
            L"Executed.\n\n");
  EXPECT_EQ(processes_.Calls, (std::vector<std::wstring>{L"wait", L"exit code", L"close"}));
  // The handle is closed after the exit code line and before "Executed.".
  EXPECT_EQ(platform_.Stdout.substr(processes_.StdoutAtClose), L"Executed.\n\n");
}

TEST_F(ExecuteTest, NoWaitStartsWithoutHandleAndClosesWithAnEmptyLine) {
  Execute(L"nowait, run.exe,");
  ASSERT_EQ(processes_.Starts.size(), 1u);
  EXPECT_FALSE(processes_.Starts[0].KeepHandle);
  EXPECT_EQ(processes_.Starts[0].Parameters, L"");
  EXPECT_EQ(processes_.Starts[0].Directory, L"");
  EXPECT_EQ(platform_.Stdout, L"Execute run.exe  (NOWAIT)\n\n");
  EXPECT_TRUE(processes_.Calls.empty());
}

TEST_F(ExecuteTest, ParameterErrorsInTheOrderOfThePieces) {
  Execute(L"");
  Execute(L"Run, a.exe");
  Execute(L" NoWait ");
  Execute(L"WAIT, a.exe, /p, more");
  Execute(L"WAIT, a.exe, PROPS=a,b");
  Execute(L"WAIT, [CSIDL_BITBUCKET]\\a.exe, x, y");  // piece 2 fails before piece 4 is seen
  Execute(L"WAIT, %TEMP%\\a.exe, x,");
  EXPECT_EQ(platform_.Stdout,
            L"ERROR: Action Execute parameter 1 only supports WAIT or NOWAIT not !\n"
            L"ERROR: Action Execute parameter 1 only supports WAIT or NOWAIT not RUN!\n"
            L"ERROR: Action Execute parameter 1 and 2 are mandatory!\n"
            L"ERROR: Action Execute only supports 3 parameters!\n"
            L"ERROR: Action Execute only supports 3 parameters!\n"
            L"ERROR: Could not get path for CSIDL_BITBUCKET!\n"
            L"ERROR: Action Execute only supports 3 parameters!\n");
  EXPECT_TRUE(processes_.Starts.empty());
  // The mode piece fails before the path is looked at.
  EXPECT_EQ(fake::Shell().Paths.Expansions,
            (std::vector<std::wstring>{L"a.exe", L"a.exe", L"%TEMP%\\a.exe"}));
}

TEST_F(ExecuteTest, AnEmptyPathEndsTheActionSilently) {
  Execute(L"WAIT,,/quiet");
  Execute(L"WAIT,");
  fake::Shell().Paths.Environment[L"EMPTY"] = L"";
  Execute(L"WAIT, %EMPTY%, /quiet");
  EXPECT_EQ(platform_.Stdout, L"");
  EXPECT_TRUE(processes_.Starts.empty());
}

}  // namespace
}  // namespace dorvanta
