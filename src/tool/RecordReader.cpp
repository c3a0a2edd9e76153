#include "tool/RecordReader.h"

#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

#include <nlohmann/json.hpp>

#include "tool/WalkJson.h"

namespace dorvanta::tool {
namespace {

using Json = nlohmann::json;

// The record versions this reader knows; a record without a version is of the first.
constexpr std::int64_t kFirstMajor = 1;
constexpr std::int64_t kLastMajor = FormOf(DocumentKind::Record).Major;
constexpr std::int64_t kPairLimit = 256;

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

// An integer from `low` to `high`; a JSON number of any kind outside them is not.
bool IntegerIn(const Json& value, std::int64_t low, std::int64_t high) {
  if (value.is_number_unsigned()) {
    const auto number = value.get<std::uint64_t>();
    return high >= 0 && number <= static_cast<std::uint64_t>(high) &&
           (low <= 0 || number >= static_cast<std::uint64_t>(low));
  }
  if (!value.is_number_integer()) return false;
  const auto number = value.get<std::int64_t>();
  return number >= low && number <= high;
}

bool IsPair(const Json& v) { return IntegerIn(v, 1, kPairLimit); }
bool IsPairCount(const Json& v) { return IntegerIn(v, 0, kPairLimit); }
bool IsCount(const Json& v) { return IntegerIn(v, 0, std::numeric_limits<std::int64_t>::max()); }
bool IsString(const Json& v) { return v.is_string(); }
// A waited-for program's code: 32 bits, unsigned as written, signed as some readers show it.
bool IsExitCode(const Json& v) {
  return v.is_null() || IntegerIn(v, std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::uint32_t>::max());
}
bool IsClass(const Json& v) {
  return v.is_string() && RunClassNamed(v.get<std::string>()).has_value();
}

// Whether `line` has `key` and its value is valid; `optional` keys may be missing.
bool Field(const Json& line, const char* key, bool (*valid)(const Json&), bool optional = false) {
  const auto found = line.find(key);
  return found == line.end() ? optional : valid(*found);
}

// The version of the run-start line, {1, 0} when it names none; why not, when it
// is no version or one this reader does not know.
std::optional<std::string> VersionProblem(const Json& line, std::int64_t& major) {
  major = kFirstMajor;
  const auto kind = line.find("kind");
  if (kind != line.end() && *kind != "record") return "run-start: the document is no record";
  const auto version = line.find("version");
  if (version == line.end()) return std::nullopt;
  if (!version->is_object() || !Field(*version, "major", IsCount) ||
      !Field(*version, "minor", IsCount)) {
    return "run-start: the version is no major and minor number";
  }
  major = (*version)["major"].get<std::int64_t>();
  if (major >= kFirstMajor && major <= kLastMajor) return std::nullopt;
  return "record version " + std::to_string(major) + "." +
         std::to_string((*version)["minor"].get<std::int64_t>()) + ", this dvtool reads versions " +
         std::to_string(kFirstMajor) + " to " + std::to_string(kLastMajor);
}

// Why one line is not as a record of version `major` has it, as far as the summary reads it.
std::optional<std::string> Problem(const Json& line, std::int64_t major) {
  if (!line.is_object()) return "not a JSON object";
  const auto event = line.find("event");
  if (event == line.end() || !event->is_string()) return "no \"event\"";
  const auto time = line.find("time");
  if (time == line.end() || !time->is_string() || !TimeMs(time->get<std::string>())) {
    return "no \"time\" in UTC with milliseconds";
  }
  const std::string name = event->get<std::string>();
  if (name == "run-start") {
    if (!Field(line, "host", IsString)) return "run-start: no host";
  } else if (name == "action") {
    if (!Field(line, "pair", IsPair) || !Field(line, "section", IsString) ||
        !Field(line, "done", [](const Json& v) { return v.is_boolean(); }) ||
        !Field(line, "exitCode", IsExitCode) ||
        !Field(line, "reason", [](const Json& v) { return v.is_null() || v.is_string(); }) ||
        !Field(line, "request", [](const Json& v) { return v.is_null() || v.is_object(); }) ||
        !Field(line, "class", IsClass, major == kFirstMajor)) {
      return "action: pair, section, done, exitCode, reason, request or class missing or "
             "out of range";
    }
  } else if (name == "run-end") {
    if (!Field(line, "result", IsClass)) return "run-end: no result class";
    if (!Field(line, "pairsRun", IsPairCount) || !Field(line, "actionsFailed", IsCount)) {
      return "run-end: pairsRun or actionsFailed missing or out of range";
    }
  } else if (major == kFirstMajor && name != "criterion" && name != "pair" && name != "walk-end") {
    // A later version may add events; the first has these alone.
    return "unknown event \"" + name + "\"";
  }
  return std::nullopt;
}

// A waited-for program's code that a class other than failure reports in a
// record that does not name each action's class: 0, reboot, retry later.
bool IsClassCode(std::int64_t code) {
  return code == 0 || code == 3010 || code == 1641 || code == 1618;
}

// The beginning of a text value that `limits` keep.
std::string Kept(const Json& text, const ReadLimits& limits) {
  return text.get_ref<const std::string&>().substr(0, limits.TextBytes);
}

void ReadAction(const Json& line, HostRow& row, const ReadLimits& limits) {
  const Json& code = line["exitCode"];
  if (line.contains("class")) {
    if (line["class"] != RunClassName(RunClass::Failure)) return;
  } else if (line["done"].get<bool>() &&
             (code.is_null() || IsClassCode(code.get<std::int64_t>()))) {
    return;
  }
  if (row.Failed.size() >= limits.FailedActions) return;
  FailedAction failed;
  failed.Pair = line["pair"].get<std::int64_t>();
  failed.Section = Kept(line["section"], limits);
  const Json& request = line["request"];
  if (request.is_object() && request.contains("program") && request["program"].is_string()) {
    failed.Program = Kept(request["program"], limits);
  }
  if (!code.is_null()) failed.ExitCode = code.get<std::int64_t>();
  if (line["reason"].is_string()) failed.Reason = Kept(line["reason"], limits);
  row.Failed.push_back(std::move(failed));
}

// The machine's vendor and model from run-start's facts, where their sources
// gave a text (a failed one is an object with its error).
void ReadProduct(const Json& start, HostRow& row, const ReadLimits& limits) {
  const auto facts = start.find("facts");
  if (facts == start.end() || !facts->is_object()) return;
  const auto text = [&](const char* key) -> std::optional<std::string> {
    const auto fact = facts->find(key);
    if (fact == facts->end() || !fact->is_string()) return std::nullopt;
    return Kept(*fact, limits);
  };
  row.DmiVendor = text("DMIVendor");
  row.DmiMachineType = text("DMIMachineType");
}

// One line after another into a host's row.
class LineReader {
 public:
  LineReader(std::string file, const ReadLimits& limits) : limits_(limits) {
    row_.File = std::move(file);
  }

  // Why the line does not continue the record, if it does not.
  std::optional<std::string> Take(const Json& line) {
    if (!startMs_ && line.is_object() && line.value("event", Json()) == "run-start") {
      if (std::optional<std::string> problem = VersionProblem(line, major_)) return problem;
    }
    if (std::optional<std::string> problem = Problem(line, major_)) return problem;
    if (ended_) return "an event after run-end";
    const std::string event = line["event"].get<std::string>();
    const std::int64_t timeMs = *TimeMs(line["time"].get<std::string>());
    if ((event == "run-start") != !startMs_) {
      return startMs_ ? "a second run-start" : "the record does not begin with run-start";
    }
    if (event == "run-start") {
      row_.Host = Kept(line["host"], limits_);
      row_.Start = line["time"].get<std::string>();
      row_.StartMs = timeMs;
      const auto hash = line.find("iniSha256");
      if (hash != line.end() && hash->is_string()) row_.IniSha256 = Kept(*hash, limits_);
      ReadProduct(line, row_, limits_);
      startMs_ = timeMs;
    } else if (event == "action") {
      ReadAction(line, row_, limits_);
    } else if (event == "run-end") {
      ended_ = true;
      row_.Result = StandingOf(*RunClassNamed(line["result"].get<std::string>()));
      row_.PairsRun = line["pairsRun"].get<std::int64_t>();
      row_.RunTimeMs = timeMs - *startMs_;
      // A record without action classes: codes that --success-codes accepted, or
      // that a platform's classes know (Linux has its own small numbers), failed nothing.
      if (line["actionsFailed"].get<std::int64_t>() == 0) row_.Failed.clear();
    }
    return std::nullopt;
  }

  HostRow Unreadable(std::size_t number, const std::string& why) {
    row_.Result = Standing::Unreadable;
    row_.PairsRun.reset();
    row_.RunTimeMs.reset();
    row_.Failed.clear();
    row_.Note = ("line " + std::to_string(number) + ": " + why).substr(0, limits_.TextBytes);
    return std::move(row_);
  }

  // The row after `lines` whole lines.
  HostRow End(std::size_t lines) {
    if (!startMs_) return Unreadable(1, "no run-start");
    if (!ended_) {
      row_.Result = Standing::Incomplete;
      row_.Note = "no run-end after line " + std::to_string(lines);
    }
    return std::move(row_);
  }

 private:
  ReadLimits limits_;
  HostRow row_;
  std::int64_t major_ = kFirstMajor;
  std::optional<std::int64_t> startMs_;
  bool ended_ = false;
};

}  // namespace

HostRow ReadRecord(std::string_view bytes, std::string file, const ReadLimits& limits) {
  LineReader reader(std::move(file), limits);
  std::size_t number = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t end = bytes.find('\n', at);
    const bool whole = end != std::string_view::npos;
    std::string_view text = bytes.substr(at, whole ? end - at : std::string_view::npos);
    at = whole ? end + 1 : bytes.size();
    if (text.ends_with('\r')) text.remove_suffix(1);
    const nlohmann::json line = nlohmann::json::parse(text, nullptr, false);
    if (line.is_discarded() && !whole) break;  // the last line, cut while it was written
    ++number;
    if (line.is_discarded()) return reader.Unreadable(number, "not JSON");
    if (std::optional<std::string> problem = reader.Take(line)) {
      return reader.Unreadable(number, *problem);
    }
  }
  return reader.End(number);
}

}  // namespace dorvanta::tool
