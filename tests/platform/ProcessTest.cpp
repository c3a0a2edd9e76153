#include "platform/Process.h"

#include <sys/wait.h>

#include <gtest/gtest.h>
#include <cerrno>
#include <filesystem>
#include <string>

#include "TempFolder.h"

namespace dorvanta::platform {
namespace {

using tests::TempFolder;

// Starts the shell with `parameters`, waits for it and gives its exit code.
std::optional<std::uint32_t> RunShell(const std::wstring& parameters,
                                      const std::wstring& directory = L"") {
  StartOutcome started = StartProgram({L"/bin/sh", parameters, directory, true});
  if (!started.Accepted || !started.Process) return std::nullopt;
  if (WaitForProcess(*started.Process).End != WaitEnd::Ended) return std::nullopt;
  return ProcessExitCode(*started.Process);
}

TEST(Process, ExitCodesAreHandedBack) {
  EXPECT_EQ(RunShell(L"-c 'exit 0'"), 0U);
  EXPECT_EQ(RunShell(L"-c 'exit 7'"), 7U);
  EXPECT_EQ(RunShell(L"-c 'exit 255'"), 255U);
}

TEST(Process, AProgramEndedByASignalGives128PlusItsNumber) {
  EXPECT_EQ(RunShell(L"-c 'kill -KILL $$'"), 128U + SIGKILL);
  EXPECT_EQ(RunShell(L"-c 'kill -TERM $$'"), 128U + SIGTERM);
}

TEST(Process, ParametersAreSplitAsAShellSplitsThem) {
  EXPECT_EQ(RunShell(L"-c '[ $# = 2 ] && [ \"$1\" = \"two words\" ] && [ \"$2\" = \"C:\\x\" ]' "
                     L"sh \"two words\" C:\\x"),
            0U);
}

TEST(Process, TheProgramRunsInTheGivenFolder) {
  const TempFolder folder;
  const std::wstring canonical = std::filesystem::canonical(folder.Path()).wstring();
  EXPECT_EQ(RunShell(L"-c '[ \"$(pwd -P)\" = \"" + canonical + L"\" ]'", folder.Path().wstring()),
            0U);
}

TEST(Process, AStartNotWaitedForLeavesNoChildBehind) {
  const StartOutcome started = StartProgram({L"/bin/true", L"", L"", false});
  EXPECT_TRUE(started.Accepted);
  EXPECT_FALSE(started.Process);
  // The program's parent is the system's reaper, and the intermediate was reaped.
  int status = 0;
  EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(Process, StartsThatCannotBeDoneAreRefusedWithTheReason) {
  const StartOutcome unclosed = StartProgram({L"/bin/true", L"\"open", L"", true});
  EXPECT_FALSE(unclosed.Accepted);
  EXPECT_FALSE(unclosed.Process);
  EXPECT_EQ(unclosed.Reason, L"Invalid argument");

  const TempFolder folder;
  const StartOutcome missing =
      StartProgram({(folder.Path() / "missing").wstring(), L"", L"", true});
  EXPECT_FALSE(missing.Accepted);
  EXPECT_EQ(missing.Reason, L"No such file or directory");

  const StartOutcome noFolder =
      StartProgram({L"/bin/true", L"", (folder.Path() / "missing").wstring(), true});
  EXPECT_FALSE(noFolder.Accepted);
  EXPECT_FALSE(noFolder.Process);
}

}  // namespace
}  // namespace dorvanta::platform
