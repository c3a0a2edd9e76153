#include "report/Report.h"

#include "platform/Console.h"
#include "platform/LogFile.h"
#include "platform/ProcessExit.h"

namespace dorvanta {

bool Verbose = false;
std::wstring LogPath;
bool LogHeaderPending = true;

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
    platform::EndProcess(1);
  }
}

void Deliver(std::wstring_view message) {
  if (Verbose) platform::WriteStandardOutput(message);
  if (!LogPath.empty()) AppendToLog(message);
}

void DeliverAndExit(int exitCode, std::wstring_view message) {
  Deliver(message);
  platform::EndProcess(exitCode);
}

}  // namespace dorvanta
