// dvtool summarize: the run records of many hosts as one fleet summary.
#include "tool/SummarizeCommand.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "common/Encoding.h"
#include "common/Text.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "platform/OutputFile.h"
#include "report/Format.h"
#include "tool/OutputGuard.h"
#include "tool/RecordReader.h"
#include "tool/SummaryPage.h"
#include "tool/SummaryWriters.h"

namespace dorvanta::tool {
namespace {

// A record has a line per criteria line and action; anything much larger is no record.
constexpr std::size_t kRecordLimit = std::size_t{256} * 1024 * 1024;
// A list of paths or host names, one a line.
constexpr std::size_t kListLimit = std::size_t{64} * 1024 * 1024;

// What a command line word or a list file's line names: a record, or the
// records (*.jsonl) of a folder; why not, when it cannot be read.
struct Gathered {
  std::vector<HostRow> Rows;
  std::vector<CommandInput> Inputs;  // every file read, which no output may be
  std::wstring Failure;
};

bool GatherPath(const std::wstring& path, const ReadLimits& limits, Gathered& gathered) {
  std::vector<std::wstring> files{path};
  if (platform::IsFolder(path)) {
    platform::FolderFiles listing = platform::ListFolderFiles(path, L".jsonl");
    if (!listing.Files) {
      gathered.Failure = Format(L"cannot list the folder %s: %s", path, listing.Failure);
      return false;
    }
    files = listing.Files->Paths();
  }
  for (const std::wstring& file : files) {
    const platform::FileRead read = platform::ReadWholeFile(file, kRecordLimit);
    if (!read.Bytes) {
      gathered.Failure = Format(L"cannot read the record %s: %s", file, read.Failure);
      return false;
    }
    gathered.Rows.push_back(ReadRecord(*read.Bytes, EncodeUtf8(file), limits));
    gathered.Inputs.push_back(CommandInput{file, L"a record"});
  }
  return true;
}

// The lines of a list file without their line ends, blank lines left out;
// nothing when it cannot be read (`failure` says why).
std::optional<std::vector<std::wstring>> ReadList(const std::wstring& file, std::wstring& failure) {
  const platform::FileRead read = platform::ReadWholeFile(file, kListLimit);
  if (!read.Bytes) {
    failure = Format(L"cannot read the list %s: %s", file, read.Failure);
    return std::nullopt;
  }
  std::vector<std::wstring> lines;
  std::string_view bytes = *read.Bytes;
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);  // Notepad's byte order mark
  while (!bytes.empty()) {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size());
    std::wstring line = Trim(DecodeUtf8(bytes.substr(0, end)));
    if (!line.empty()) lines.push_back(std::move(line));
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
  }
  return lines;
}

// Every word a record file, a folder of them, or @ and a file that lists them.
bool Gather(const std::vector<std::wstring>& words, const ReadLimits& limits, Gathered& gathered) {
  for (const std::wstring& word : words) {
    if (!word.starts_with(L'@')) {
      if (!GatherPath(word, limits, gathered)) return false;
      continue;
    }
    const std::optional<std::vector<std::wstring>> paths =
        ReadList(word.substr(1), gathered.Failure);
    if (!paths) return false;
    gathered.Inputs.push_back(CommandInput{word.substr(1), L"a list of records"});
    for (const std::wstring& path : *paths) {
      if (!GatherPath(path, limits, gathered)) return false;
    }
  }
  return true;
}

// The names of --expect: comma-separated, or @ and a file with one a line.
std::optional<std::vector<std::wstring>> ExpectedHosts(const std::wstring& value,
                                                       std::wstring& failure) {
  if (value.starts_with(L'@')) return ReadList(value.substr(1), failure);
  std::vector<std::wstring> names;
  std::size_t start = 0;
  while (start <= value.size()) {
    const std::size_t comma = std::min(value.find(L',', start), value.size());
    std::wstring name = Trim(std::wstring_view(value).substr(start, comma - start));
    if (!name.empty()) names.push_back(std::move(name));
    start = comma + 1;
  }
  return names;
}

// A row "no record" for every expected host that no record names (host names
// match in any letter case, as the network's names do).
void AddMissing(const std::vector<std::wstring>& expected, std::vector<HostRow>& rows) {
  std::unordered_set<std::string> named;
  for (const HostRow& row : rows) {
    if (row.Host) named.insert(HostKey(*row.Host));
  }
  for (const std::wstring& name : expected) {
    std::string host = EncodeUtf8(name);
    if (!named.insert(HostKey(host)).second) continue;
    HostRow missing;
    missing.Host = std::move(host);
    missing.Result = Standing::NoRecord;
    rows.push_back(std::move(missing));
  }
}

const OutputKind kPageKind{L"a summary page", &IsSummaryPage};

// Writes the page to `file`, unless it is one of `inputs` or holds something
// else; why not, when it was not written.
std::optional<std::wstring> WritePage(const std::wstring& file,
                                      const std::vector<CommandInput>& inputs,
                                      const std::string& page) {
  GuardedOutput output = OpenGuardedOutput(file, inputs, kPageKind);
  if (!output.Refusal.empty()) return Format(L"refusing to write %s: %s", file, output.Refusal);
  std::optional<std::wstring> failure = std::move(output.Failure);
  if (output.File) failure = platform::WriteOutputFile(*output.File, page);
  if (failure) return Format(L"cannot write %s: %s", file, *failure);
  return std::nullopt;
}

int Failed(const std::wstring& why) {
  platform::WriteStandardError(L"dvtool summarize: " + why + L"\n");
  return kExitUsage;
}

// The results of --fail-on: names of results, comma-separated; nothing when a
// word is no result's name.
std::optional<std::set<Standing>> FailOn(const std::wstring& value) {
  std::set<Standing> results;
  std::size_t start = 0;
  while (start <= value.size()) {
    const std::size_t comma = std::min(value.find(L',', start), value.size());
    const std::optional<Standing> result =
        StandingNamed(EncodeUtf8(Trim(std::wstring_view(value).substr(start, comma - start))));
    if (!result) return std::nullopt;
    results.insert(*result);
    start = comma + 1;
  }
  return results;
}

int RunSummarize(const Arguments& arguments) {
  const std::optional<std::wstring> expect = arguments.Value(L"--expect");
  if (arguments.Words.empty() && !expect) {
    return UsageError(L"summarize", L"which record files?");
  }
  if (arguments.Has(L"--json") && arguments.Has(L"--csv")) {
    return UsageError(L"summarize", L"--json or --csv, not both");
  }
  std::set<Standing> failOn;
  if (const std::optional<std::wstring> value = arguments.Value(L"--fail-on")) {
    std::optional<std::set<Standing>> results = FailOn(*value);
    if (!results) {
      return UsageError(L"summarize", Format(L"--fail-on takes results separated by commas "
                                             L"(as the summary names them), not %s",
                                             *value));
    }
    failOn = std::move(*results);
  }
  const std::optional<std::wstring> html = arguments.Value(L"--html");
  // The text shows the beginnings of long texts alone, and keeps no more.
  const bool text = !arguments.Has(L"--json") && !arguments.Has(L"--csv");
  Gathered gathered;
  if (!Gather(arguments.Words, text && !html ? TextLimits() : ReadLimits{}, gathered)) {
    return Failed(gathered.Failure);
  }
  const std::vector<HostRow> older = KeepNewest(gathered.Rows);
  if (expect) {
    const std::optional<std::vector<std::wstring>> names = ExpectedHosts(*expect, gathered.Failure);
    if (!names) return Failed(gathered.Failure);
    if (names->empty()) return UsageError(L"summarize", L"--expect names no host");
    if (expect->starts_with(L'@')) {
      gathered.Inputs.push_back(CommandInput{expect->substr(1), L"the list of expected hosts"});
    }
    AddMissing(*names, gathered.Rows);
  }
  std::vector<HostRow>& rows = gathered.Rows;
  std::stable_sort(rows.begin(), rows.end(),
                   [](const HostRow& a, const HostRow& b) { return a.Name() < b.Name(); });
  if (html) {
    if (const std::optional<std::wstring> failure =
            WritePage(*html, gathered.Inputs, SummaryPage(rows, older))) {
      return Failed(*failure);
    }
  }
  if (arguments.Has(L"--json")) {
    platform::WriteStandardOutputBytes(SummaryJson(rows, older));
  } else if (arguments.Has(L"--csv")) {
    platform::WriteStandardOutputBytes(SummaryCsv(rows));
  } else {
    platform::WriteStandardOutput(SummaryText(rows, older));
  }
  const bool failed = std::any_of(rows.begin(), rows.end(),
                                  [&](const HostRow& row) { return failOn.contains(row.Result); });
  return failed ? kExitFindings : kExitOk;
}

}  // namespace

const Command& SummarizeCommand() {
  static const Command command{
      L"summarize", L"summarize the run records of many hosts",
      L"Usage: dvtool summarize <record>... [--expect NAMES | --expect @FILE] [--json | --csv]\n"
      L"                        [--fail-on RESULTS] [--html FILE]\n\n"
      L"Reads the records written by 'dvtool run --record' and shows one row per host:\n"
      L"its result class, the pairs whose actions ran, the actions that failed with\n"
      L"their exit codes (a reboot or retry code is told by the class), whether it needs\n"
      L"a reboot, the time from run start to run end, the run's start and its rule\n"
      L"file's SHA-256 (the text shows its first 12 digits). Of a host's records the\n"
      L"newest by start alone is a row; the older ones are counted and named. Then the\n"
      L"hosts per class, all and per rule file, and the hosts that need attention\n"
      L"first: failure, incomplete (a record without its run end, cut by a kill or a\n"
      L"power loss), no record (an expected host without one), unreadable (a line that\n"
      L"is no record line, or a value no record holds), retry-later, reboot-initiated,\n"
      L"reboot-required; by that order, then host.\n\n"
      L"Each <record> is a record file, a folder (its *.jsonl files), or @FILE: a file\n"
      L"that names records and folders, one a line.\n\n"
      L"  --expect NAMES  the hosts that should have a record, comma-separated, or\n"
      L"                  @FILE with one a line; one without a record is a row of its\n"
      L"                  own, 'no record'\n"
      L"  --json          a JSON document (schema/summary.schema.json), UTF-8\n"
      L"  --csv           the rows as CSV with a header line, UTF-8; a cell that a\n"
      L"                  spreadsheet would take for a formula begins with '\n"
      L"  --fail-on RESULTS\n"
      L"                  exit code 1 when a host's result is one of RESULTS, names\n"
      L"                  as the summary writes them, comma-separated (such as\n"
      L"                  \"failure,incomplete,no record,unreadable\")\n"
      L"  --html FILE     also write the summary as one HTML page to FILE: the results\n"
      L"                  as a bar, the hosts that need attention, the results by\n"
      L"                  model (DMIVendor, DMIMachineType) and by rule file with its\n"
      L"                  first and last start, and every host; self-contained, no\n"
      L"                  script, every text of a record escaped. An existing FILE\n"
      L"                  is replaced only when it is empty or such a page of\n"
      L"                  dvtool's, never when it is one of the inputs\n\n"
      L"The text shows control characters of the hosts' texts escaped (\\x1b, \\n) and\n"
      L"cuts long cells with '...'; --json and --csv hold them whole, the page whole\n"
      L"and escaped as the text does.\n\n"
      L"Exit codes: 0 written (without --fail-on whatever the hosts' results); 1\n"
      L"written, and a host has a result that --fail-on names; 2 usage error, a\n"
      L"record, folder or list could not be read, or the page was refused or not\n"
      L"written (then nothing is written to standard output).\n",
      OptionSpec{{L"--json", L"--csv"}, {L"--expect", L"--fail-on", L"--html"}}, &RunSummarize};
  return command;
}

}  // namespace dorvanta::tool
