// Starting programs and documents, and waiting for started processes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace dorvanta::platform {

// A started process that can be waited for. Its handle is closed when the
// owning pointer lets go of it.
struct StartedProcess;
struct StartedProcessCloser {
  void operator()(StartedProcess* process) const;
};
using ProcessHandle = std::unique_ptr<StartedProcess, StartedProcessCloser>;

struct StartRequest {
  std::wstring File;        // program or document, handed over unchanged
  std::wstring Parameters;  // may be empty
  std::wstring Directory;   // working directory; empty for the current one
  bool KeepHandle = false;  // hand back the started process's handle
};

struct StartOutcome {
  bool Accepted = false;
  std::uint32_t ErrorCode = 0;  // when not accepted: the reason, for SystemErrorText
  // With KeepHandle: the started process, or none when the request was served
  // without starting one.
  ProcessHandle Process;
};

// Starts the program, or opens the document with its default action.
StartOutcome StartProgram(const StartRequest& request);

// The system's message text for an error number of StartProgram.
std::wstring SystemErrorText(std::uint32_t errorCode);

// Results of WaitForProcess.
inline constexpr std::uint32_t kWaitEnded = 0;
inline constexpr std::uint32_t kWaitTimeout = 0x102;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;

// Waits without a time limit until the process has ended.
std::uint32_t WaitForProcess(StartedProcess& process);

// The exit code of an ended process; empty when it cannot be read.
std::optional<std::uint32_t> ProcessExitCode(StartedProcess& process);

}  // namespace dorvanta::platform
