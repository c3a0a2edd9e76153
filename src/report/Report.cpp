#include "report/Report.h"

#include "common/Text.h"
#include "platform/Console.h"
#include "platform/LogFile.h"

namespace dorvanta {

void ProgramSink::AppendToLog(std::wstring_view message) {
  const bool truncate = headerPending_;
  std::wstring text;
  if (headerPending_) {
    headerPending_ = false;
    text.append(kEqualsLine).append(L"Dorvanta LOG:\n").append(kEqualsLine);
  }
  text.append(message);
  const platform::LogWriteResult result = platform::WriteLogFile(logPath_, text, truncate);
  if (!result.Ok) {
    // The quoted insert is always empty: the failure line reads `"" writing LOG`.
    platform::WriteStandardOutput(
        Format(L"ERROR: (%ld) \"%s\" writing LOG %s.\n", result.ErrorNumber, L"", logPath_));
    throw RunStopped(1);
  }
}

std::wstring ProgramSink::Shown(const std::wstring& text) const {
  return elsewhere_ ? EscapeControls(text) : text;
}

void ProgramSink::Deliver(std::wstring_view message) {
  if (verbose_) platform::WriteStandardOutput(message);
  if (!logPath_.empty()) AppendToLog(message);
}

}  // namespace dorvanta
