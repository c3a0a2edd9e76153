// Starting programs and documents, and waiting for started processes.
#pragma once

#include <chrono>
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
  // With KeepHandle: start it so that EndProcessTree can end it with every
  // process it starts (natively in a process group of its own, on Windows in a
  // job object of its own).
  bool Endable = false;
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

// Waits until the process has ended: without a time limit, or at most `limit`
// (WaitEnd::TimedOut when it still runs then).
WaitResult WaitForProcess(StartedProcess& process,
                          std::optional<std::chrono::milliseconds> limit = std::nullopt);

// Ends the process with every process it started that still runs (all of them
// when it was started Endable, else the process alone), and waits until it has
// ended. False when it could not be ended.
bool EndProcessTree(StartedProcess& process);

// The exit code of an ended process; empty when it cannot be read.
std::optional<std::uint32_t> ProcessExitCode(StartedProcess& process);

}  // namespace dorvanta::platform
