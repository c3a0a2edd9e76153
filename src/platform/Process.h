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
  // Hand back the started process's handle, to wait for it. A program started
  // without one gets no standard stream of the caller's that is no terminal
  // (natively /dev/null instead), so that it holds no pipe of the caller's open.
  bool KeepHandle = false;
};

struct StartOutcome {
  bool Accepted = false;
  // When not accepted: the system's reason, in its own words.
  std::wstring Reason;
  // With KeepHandle: the started process, or none when the request was served
  // without starting one.
  ProcessHandle Process;
};

// Starts the program, or opens the document with its default action.
StartOutcome StartProgram(const StartRequest& request);

// How a wait for a started process came back.
enum class WaitEnd { Ended, TimedOut, Failed, Other };

struct WaitResult {
  WaitEnd End = WaitEnd::Ended;
  std::uint32_t Other = 0;  // with WaitEnd::Other: the system's result number
};

// Waits without a time limit until the process has ended.
WaitResult WaitForProcess(StartedProcess& process);

// The exit code of an ended process; empty when it cannot be read.
std::optional<std::uint32_t> ProcessExitCode(StartedProcess& process);

}  // namespace dorvanta::platform
