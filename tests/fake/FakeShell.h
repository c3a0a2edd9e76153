// The fake shell behind ResolvePath and LaunchProcess: shell folders, the
// environment, program starts and process waits.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Process.h"
#include "platform/ShellFolder.h"

namespace dorvanta::fake {

struct PathState {
  // Folders by CSIDL number; a number not listed is a folder the shell does not know.
  std::map<int, platform::FolderLookup> Folders;
  std::vector<int> FolderLookups;
  // Expanded as the Windows environment functions do.
  std::map<std::wstring, std::wstring> Environment;
  std::vector<std::wstring> Expansions;
};

struct ProcessState {
  // What StartProgram answers.
  bool Accept = true;
  std::wstring Reason;     // of a refusal
  bool GiveHandle = true;  // a handle when the request asks for one
  platform::WaitResult Waited;
  std::optional<std::uint32_t> ExitCode = 0;
  bool Ends = true;  // what EndProcessTree answers

  std::vector<platform::StartRequest> Starts;
  // The limit of the last wait.
  std::optional<std::chrono::milliseconds> WaitLimit;
  // The process calls in order: "wait", "end tree", "exit code", "close".
  std::vector<std::wstring> Calls;
  // Standard output's length when the handle was closed.
  std::size_t StdoutAtClose = 0;
};

struct ShellState {
  PathState Paths;
  ProcessState Processes;
};

ShellState& Shell();
void ResetShell();

}  // namespace dorvanta::fake
