// The command line and the whole run on the fake platform. The input's lines
// up to the first empty one are the arguments after the program name; the rest
// is the INI file, read by the Linux profile reader into the fake's sections.
// Every run has to end through the process exit with code 0 or 1, and with
// /VERBOSE and a log file every message on the console has to be in the log.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "app/Application.h"
#include "common/Encoding.h"
#include "common/Text.h"
#include "fake/FakeLanguage.h"
#include "fake/FakePlatform.h"
#include "report/Report.h"
#include "rules/ProfileParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dorvanta;
  fake::Reset();
  FuzzedDataProvider input(data, size);
  fake::State& state = fake::Platform();
  const auto flags = input.ConsumeIntegral<std::uint8_t>();
  if ((flags & 1) != 0) state.Version.reset();
  if ((flags & 2) != 0) {
    fake::Language().Location.State = platform::UserLocation::Status::NoGeoId;
  }
  if ((flags & 4) != 0) state.LogFailure = {{input.ConsumeIntegralInRange<int>(1, 8), 5}};
  state.Processor.Architecture = input.ConsumeIntegral<std::uint16_t>();
  state.Processor.NumberOfProcessors = input.ConsumeIntegral<std::uint32_t>();
  const std::vector<std::uint8_t> choices = input.ConsumeBytes<std::uint8_t>(fuzz::kShellChoices);
  const std::string rest = input.ConsumeRemainingBytesAsString();

  std::vector<std::wstring> arguments = {L"Dorvanta"};
  std::size_t from = 0;
  while (true) {
    const std::size_t end = rest.find('\n', from);
    if (end == std::string::npos || end == from) {
      if (end != std::string::npos) ++from;
      break;
    }
    arguments.push_back(DecodeUtf8(std::string_view(rest).substr(from, end - from)));
    from = end + 1;
  }
  if ((flags & 8) == 0 && arguments.size() > 1) state.ExistingPaths.insert(arguments[1]);
  fuzz::FillShell(choices, arguments);

  const Profile profile(rest.substr(std::min(from, rest.size())));
  for (int number = 1; number <= 257; ++number) {
    for (const wchar_t* prefix : {L"CRITERIA", L"ACTION"}) {
      const std::wstring name = prefix + std::to_wstring(number);
      profile.VisitSection(name, [&](std::wstring_view line) {
        state.Sections[name].emplace_back(line);
        return true;
      });
    }
  }

  const int exitCode = RunApplication(arguments);
  fuzz::Check(exitCode == 0 || exitCode == 1, "the exit code is 0 or 1");
  // The console switch and the log path as the run reads them from a valid command line.
  bool verbose = false;
  std::optional<std::wstring> logPath;
  for (std::size_t i = 2; i < arguments.size(); ++i) {
    if (UpperAscii(arguments[i]) == L"/VERBOSE") {
      verbose = true;
    } else if (!logPath) {
      logPath = Trim(arguments[i]);
    }
  }
  const std::wstring log = logPath.value_or(std::wstring());
  const std::wstring logLine = L"Log output to " + log + L"\n\n";
  const std::size_t messages = state.Stdout.find(logLine);
  if (verbose && !log.empty() && !state.LogFailure && messages != std::wstring::npos) {
    const std::wstring header =
        std::wstring(kEqualsLine) + L"Dorvanta LOG:\n" + std::wstring(kEqualsLine);
    fuzz::Check(state.Files[log] == header + state.Stdout.substr(messages + logLine.size()),
                "the log holds every message of the console");
  }
  return 0;
}
