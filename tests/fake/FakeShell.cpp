#include "fake/FakeShell.h"

#include <mutex>

#include "common/EnvironmentExpansion.h"
#include "fake/FakePlatform.h"
#include "platform/Environment.h"

namespace dorvanta {
namespace fake {

ShellState& Shell() {
  static ShellState state;
  return state;
}

void ResetShell() { Shell() = ShellState{}; }

}  // namespace fake

namespace platform {

FolderLookup LookUpShellFolder(int csidl) {
  fake::PathState& state = fake::Shell().Paths;
  state.FolderLookups.push_back(csidl);
  const auto found = state.Folders.find(csidl);
  return found == state.Folders.end() ? FolderLookup{FolderLookupStatus::NoFolder, {}}
                                      : found->second;
}

std::optional<std::wstring> ExpandEnvironmentReferences(const std::wstring& text) {
  // Walks on several threads expand at once, as the system lets them; the note
  // of each expansion is taken under a lock.
  static std::mutex noting;
  fake::PathState& state = fake::Shell().Paths;
  {
    const std::lock_guard<std::mutex> lock(noting);
    state.Expansions.push_back(text);
  }
  return ExpandPercentReferences(text,
                                 [&state](std::wstring_view name) -> std::optional<std::wstring> {
                                   const auto found = state.Environment.find(std::wstring(name));
                                   if (found == state.Environment.end()) return std::nullopt;
                                   return found->second;
                                 });
}

struct StartedProcess {};

void StartedProcessCloser::operator()(StartedProcess* process) const {
  fake::Shell().Processes.Calls.push_back(L"close");
  fake::Shell().Processes.StdoutAtClose = fake::Platform().Stdout.size();
  delete process;
}

StartOutcome StartProgram(const StartRequest& request) {
  fake::ProcessState& state = fake::Shell().Processes;
  state.Starts.push_back(request);
  if (!state.Accept) return StartOutcome{false, state.Reason, nullptr};
  StartOutcome outcome{true, {}, nullptr};
  if (request.KeepHandle && state.GiveHandle) outcome.Process.reset(new StartedProcess);
  return outcome;
}

WaitResult WaitForProcess(StartedProcess&, std::optional<std::chrono::milliseconds> limit) {
  fake::ProcessState& state = fake::Shell().Processes;
  state.Calls.push_back(L"wait");
  state.WaitLimit = limit;
  return state.Waited;
}

bool EndProcessTree(StartedProcess&) {
  fake::ProcessState& state = fake::Shell().Processes;
  state.Calls.push_back(L"end tree");
  return state.Ends;
}

std::optional<std::uint32_t> ProcessExitCode(StartedProcess&) {
  fake::Shell().Processes.Calls.push_back(L"exit code");
  return fake::Shell().Processes.ExitCode;
}

}  // namespace platform
}  // namespace dorvanta
