#include "platform/Process.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

#include "platform/win32/SystemError.h"
#include "platform/win32/UniqueHandle.h"

namespace dorvanta::platform {

struct StartedProcess {
  win32::UniqueHandle Handle;
};

void StartedProcessCloser::operator()(StartedProcess* process) const { delete process; }

namespace {

StartOutcome Refused(DWORD errorCode) {
  return StartOutcome{false, win32::SystemErrorText(errorCode), nullptr};
}

}  // namespace

StartOutcome StartProgram(const StartRequest& request) {
  // The shell takes file paths of at most MAX_PATH characters; some versions
  // overrun their own buffers on longer ones instead of failing.
  if (request.File.size() >= MAX_PATH) return Refused(ERROR_FILENAME_EXCED_RANGE);

  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  // No error dialog: an unattended run would wait on it for ever, and the
  // failure's own reason comes back through GetLastError instead.
  info.fMask = SEE_MASK_FLAG_NO_UI | (request.KeepHandle ? SEE_MASK_NOCLOSEPROCESS : 0);
  info.hwnd = nullptr;
  info.lpVerb = nullptr;
  info.lpFile = request.File.c_str();
  info.lpParameters = request.Parameters.empty() ? nullptr : request.Parameters.c_str();
  info.lpDirectory = request.Directory.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!::ShellExecuteExW(&info)) return Refused(::GetLastError());

  StartOutcome outcome{true, {}, nullptr};
  if (request.KeepHandle && info.hProcess != nullptr) {
    outcome.Process.reset(new StartedProcess{win32::UniqueHandle(info.hProcess)});
  }
  return outcome;
}

WaitResult WaitForProcess(StartedProcess& process) {
  const DWORD result = ::WaitForSingleObjectEx(process.Handle.get(), INFINITE, FALSE);
  switch (result) {
    case WAIT_OBJECT_0:
      return WaitResult{WaitEnd::Ended};
    case WAIT_TIMEOUT:
      return WaitResult{WaitEnd::TimedOut};
    case WAIT_FAILED:
      return WaitResult{WaitEnd::Failed};
    default:
      return WaitResult{WaitEnd::Other, result};
  }
}

std::optional<std::uint32_t> ProcessExitCode(StartedProcess& process) {
  DWORD exitCode = 0;
  if (!::GetExitCodeProcess(process.Handle.get(), &exitCode)) return std::nullopt;
  return exitCode;
}

}  // namespace dorvanta::platform
