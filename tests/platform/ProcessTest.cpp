#include "platform/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

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

constexpr std::chrono::seconds kEndLimit(2);

// What comes from the descriptor up to its end, or nothing when the end does
// not come within kEndLimit (a writer still holds the other side).
std::optional<std::string> ReadToEnd(int descriptor) {
  std::string text;
  const auto until = std::chrono::steady_clock::now() + kEndLimit;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    pollfd ready{descriptor, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
      return std::nullopt;
    }
    char buffer[256];
    const ssize_t got = ::read(descriptor, buffer, sizeof(buffer));
    // A terminal whose other side has closed answers EIO.
    if (got <= 0) return text;
    text.append(buffer, static_cast<std::size_t>(got));
  }
}

// Starts the request with this process's standard input, output and error on
// the given descriptors, closes `output` and puts its own streams back.
StartOutcome StartWithStreams(const StartRequest& request, int input, int output) {
  const int saved[] = {::dup(STDIN_FILENO), ::dup(STDOUT_FILENO), ::dup(STDERR_FILENO)};
  const int given[] = {input, output, output};
  for (int stream = 0; stream < 3; ++stream) ::dup2(given[stream], stream);
  StartOutcome outcome = StartProgram(request);
  for (int stream = 0; stream < 3; ++stream) {
    ::dup2(saved[stream], stream);
    ::close(saved[stream]);
  }
  ::close(output);
  return outcome;
}

TEST(Process, AProgramNotWaitedForHoldsNoPipeOfTheCallers) {
  // `Dorvanta rules.ini | tee log`: the reader sees the end of the output when
  // the caller's own ends close, not when a program still running lets go.
  int input[2];
  int output[2];
  ASSERT_EQ(::pipe2(input, O_CLOEXEC), 0);
  ASSERT_EQ(::pipe2(output, O_CLOEXEC), 0);
  const TempFolder folder;
  const StartOutcome started = StartWithStreams(
      {L"/bin/sh", L"-c 'echo out; echo error >&2; cat; : > read.txt; exec sleep 5'",
       folder.Path().wstring(), false},
      input[0], output[1]);
  ASSERT_TRUE(started.Accepted);
  EXPECT_EQ(ReadToEnd(output[0]), "");
  // Its standard input is at its end at once, though the caller's stays open.
  const std::filesystem::path read = folder.Path() / "read.txt";
  for (int tries = 0; tries < 20 && !std::filesystem::exists(read); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_TRUE(std::filesystem::exists(read));
  for (const int end : {input[0], input[1], output[0]}) ::close(end);
}

TEST(Process, AWaitedForProgramWritesToTheCallersOutput) {
  int output[2];
  ASSERT_EQ(::pipe2(output, O_CLOEXEC), 0);
  const StartOutcome started = StartWithStreams(
      {L"/bin/sh", L"-c 'echo out; echo error >&2'", L"", true}, STDIN_FILENO, output[1]);
  ASSERT_TRUE(started.Accepted && started.Process);
  EXPECT_EQ(WaitForProcess(*started.Process).End, WaitEnd::Ended);
  EXPECT_EQ(ReadToEnd(output[0]), "out\nerror\n");
  ::close(output[0]);
}

// The program it started holds the output too: the output ends only when both
// are gone.
TEST(Process, AnEndableProgramIsEndedWithEveryProgramItStarted) {
  int output[2];
  ASSERT_EQ(::pipe2(output, O_CLOEXEC), 0);
  const StartOutcome started =
      StartWithStreams({L"/bin/sh", L"-c 'sleep 100 & echo started; wait'", L"", true, true},
                       STDIN_FILENO, output[1]);
  ASSERT_TRUE(started.Accepted && started.Process);
  EXPECT_EQ(WaitForProcess(*started.Process, std::chrono::milliseconds(300)).End,
            WaitEnd::TimedOut);
  EXPECT_TRUE(EndProcessTree(*started.Process));
  EXPECT_EQ(ReadToEnd(output[0]), "started\n");
  EXPECT_EQ(ProcessExitCode(*started.Process), 128U + SIGKILL);
  ::close(output[0]);
}

TEST(Process, AProgramEndingWithinTheLimitGivesItsCode) {
  const StartOutcome started = StartProgram({L"/bin/sh", L"-c 'exit 3'", L"", true, true});
  ASSERT_TRUE(started.Accepted && started.Process);
  EXPECT_EQ(WaitForProcess(*started.Process, std::chrono::seconds(10)).End, WaitEnd::Ended);
  EXPECT_EQ(ProcessExitCode(*started.Process), 3U);
}

TEST(Process, AProgramNotWaitedForSharesTheCallersTerminal) {
  const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(terminal, 0);
  ASSERT_EQ(::grantpt(terminal), 0);
  ASSERT_EQ(::unlockpt(terminal), 0);
  const int side = ::open(::ptsname(terminal), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(side, 0);
  const StartOutcome started =
      StartWithStreams({L"/bin/sh", L"-c 'echo shared'", L"", false}, side, side);
  ASSERT_TRUE(started.Accepted);
  EXPECT_EQ(ReadToEnd(terminal), "shared\r\n");
  ::close(terminal);
}

}  // namespace
}  // namespace dorvanta::platform
