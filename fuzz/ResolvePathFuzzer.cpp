// ResolvePath with the fake shell's folders and environment taken from the
// input; every line of the input is resolved.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "paths/PathResolver.h"
#include "report/Report.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dorvanta;
  fake::Reset();
  fake::FakeRun run;
  FuzzedDataProvider input(data, size);
  const std::vector<std::uint8_t> choices = input.ConsumeBytes<std::uint8_t>(fuzz::kShellChoices);
  const std::vector<std::wstring> lines = fuzz::RemainingLines(input);
  fuzz::FillShell(choices, lines);

  for (const std::wstring& line : lines) {
    const std::wstring resolved = ResolvePath(run.Context, line);
    if (line.find(L'[') == std::wstring::npos && line.find(L'%') == std::wstring::npos) {
      fuzz::Check(resolved == line, "a path without token or reference stays as written");
    }
    CsidlFromName(line);
  }
  return 0;
}
