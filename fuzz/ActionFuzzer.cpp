// The parameter grammar of Execute and DesktopShortcut on the recording fakes:
// nothing is started or written. Every line of the input is run as both
// actions; the fake shell's folders, environment, start and wait outcomes and
// the shortcut writer's failure come from the input.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "actions/ActionRequest.h"
#include "actions/DesktopShortcutAction.h"
#include "actions/ExecuteAction.h"
#include "common/Text.h"
#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "fake/FakeShell.h"
#include "fake/FakeShortcut.h"
#include "report/Report.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dorvanta;
  fake::Reset();
  fake::FakeRun run;
  FuzzedDataProvider input(data, size);
  fake::ProcessState& processes = fake::Shell().Processes;
  const auto outcome = input.ConsumeIntegral<std::uint8_t>();
  processes.Accept = (outcome & 1) == 0;
  processes.GiveHandle = (outcome & 2) == 0;
  processes.Reason = L"System text " + std::to_wstring(input.ConsumeIntegral<std::uint32_t>());
  if ((outcome & 4) != 0) {
    const auto waited = input.ConsumeIntegral<std::uint32_t>();
    processes.Waited = platform::WaitResult{static_cast<platform::WaitEnd>(waited % 4), waited};
  }
  if ((outcome & 8) == 0)
    processes.ExitCode = input.ConsumeIntegral<std::uint32_t>();
  else
    processes.ExitCode.reset();
  const auto failAt = input.ConsumeIntegralInRange<int>(0, 7);
  if (failAt < 7) fake::Shortcuts().FailAt = static_cast<platform::ShortcutStep>(failAt);
  if ((outcome & 16) != 0) fake::Shortcuts().Suffix = L".desktop";
  const std::vector<std::uint8_t> choices = input.ConsumeBytes<std::uint8_t>(fuzz::kShellChoices);
  const std::vector<std::wstring> lines = fuzz::RemainingLines(input);
  fuzz::FillShell(choices, lines);

  for (const std::wstring& line : lines) {
    const std::wstring value = fuzz::AfterFirst(line, L'=');
    const auto commas = std::count(value.begin(), value.end(), L',');
    const std::wstring mode = UpperAscii(Trim(value.substr(0, value.find(L','))));

    const std::size_t starts = fake::Shell().Processes.Starts.size();
    RunExecuteAction(run.Context, value, L"ACTION1", MachineExecutor());
    const std::size_t started = fake::Shell().Processes.Starts.size() - starts;
    fuzz::Check(started <= 1, "an Execute line starts at most one program");
    fuzz::Check(started == 0 || (commas <= 2 && (mode == L"WAIT" || mode == L"NOWAIT")),
                "an Execute line that breaks the grammar starts nothing");

    const std::size_t requests = fake::Shortcuts().Requests.size();
    RunDesktopShortcutAction(run.Context, value, L"ACTION1", MachineExecutor());
    const std::size_t written = fake::Shortcuts().Requests.size() - requests;
    fuzz::Check(written <= 1, "a DesktopShortcut line writes at most one shortcut");
    fuzz::Check(written == 0 || (commas >= 2 && commas <= 4),
                "a DesktopShortcut line without three to five parameters writes nothing");
  }
  return 0;
}
