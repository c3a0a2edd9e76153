#include "report/Report.h"

#include <utility>

#include "platform/Console.h"
#include "platform/LogFile.h"
#include "platform/ProcessExit.h"

namespace dorvanta {

bool Verbose = false;
std::wstring LogPath;
bool LogHeaderPending = true;
std::function<int(int exitCode)> RunEndHook;

void EndRun(int exitCode) {
  // Taken first: should the hook itself end the run, it is not asked again.
  if (const std::function<int(int)> hook = std::exchange(RunEndHook, nullptr)) {
    exitCode = hook(exitCode);
  }
  platform::EndProcess(exitCode);
}

void AppendToLog(std::wstring_view message) {
  const bool truncate = LogHeaderPending;
  std::wstring text;
  if (LogHeaderPending) {
    LogHeaderPending = false;
    text.append(kEqualsLine).append(L"Dorvanta LOG:\n").append(kEqualsLine);
  }
  text.append(message);
  const platform::LogWriteResult result = platform::WriteLogFile(LogPath, text, truncate);
  if (!result.Ok) {
    platform::WriteStandardOutput(
        Format(L"ERROR: (%ld) \"%s\" writing LOG %s.\n", result.ErrorNumber, L"", LogPath));
    EndRun(1);
  }
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
