// dvtool run: Dorvanta's own run, with a run record and an exit code that tells
// what came of the actions.
#include "tool/RunCommand.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/Application.h"
#include "app/HelpTexts.h"
#include "common/Encoding.h"
#include "common/Sha256.h"
#include "common/Text.h"
#include "facts/FactSource.h"
#include "facts/FactsSnapshot.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "platform/Identity.h"
#include "platform/OutputFile.h"
#include "platform/ProcessExit.h"
#include "report/Format.h"
#include "tool/FactsDocument.h"
#include "tool/OutputGuard.h"
#include "tool/RunRecord.h"

namespace dorvanta::tool {
namespace {

// The rule file is hashed whole when it is no larger than this.
constexpr std::size_t kHashedIniLimit = std::size_t{64} * 1024 * 1024;

// The options that give a class its codes, indexed by RunClass.
constexpr std::array<std::wstring_view, kRunClassNames.size()> kCodeOptions{
    L"--success-codes", L"--reboot-required-codes", L"--reboot-initiated-codes", L"--retry-codes",
    L"--failure-codes"};

// dvtool's options taken out; the other words are the program's command line.
struct RunCommandLine {
  std::optional<std::wstring> Record;
  bool Codes = false;
  std::array<std::optional<std::wstring>, kCodeOptions.size()> CodeLists;
  std::optional<std::wstring> Host;
  std::optional<std::wstring> ActionTimeout;
  std::vector<std::wstring> ProgramWords;
  std::wstring Error;  // when the options are wrong
};

RunCommandLine TakeOptions(const std::vector<std::wstring>& words) {
  RunCommandLine line;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::wstring& word = words[i];
    if (word == L"--codes") {
      if (line.Codes) line.Error = L"option --codes is given twice";
      line.Codes = true;
      continue;
    }
    std::vector<std::pair<std::wstring_view, std::optional<std::wstring>*>> valued{
        {L"--record", &line.Record},
        {L"--host", &line.Host},
        {L"--action-timeout", &line.ActionTimeout}};
    for (std::size_t c = 0; c < kCodeOptions.size(); ++c) {
      valued.emplace_back(kCodeOptions[c], &line.CodeLists[c]);
    }
    bool taken = false;
    for (auto [name, value] : valued) {
      const std::wstring option(name);
      if (word != option && !word.starts_with(option + L"=")) continue;
      taken = true;
      if (value->has_value()) line.Error = Format(L"option %s is given twice", option);
      if (word.size() > option.size()) {
        *value = word.substr(option.size() + 1);
      } else if (i + 1 < words.size()) {
        *value = words[++i];
      } else {
        line.Error = Format(L"option %s needs a value", option);
      }
    }
    if (!taken) line.ProgramWords.push_back(word);
  }
  return line;
}

// The files of the program's command line that the record must never be: the
// rule file and every other word but the switch, the log among them.
std::vector<CommandInput> ProgramInputs(const std::vector<std::wstring>& programWords) {
  std::vector<CommandInput> inputs;
  for (std::size_t i = 0; i < programWords.size(); ++i) {
    if (i == 0) {
      inputs.push_back(CommandInput{programWords[i], L"the rule file"});
    } else if (UpperAscii(programWords[i]) != L"/VERBOSE") {
      inputs.push_back(CommandInput{Trim(programWords[i]), L"the log file"});
    }
  }
  return inputs;
}

// The longest --action-timeout: its milliseconds still fit a 32-bit count.
constexpr std::int64_t kLongestTimeout = 2147483;

// Whole seconds from 1 to kLongestTimeout; nothing for another word.
std::optional<std::chrono::seconds> ParseTimeout(const std::wstring& word) {
  if (word.empty() || word.size() > 7 ||
      !std::all_of(word.begin(), word.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
    return std::nullopt;
  }
  const std::int64_t seconds = std::stoll(word);
  if (seconds < 1 || seconds > kLongestTimeout) return std::nullopt;
  return std::chrono::seconds(seconds);
}

const OutputKind kRecordKind{L"a run record", &IsRecordStart};

// Writes the lines of the record to its file; after the first failure, which
// it tells on standard error, it writes no more, and the run goes on.
class RecordFile final : public RecordSink {
 public:
  RecordFile(std::wstring path, platform::OutputFile file)
      : path_(std::move(path)), file_(std::move(file)) {}

  void Append(std::string_view lines) override {
    if (file_) Check(platform::WriteOutputFile(*file_, lines));
  }

  void Sync() override {
    if (file_) Check(platform::SyncOutputFile(*file_));
  }

  static void Fail(const std::wstring& path, const std::wstring& reason) {
    platform::WriteStandardError(
        Format(L"dvtool run: cannot write the record %s: %s\n", path, reason));
  }

 private:
  void Check(const std::optional<std::wstring>& failure) {
    if (!failure) return;
    Fail(path_, *failure);
    file_.reset();
  }

  std::wstring path_;
  platform::OutputFile file_;
};

// The codes of each class the run counts by, every class named.
Json CodeClassesJson(const CodeClasses& classes) {
  Json byClass = Json::object();
  for (const std::string_view name : kRunClassNames) byClass[std::string(name)] = Json::array();
  for (const auto& [code, runClass] : classes)
    byClass[std::string(RunClassName(runClass))].push_back(code);
  return byClass;
}

// The host is the name the record reports: the one given with --host (such as
// the inventory's name for the machine), else the system's; the system's own
// name is written beside it.
Json StartFields(const RunCommandLine& line, const RunOptions& options) {
  const std::wstring iniPath =
      line.ProgramWords.empty() ? std::wstring() : line.ProgramWords.front();
  const platform::FileRead ini = platform::ReadWholeFile(iniPath, kHashedIniLimit);
  const std::wstring systemHost = platform::HostName();
  return Json{{"host", EncodeUtf8(line.Host.value_or(systemHost))},
              {"systemHost", EncodeUtf8(systemHost)},
              {"user", EncodeUtf8(platform::UserName())},
              {"program", EncodeUtf8(Format(L"dvtool %s", kProgramVersion))},
              {"ini", EncodeUtf8(iniPath)},
              {"iniSha256", ini.Bytes ? Json(Sha256Hex(*ini.Bytes)) : Json(nullptr)},
              {"codeClasses", CodeClassesJson(options.Classes)},
              {"facts", FactsToJson(CollectFacts(MachineFacts()))["facts"]}};
}

// The classes of the programs' codes: this system's, with the lists given put
// over them. A class other than success may be given no code at all (an empty list).
std::wstring TakeCodeLists(const RunCommandLine& line, RunOptions& options) {
  options.Classes = DefaultCodeClasses(options.ExitCodeBits);
  std::array<std::optional<CodeList>, kCodeOptions.size()> given;
  for (std::size_t c = 0; c < kCodeOptions.size(); ++c) {
    if (!line.CodeLists[c]) continue;
    const std::wstring& text = *line.CodeLists[c];
    const bool none = c != static_cast<std::size_t>(RunClass::Success) && Trim(text).empty();
    given[c] = none ? CodeList{} : ParseCodeList(text);
    if (!given[c]) {
      return Format(L"%s takes decimal codes separated by commas, not %s",
                    std::wstring(kCodeOptions[c]), text);
    }
  }
  const std::optional<CodeConflict> conflict = GiveCodeLists(options.Classes, given);
  if (!conflict) return {};
  return Format(L"code %s is in both %s and %s", std::to_wstring(conflict->Code),
                std::wstring(kCodeOptions[static_cast<std::size_t>(conflict->First)]),
                std::wstring(kCodeOptions[static_cast<std::size_t>(conflict->Second)]));
}

int RunRun(const Arguments& arguments) {
  RunCommandLine line = TakeOptions(arguments.Words);
  RunOptions options;
  options.Codes = line.Codes;
  options.ExitCodeBits = platform::ExitCodeBits();
  if (line.Error.empty()) line.Error = TakeCodeLists(line, options);
  std::optional<std::chrono::seconds> timeout;
  if (line.Error.empty() && line.ActionTimeout) {
    timeout = ParseTimeout(*line.ActionTimeout);
    if (!timeout) {
      line.Error = Format(L"--action-timeout takes whole seconds from 1 to %ld, not %s",
                          static_cast<std::int32_t>(kLongestTimeout), *line.ActionTimeout);
    }
  }
  if (line.Error.empty() && line.Host && line.Host->empty()) {
    line.Error = L"--host takes the name the record reports, not an empty one";
  }
  if (!line.Error.empty()) {
    const int usage = UsageError(L"run", line.Error);
    return line.Codes ? ClassExitCode(RunClass::Failure, options.ExitCodeBits) : usage;
  }

  std::optional<RecordFile> file;
  if (line.Record) {
    GuardedOutput output =
        OpenGuardedOutput(*line.Record, ProgramInputs(line.ProgramWords), kRecordKind);
    if (!output.Refusal.empty()) {
      platform::WriteStandardError(Format(L"dvtool run: refusing to write the record %s: %s\n",
                                          *line.Record, output.Refusal));
      return line.Codes ? ClassExitCode(RunClass::Failure, options.ExitCodeBits) : kExitUsage;
    }
    if (output.File) {
      file.emplace(*line.Record, std::move(output.File));
    } else {
      RecordFile::Fail(*line.Record, output.Failure);
    }
  }
  Machine machine(timeout);
  RunRecord record(file ? &*file : nullptr, options, machine);
  if (file) record.Started(StartFields(line, options));
  std::vector<std::wstring> programLine = std::move(line.ProgramWords);
  programLine.insert(programLine.begin(), L"dvtool run");
  return RunApplication(programLine, record, record,
                        [&record](int exitCode) { return record.Ended(exitCode); });
}

}  // namespace

const Command& RunCommand() {
  static const Command command{
      L"run",
      L"run a rule file as Dorvanta does, with a run record and exit-code classes",
      L"Usage: dvtool run <INI file> [<logfile>] [/VERBOSE] [--record FILE] [--codes]\n"
      L"                  [--success-codes LIST] [--reboot-required-codes LIST]\n"
      L"                  [--reboot-initiated-codes LIST] [--retry-codes LIST]\n"
      L"                  [--failure-codes LIST] [--host NAME]\n"
      L"                  [--action-timeout SECONDS]\n\n"
      L"Runs the rule file exactly as Dorvanta does (the same facts, walk and actions,\n"
      L"the same console and log output); the words other than the options below are\n"
      L"read as Dorvanta reads its command line, help switches included.\n\n"
      L"  --record FILE         write a run record to FILE: JSON Lines\n"
      L"                        (schema/record.schema.json), one line per event,\n"
      L"                        written whole, at the latest before the next action\n"
      L"                        starts; refused when FILE\n"
      L"                        is the rule file or the log, holds something other\n"
      L"                        than a record of dvtool's, or another run writes it\n"
      L"  --codes               the exit code tells what came of the run:\n"
      L"                          0     success\n"
      L"                          1     failure: an action could not start, a\n"
      L"                                waited-for program returned another code,\n"
      L"                                or the run itself failed\n"
      L"                          3010  reboot required (Linux: 10)\n"
      L"                          1641  reboot initiated (Linux: 11)\n"
      L"                          1618  retry later, another installation runs\n"
      L"                                (Linux: 12)\n"
      L"                        the first that applies of failure, retry later,\n"
      L"                        reboot initiated, reboot required, success\n"
      L"  --success-codes LIST  the exit codes of waited-for programs that count as\n"
      L"                        success, comma-separated (default: 0)\n"
      L"  --reboot-required-codes LIST, --reboot-initiated-codes LIST,\n"
      L"  --retry-codes LIST, --failure-codes LIST\n"
      L"                        the codes of each other class, comma-separated or\n"
      L"                        empty for none (default on Windows: 3010, 1641 and\n"
      L"                        1618; on Linux none); a list given replaces its\n"
      L"                        class's codes and takes its codes from the others,\n"
      L"                        and a code in two lists is an error. Any code in no\n"
      L"                        list is a failure\n"
      L"  --host NAME           the host name the record reports (such as the\n"
      L"                        inventory's name for the machine); the system's\n"
      L"                        own name stays in the record beside it\n"
      L"  --action-timeout SECONDS\n"
      L"                        a waited-for program still running after SECONDS\n"
      L"                        (1 to 2147483) is ended with every program it\n"
      L"                        started; its action is a failure, \"timed out\",\n"
      L"                        and the run goes on (default: no limit)\n\n"
      L"Exit codes: without --codes Dorvanta's (0 done, 1 usage or a fatal error);\n"
      L"2 when the options above are wrong or the record is refused (1 with --codes).\n",
      OptionSpec{},
      &RunRun,
      true};
  return command;
}

}  // namespace dorvanta::tool
