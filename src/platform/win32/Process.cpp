#include "platform/Process.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/win32/SystemError.h"
#include "platform/win32/UniqueHandle.h"

namespace dorvanta::platform {

struct StartedProcess {
  win32::UniqueHandle Handle;
  // The job object that holds it and every process it starts; none when the
  // start was not Endable or the process could not be put in one.
  win32::UniqueHandle Job;
};

void StartedProcessCloser::operator()(StartedProcess* process) const { delete process; }

namespace {

StartOutcome Refused(DWORD errorCode) {
  return StartOutcome{false, win32::SystemErrorText(errorCode), nullptr};
}

// Puts the process in a job object of its own, which every process it starts
// then joins. It is put there as soon as the shell hands it back, so a program
// that starts another in its very first instants may have started it outside.
// None when the system refuses (a caller's job that takes no nested job).
win32::UniqueHandle JobFor(HANDLE process) {
  win32::UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
  if (!job || !::AssignProcessToJobObject(job.get(), process)) return {};
  return job;
}

// How long EndProcessTree waits for the ended process to be gone.
constexpr DWORD kEndWaitMs = 10000;
// The exit code of an ended process.
constexpr UINT kEndedExitCode = 1;

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
    win32::UniqueHandle process(info.hProcess);
    win32::UniqueHandle job = request.Endable ? JobFor(process.get()) : win32::UniqueHandle();
    outcome.Process.reset(new StartedProcess{std::move(process), std::move(job)});
  }
  return outcome;
}

WaitResult WaitForProcess(StartedProcess& process, std::optional<std::chrono::milliseconds> limit) {
  // INFINITE is the largest DWORD: a limit stays below it.
  const DWORD milliseconds =
      limit ? static_cast<DWORD>(std::clamp<std::int64_t>(limit->count(), 0, INFINITE - 1))
            : INFINITE;
  const DWORD result = ::WaitForSingleObjectEx(process.Handle.get(), milliseconds, FALSE);
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

bool EndProcessTree(StartedProcess& process) {
  const BOOL ended = process.Job ? ::TerminateJobObject(process.Job.get(), kEndedExitCode)
                                 : ::TerminateProcess(process.Handle.get(), kEndedExitCode);
  return ended != FALSE &&
         ::WaitForSingleObjectEx(process.Handle.get(), kEndWaitMs, FALSE) == WAIT_OBJECT_0;
}

std::optional<std::uint32_t> ProcessExitCode(StartedProcess& process) {
  DWORD exitCode = 0;
  if (!::GetExitCodeProcess(process.Handle.get(), &exitCode)) return std::nullopt;
  return exitCode;
}

}  // namespace dorvanta::platform
