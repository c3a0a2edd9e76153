// dvtool summarize: the run records of many hosts as one fleet summary.
#include "tool/SummarizeCommand.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/Encoding.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "report/Format.h"
#include "tool/FactsDocument.h"
#include "tool/WalkJson.h"

namespace dorvanta::tool {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

// A record has a line per criteria line and action; anything much larger is no record.
constexpr std::size_t kRecordLimit = std::size_t{256} * 1024 * 1024;

// In the order of attention: the most severe first, success last.
enum class Result {
  Failure,
  Incomplete,
  Unreadable,
  RetryLater,
  RebootInitiated,
  RebootRequired,
  Success
};
constexpr std::array<std::string_view, 7> kResultNames{
    "failure",          "incomplete",      "unreadable", "retry-later",
    "reboot-initiated", "reboot-required", "success"};

std::string_view NameOf(Result result) { return kResultNames[static_cast<std::size_t>(result)]; }

std::optional<Result> ResultNamed(std::string_view name) {
  for (std::size_t i = 0; i < kResultNames.size(); ++i) {
    if (kResultNames[i] == name) return static_cast<Result>(i);
  }
  return std::nullopt;
}

struct FailedAction {
  std::int64_t Pair = 0;
  std::string Section;
  std::optional<std::string> Program;
  std::optional<std::int64_t> ExitCode;  // none: the action did not start
  std::optional<std::string> Reason;
};

struct HostRow {
  std::optional<std::string> Host;  // from run-start
  std::string File;
  Result Outcome = Result::Unreadable;
  std::optional<std::int64_t> PairsRun;
  std::vector<FailedAction> Failed;
  std::optional<std::int64_t> RunTimeMs;
  std::string Note;  // where an incomplete or unreadable record ends

  [[nodiscard]] std::string Name() const { return Host ? *Host : File; }
  [[nodiscard]] bool RebootNeeded() const {
    return Outcome == Result::RebootRequired || Outcome == Result::RebootInitiated;
  }
};

// Milliseconds since 1970 of a time stamp of the form 2026-12-09T08:31:29.123Z.
std::optional<std::int64_t> TimeMs(const std::string& text) {
  constexpr std::string_view kForm = "dddd-dd-ddTdd:dd:dd.dddZ";
  if (text.size() != kForm.size()) return std::nullopt;
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kForm[i] == 'd' ? !digit : text[i] != kForm[i]) return std::nullopt;
  }
  const auto number = [&](std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const std::chrono::year_month_day date{std::chrono::year{number(0, 4)},
                                         std::chrono::month{static_cast<unsigned>(number(5, 2))},
                                         std::chrono::day{static_cast<unsigned>(number(8, 2))}};
  const int hours = number(11, 2);
  const int minutes = number(14, 2);
  const int seconds = number(17, 2);
  if (!date.ok() || hours > 23 || minutes > 59 || seconds > 60) return std::nullopt;
  const std::int64_t days = std::chrono::sys_days{date}.time_since_epoch().count();
  return ((days * 24 + hours) * 60 + minutes) * 60000 + std::int64_t{seconds} * 1000 +
         number(20, 3);
}

bool IsInteger(const Json& value) { return value.is_number_integer(); }

// Why one line is not as the record's readers expect it, as far as the summary reads it.
std::optional<std::string> Problem(const Json& line) {
  if (!line.is_object()) return "not a JSON object";
  const auto event = line.find("event");
  if (event == line.end() || !event->is_string()) return "no \"event\"";
  const auto time = line.find("time");
  if (time == line.end() || !time->is_string() || !TimeMs(time->get<std::string>())) {
    return "no \"time\" in UTC with milliseconds";
  }
  const std::string name = event->get<std::string>();
  const auto field = [&](const char* key, bool (*valid)(const Json&)) {
    const auto found = line.find(key);
    return found != line.end() && valid(*found);
  };
  if (name == "run-start") {
    if (!field("host", [](const Json& v) { return v.is_string(); })) return "run-start: no host";
  } else if (name == "action") {
    if (!field("pair", IsInteger) ||
        !field("section", [](const Json& v) { return v.is_string(); }) ||
        !field("done", [](const Json& v) { return v.is_boolean(); }) ||
        !field("exitCode", [](const Json& v) { return v.is_null() || IsInteger(v); }) ||
        !field("reason", [](const Json& v) { return v.is_null() || v.is_string(); }) ||
        !field("request", [](const Json& v) { return v.is_null() || v.is_object(); })) {
      return "action: pair, section, done, exitCode, reason or request missing or mistyped";
    }
  } else if (name == "run-end") {
    const auto result = line.find("result");
    const std::optional<Result> named = result != line.end() && result->is_string()
                                            ? ResultNamed(result->get<std::string>())
                                            : std::nullopt;
    if (!named || named == Result::Incomplete || named == Result::Unreadable) {
      return "run-end: no result class";
    }
    if (!field("pairsRun", IsInteger) || !field("actionsFailed", IsInteger)) {
      return "run-end: no pairsRun or actionsFailed";
    }
  } else if (name != "criterion" && name != "pair" && name != "walk-end") {
    return "unknown event \"" + name + "\"";
  }
  return std::nullopt;
}

// A waited-for program's code that the class reports instead: reboot, retry later.
bool IsClassCode(std::int64_t code) {
  return code == 0 || code == 3010 || code == 1641 || code == 1618;
}

void ReadAction(const Json& line, HostRow& row) {
  const Json& code = line["exitCode"];
  const bool done = line["done"].get<bool>();
  if (done && (code.is_null() || IsClassCode(code.get<std::int64_t>()))) return;
  FailedAction failed;
  failed.Pair = line["pair"].get<std::int64_t>();
  failed.Section = line["section"].get<std::string>();
  const Json& request = line["request"];
  if (request.is_object() && request.contains("program") && request["program"].is_string()) {
    failed.Program = request["program"].get<std::string>();
  }
  if (!code.is_null()) failed.ExitCode = code.get<std::int64_t>();
  if (line["reason"].is_string()) failed.Reason = line["reason"].get<std::string>();
  row.Failed.push_back(std::move(failed));
}

// One line after another into a host's row.
class RecordReader {
 public:
  explicit RecordReader(std::string file) { row_.File = std::move(file); }

  // Why the line does not continue the record, if it does not.
  std::optional<std::string> Take(const Json& line) {
    if (std::optional<std::string> problem = Problem(line)) return problem;
    if (ended_) return "an event after run-end";
    const std::string event = line["event"].get<std::string>();
    const std::int64_t timeMs = *TimeMs(line["time"].get<std::string>());
    if ((event == "run-start") != !startMs_) {
      return startMs_ ? "a second run-start" : "the record does not begin with run-start";
    }
    if (event == "run-start") {
      row_.Host = line["host"].get<std::string>();
      startMs_ = timeMs;
    } else if (event == "action") {
      ReadAction(line, row_);
    } else if (event == "run-end") {
      ended_ = true;
      row_.Outcome = *ResultNamed(line["result"].get<std::string>());
      row_.PairsRun = line["pairsRun"].get<std::int64_t>();
      row_.RunTimeMs = timeMs - *startMs_;
      // Codes that --success-codes accepted, or that a platform's classes know
      // (Linux has its own small numbers), failed nothing.
      if (line["actionsFailed"].get<std::int64_t>() == 0) row_.Failed.clear();
    }
    return std::nullopt;
  }

  HostRow Unreadable(std::size_t number, const std::string& why) {
    row_.Outcome = Result::Unreadable;
    row_.Note = "line " + std::to_string(number) + ": " + why;
    return row_;
  }

  // The row after `lines` whole lines.
  HostRow End(std::size_t lines) {
    if (!startMs_) return Unreadable(1, "no run-start");
    if (!ended_) {
      row_.Outcome = Result::Incomplete;
      row_.Note = "no run-end after line " + std::to_string(lines);
    }
    return row_;
  }

 private:
  HostRow row_;
  std::optional<std::int64_t> startMs_;
  bool ended_ = false;
};

// The row of one record. A line that is not JSON or not a record's line makes the
// host unreadable from there; a record that ends without run-end (cut by a kill
// or a power loss, perhaps in the middle of its last line) is incomplete.
HostRow ReadRecord(std::string_view bytes, std::string file) {
  RecordReader reader(std::move(file));
  std::size_t number = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t end = bytes.find('\n', at);
    const bool whole = end != std::string_view::npos;
    std::string_view text = bytes.substr(at, whole ? end - at : std::string_view::npos);
    at = whole ? end + 1 : bytes.size();
    if (text.ends_with('\r')) text.remove_suffix(1);
    const Json line = Json::parse(text, nullptr, false);
    if (line.is_discarded() && !whole) break;  // the last line, cut while it was written
    ++number;
    if (line.is_discarded()) return reader.Unreadable(number, "not JSON");
    if (std::optional<std::string> problem = reader.Take(line)) {
      return reader.Unreadable(number, *problem);
    }
  }
  return reader.End(number);
}

std::string FailedText(const HostRow& row) {
  std::string text;
  for (const FailedAction& failed : row.Failed) {
    if (!text.empty()) text += ", ";
    text += failed.Section + " " +
            (failed.ExitCode ? std::to_string(*failed.ExitCode) : std::string("not started"));
  }
  return text;
}

std::string RunTimeText(const HostRow& row) {
  if (!row.RunTimeMs) return "";
  const std::int64_t ms = *row.RunTimeMs < 0 ? 0 : *row.RunTimeMs;
  std::string fraction = std::to_string(ms % 1000);
  fraction.insert(0, 3 - fraction.size(), '0');
  return std::to_string(ms / 1000) + "." + fraction + " s";
}

// Rows of cells as left-aligned columns two blanks apart, without trailing blanks.
std::wstring Table(const std::vector<std::vector<std::wstring>>& rows, std::wstring_view indent) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  std::wstring text;
  for (const auto& row : rows) {
    std::wstring line(indent);
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line.append(widths[i] - row[i].size() + 2, L' ');
    }
    while (!line.empty() && line.back() == L' ') line.pop_back();
    text += line + L"\n";
  }
  return text;
}

std::vector<const HostRow*> Attention(const std::vector<HostRow>& rows) {
  std::vector<const HostRow*> hosts;
  for (const HostRow& row : rows) {
    if (row.Outcome != Result::Success) hosts.push_back(&row);
  }
  std::stable_sort(hosts.begin(), hosts.end(),
                   [](const HostRow* a, const HostRow* b) { return a->Outcome < b->Outcome; });
  return hosts;
}

std::array<std::size_t, kResultNames.size()> Totals(const std::vector<HostRow>& rows) {
  std::array<std::size_t, kResultNames.size()> totals{};
  for (const HostRow& row : rows) ++totals[static_cast<std::size_t>(row.Outcome)];
  return totals;
}

std::wstring Wide(std::string_view utf8) { return DecodeUtf8(utf8); }

std::wstring SummaryText(const std::vector<HostRow>& rows) {
  std::vector<std::vector<std::wstring>> table{
      {L"HOST", L"RESULT", L"PAIRS RUN", L"FAILED ACTIONS", L"REBOOT", L"RUN TIME"}};
  for (const HostRow& row : rows) {
    const std::string failed = FailedText(row);
    const std::string runTime = RunTimeText(row);
    table.push_back({Wide(row.Name()), Wide(NameOf(row.Outcome)),
                     row.PairsRun ? std::to_wstring(*row.PairsRun) : L"-",
                     failed.empty() ? L"-" : Wide(failed), row.RebootNeeded() ? L"yes" : L"no",
                     runTime.empty() ? L"-" : Wide(runTime)});
  }
  std::wstring text = Table(table, L"");
  const auto totals = Totals(rows);
  text += L"\nHosts: " + std::to_wstring(rows.size());
  const wchar_t* separator = L";";
  for (std::size_t i = kResultNames.size(); i-- > 0;) {
    if (totals[i] == 0) continue;
    text += Format(L"%s %s %s", separator, Wide(kResultNames[i]), std::to_wstring(totals[i]));
    separator = L",";
  }
  const std::vector<const HostRow*> attention = Attention(rows);
  if (attention.empty()) return text + L"\n\nNo host needs attention.\n";
  std::vector<std::vector<std::wstring>> first;
  first.reserve(attention.size());
  for (const HostRow* row : attention) {
    first.push_back({Wide(row->Name()), Wide(NameOf(row->Outcome)),
                     Wide(row->Note.empty() ? FailedText(*row) : row->Note)});
  }
  return text + L"\n\nAttention first:\n" + Table(first, L"  ");
}

OrderedJson HostJson(const HostRow& row) {
  OrderedJson failed = OrderedJson::array();
  for (const FailedAction& action : row.Failed) {
    failed.push_back({{"pair", action.Pair},
                      {"section", action.Section},
                      {"program", action.Program ? OrderedJson(*action.Program) : nullptr},
                      {"exitCode", action.ExitCode ? OrderedJson(*action.ExitCode) : nullptr},
                      {"reason", action.Reason ? OrderedJson(*action.Reason) : nullptr}});
  }
  return {{"host", row.Host ? OrderedJson(*row.Host) : nullptr},
          {"file", row.File},
          {"result", NameOf(row.Outcome)},
          {"pairsRun", row.PairsRun ? OrderedJson(*row.PairsRun) : nullptr},
          {"failedActions", failed},
          {"rebootNeeded", row.RebootNeeded()},
          {"runTimeMs", row.RunTimeMs ? OrderedJson(*row.RunTimeMs) : nullptr},
          {"note", row.Note.empty() ? nullptr : OrderedJson(row.Note)}};
}

OrderedJson SummaryJson(const std::vector<HostRow>& rows) {
  OrderedJson hosts = OrderedJson::array();
  for (const HostRow& row : rows) hosts.push_back(HostJson(row));
  OrderedJson totals{{"hosts", rows.size()}};
  const auto counts = Totals(rows);
  for (std::size_t i = kResultNames.size(); i-- > 0;)
    totals[std::string(kResultNames[i])] = counts[i];
  OrderedJson attention = OrderedJson::array();
  for (const HostRow* row : Attention(rows)) {
    attention.push_back({{"host", row->Host ? OrderedJson(*row->Host) : nullptr},
                         {"file", row->File},
                         {"result", NameOf(row->Outcome)}});
  }
  return {{"version", 1}, {"hosts", hosts}, {"totals", totals}, {"attention", attention}};
}

// A field quoted when it holds a comma, a quote or a line end, its quotes doubled.
std::string CsvField(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string SummaryCsv(const std::vector<HostRow>& rows) {
  std::string text = "host,file,result,pairs_run,failed_actions,reboot_needed,run_time_ms,note\n";
  for (const HostRow& row : rows) {
    const std::array<std::string, 8> fields{row.Host.value_or(""),
                                            row.File,
                                            std::string(NameOf(row.Outcome)),
                                            row.PairsRun ? std::to_string(*row.PairsRun) : "",
                                            FailedText(row),
                                            row.RebootNeeded() ? "yes" : "no",
                                            row.RunTimeMs ? std::to_string(*row.RunTimeMs) : "",
                                            row.Note};
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i != 0) text += ',';
      text += CsvField(fields[i]);
    }
    text += '\n';
  }
  return text;
}

int RunSummarize(const Arguments& arguments) {
  if (arguments.Words.empty()) return UsageError(L"summarize", L"which record files?");
  if (arguments.Has(L"--json") && arguments.Has(L"--csv")) {
    return UsageError(L"summarize", L"--json or --csv, not both");
  }
  std::vector<HostRow> rows;
  for (const std::wstring& file : arguments.Words) {
    const platform::FileRead read = platform::ReadWholeFile(file, kRecordLimit);
    if (!read.Bytes) {
      platform::WriteStandardError(
          Format(L"dvtool summarize: cannot read the record %s: %s\n", file, read.Failure));
      return kExitUsage;
    }
    rows.push_back(ReadRecord(*read.Bytes, EncodeUtf8(file)));
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const HostRow& a, const HostRow& b) { return a.Name() < b.Name(); });
  if (arguments.Has(L"--json")) {
    platform::WriteStandardOutputBytes(JsonText(SummaryJson(rows)));
  } else if (arguments.Has(L"--csv")) {
    platform::WriteStandardOutputBytes(SummaryCsv(rows));
  } else {
    platform::WriteStandardOutput(SummaryText(rows));
  }
  return kExitOk;
}

}  // namespace

const Command& SummarizeCommand() {
  static const Command command{
      L"summarize", L"summarize the run records of many hosts",
      L"Usage: dvtool summarize <record file>... [--json | --csv]\n\n"
      L"Reads the records written by 'dvtool run --record' and shows one row per host:\n"
      L"its result class, the pairs whose actions ran, the actions that failed with\n"
      L"their exit codes (a reboot or retry code is told by the class), whether it needs\n"
      L"a reboot, and the time from run start to run end. Then the hosts per class, and\n"
      L"the hosts that need attention first: failure, incomplete (a record without its\n"
      L"run end, cut by a kill or a power loss), unreadable (a line that is no record\n"
      L"line), retry-later, reboot-initiated, reboot-required; by that order, then host.\n\n"
      L"  --json    a JSON document (schema/summary.schema.json), UTF-8\n"
      L"  --csv     the rows as CSV with a header line, UTF-8\n\n"
      L"Exit codes: 0 written, whatever the hosts' results; 2 usage error or a record\n"
      L"file could not be read.\n",
      OptionSpec{{L"--json", L"--csv"}, {}}, &RunSummarize};
  return command;
}

}  // namespace dorvanta::tool
