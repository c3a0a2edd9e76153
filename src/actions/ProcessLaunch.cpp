#include "actions/ProcessLaunch.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/Process.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

// Each part of the split path holds at most this many characters.
constexpr std::size_t kPartLimit = 259;

// Ends a process that outlived its time limit, with everything it started.
ActionOutcome EndTimedOut(ReportSink& sink, platform::StartedProcess& process,
                          std::chrono::seconds limit) {
  if (platform::EndProcessTree(process)) {
    Report(sink, L"ERROR: Still running after %ld seconds: ended with all it started!\n\n",
           static_cast<std::int32_t>(limit.count()));
  } else {
    Report(sink, L"ERROR: Still running after %ld seconds, and could not be ended!\n\n",
           static_cast<std::int32_t>(limit.count()));
  }
  return NotDone(std::wstring(kTimedOut));
}

}  // namespace

std::wstring WorkingDirectoryOf(const std::wstring& file) {
  const std::wstring_view path(file);
  const std::size_t driveLength = path.size() >= 2 && path[1] == L':' ? 2 : 0;
  const std::wstring_view afterDrive = path.substr(driveLength);
  const std::size_t lastSeparator = afterDrive.find_last_of(L"\\/");
  const std::size_t folderLength = lastSeparator == std::wstring_view::npos ? 0 : lastSeparator + 1;
  const std::wstring_view nameAndExtension = afterDrive.substr(folderLength);
  const std::size_t dot = nameAndExtension.rfind(L'.');
  const std::size_t nameLength = dot == std::wstring_view::npos ? nameAndExtension.size() : dot;
  const std::size_t extensionLength = nameAndExtension.size() - nameLength;
  if (folderLength > kPartLimit || nameLength > kPartLimit || extensionLength > kPartLimit) {
    return {};
  }
  return std::wstring(path.substr(0, driveLength + folderLength));
}

ActionOutcome LaunchProcess(ReportSink& sink, const std::wstring& file,
                            const std::wstring& parameters, bool wait,
                            std::optional<std::chrono::seconds> limit) {
  platform::StartOutcome start = platform::StartProgram(platform::StartRequest{
      file, parameters, WorkingDirectoryOf(file), wait, wait && limit.has_value()});
  if (!start.Accepted) {
    ActionOutcome failed = NotDone(std::move(start.Reason));
    Report(sink, L"ERROR: ShellExecute \"%s\"!\n", failed.Failure);
    return failed;
  }
  if (!wait) {
    // The start's report ends with an empty line.
    Report(sink, L"\n");
    return Done();
  }
  Report(sink, L"Waiting for %s %s...\n", file, parameters);
  if (!start.Process) {
    Report(sink, L"Error: No process Handle!\n%s %s does not work with ShellExecute WAIT!\n", file,
           parameters);
    return NotDone(L"No process handle");
  }
  const platform::WaitResult waited = platform::WaitForProcess(
      *start.Process, limit ? std::optional<std::chrono::milliseconds>(*limit) : std::nullopt);
  switch (waited.End) {
    case platform::WaitEnd::Ended:
      break;
    case platform::WaitEnd::TimedOut:
      if (limit) return EndTimedOut(sink, *start.Process, *limit);
      Report(sink, L"Error: Timeout - no object!\n");
      return NotDone(L"Timeout");
    case platform::WaitEnd::Failed:
      Report(sink, L"Error: Wait failed!\n");
      return NotDone(L"Wait failed");
    case platform::WaitEnd::Other:
      Report(sink, L"Unexpected error %ld waiting for object!\n", waited.Other);
      return NotDone(Format(L"Unexpected error %ld", waited.Other));
  }
  const std::optional<std::uint32_t> exitCode = platform::ProcessExitCode(*start.Process);
  if (exitCode) {
    Report(sink, L"INFO: Exit Code was %ld\n", static_cast<std::int32_t>(*exitCode));
  } else {
    Report(sink, L"INFO: Could not get Exit code!\n");
  }
  start.Process.reset();
  Report(sink, L"Executed.\n");
  // As after a start without waiting, an empty line ends the report.
  Report(sink, L"\n");
  return Done(exitCode);
}

}  // namespace dorvanta
