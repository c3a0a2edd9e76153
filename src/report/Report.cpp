#include "report/Report.h"

#include <utility>

#include "platform/Console.h"
#include "platform/LogFile.h"
#include "platform/ProcessExit.h"

namespace dorvanta {

bool Verbose = false;
std::wstring LogPath;
std::function<int(int exitCode)> RunEndHook;

void EndRun(int exitCode) {
  // Taken first: should the hook itself end the run, it is not asked again.
  if (const std::function<int(int)> hook = std::exchange(RunEndHook, nullptr)) {
    exitCode = hook(exitCode);
  }
  platform::EndProcess(exitCode);
}

namespace {

// True until the first log write of the run, which empties the file and writes the header.
bool logHeaderPending = true;

// Appends one message to the log file; the first call of a run empties the file
// and writes the header. A failed write ends the process with exit code 1.
void AppendToLog(std::wstring_view message) {
  const bool truncate = logHeaderPending;
  std::wstring text;
  if (logHeaderPending) {
    logHeaderPending = false;
    text.append(kEqualsLine).append(L"Dorvanta LOG:\n").append(kEqualsLine);
  }
  text.append(message);
  const platform::LogWriteResult result = platform::WriteLogFile(LogPath, text, truncate);
  if (!result.Ok) {
    // The quoted insert is always empty: the failure line reads `"" writing LOG`.
    platform::WriteStandardOutput(
        Format(L"ERROR: (%ld) \"%s\" writing LOG %s.\n", result.ErrorNumber, L"", LogPath));
    EndRun(1);
  }
}

}  // namespace

void ResetOutputSettings() {
  Verbose = false;
  LogPath.clear();
  logHeaderPending = true;
}

void Deliver(std::wstring_view message) {
  if (Verbose) platform::WriteStandardOutput(message);
  if (!LogPath.empty()) AppendToLog(message);
}

void DeliverAndExit(int exitCode, std::wstring_view message) {
  Deliver(message);
  EndRun(exitCode);
}

}  // namespace dorvanta
