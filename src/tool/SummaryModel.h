// What dvtool summarize knows of each host, read from its run record or from
// the list of hosts expected, and the fleet's totals and attention list.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tool/RunClass.h"

namespace dorvanta::tool {

// A host's result: its run's class, or why there is none. In the order of
// attention: the most severe first, success last.
enum class Standing {
  Failure,
  Incomplete,  // the record has no run-end (cut by a kill or a power loss)
  NoRecord,    // an expected host without a record
  Unreadable,  // a line is no record line
  RetryLater,
  RebootInitiated,
  RebootRequired,
  Success
};
inline constexpr std::size_t kStandingCount = 8;

Standing StandingOf(RunClass runClass);
std::string_view StandingName(Standing standing);
// The result of that name; nothing for any other text.
std::optional<Standing> StandingNamed(std::string_view name);

struct FailedAction {
  std::int64_t Pair = 0;
  std::string Section;
  std::optional<std::string> Program;
  std::optional<std::int64_t> ExitCode;  // none: the action did not start
  std::optional<std::string> Reason;
};

// One host: a record file, or an expected host that has none (no file).
struct HostRow {
  std::optional<std::string> Host;  // from run-start, or as expected
  std::optional<std::string> File;
  Standing Result = Standing::Unreadable;
  std::optional<std::int64_t> PairsRun;
  std::vector<FailedAction> Failed;
  std::optional<std::int64_t> RunTimeMs;
  std::optional<std::string> Start;      // run-start's time, as the record writes it
  std::optional<std::int64_t> StartMs;   // the same in milliseconds since 1970
  std::optional<std::string> IniSha256;  // of the rule file, from run-start
  // The machine's product, from run-start's facts: none when the record has no
  // such fact or its source failed.
  std::optional<std::string> DmiVendor;
  std::optional<std::string> DmiMachineType;
  std::string Note;  // where an incomplete or unreadable record ends

  [[nodiscard]] std::string_view Name() const {
    if (Host) return *Host;
    return File ? std::string_view(*File) : std::string_view();
  }
  [[nodiscard]] bool RebootNeeded() const {
    return Result == Standing::RebootRequired || Result == Standing::RebootInitiated;
  }
};

// How much of a record a row keeps: all of it for the documents, the
// beginnings for the text summary, whose columns show no more.
struct ReadLimits {
  std::size_t TextBytes = std::string::npos;  // of a host, section, program, reason, note
  std::size_t FailedActions = std::string::npos;
};

// The failed actions as "ACTION2 1603, ACTION2 not started"; past `limit`
// bytes the text ends early, a little longer than `limit`.
std::string FailedText(const HostRow& row, std::size_t limit = std::string::npos);

// Why a host needs attention: where its incomplete or unreadable record ends,
// else its failed actions (FailedText, `limit` alike).
std::string AttentionText(const HostRow& row, std::size_t limit = std::string::npos);

// The time from run start to run end as "12.179 s"; empty when the row has none.
std::string RunTimeText(const HostRow& row);

// A rule file's hash as the summaries show it beside each host: its beginning,
// enough to tell versions apart.
inline constexpr std::size_t kShortHashDigits = 12;

// How many hosts have each result, by Standing.
std::array<std::size_t, kStandingCount> Totals(const std::vector<HostRow>& rows);

// A host's name as hosts are told apart: in any letter case, as the network's
// names are (A to Z as a to z; other bytes as they are).
std::string HostKey(std::string_view host);

// Keeps the newest record of each host (named alike in any letter case) by its
// start, of two alike the one given later, and returns the others in their
// order. A row without a host or a start (an expected host, a record that is
// unreadable from its first line) is kept.
std::vector<HostRow> KeepNewest(std::vector<HostRow>& rows);

// The hosts of one rule file (by its hash; none: the records that name none),
// and the earliest and the latest start of their runs, as the records write them.
struct RuleFileTotals {
  std::optional<std::string> IniSha256;
  std::size_t Hosts = 0;
  std::array<std::size_t, kStandingCount> Counts{};
  std::optional<std::string> FirstStart;
  std::optional<std::string> LastStart;
  std::optional<std::int64_t> FirstStartMs;
  std::optional<std::int64_t> LastStartMs;

  [[nodiscard]] bool Known() const { return IniSha256.has_value(); }
};

// The totals per rule file, the one with the most hosts first, then by hash,
// the hosts without one last.
std::vector<RuleFileTotals> TotalsByRuleFile(const std::vector<HostRow>& rows);

// The hosts of one product (DMIVendor and DMIMachineType; neither: the hosts
// whose records name none).
struct ModelTotals {
  std::optional<std::string> DmiVendor;
  std::optional<std::string> DmiMachineType;
  std::size_t Hosts = 0;
  std::array<std::size_t, kStandingCount> Counts{};

  [[nodiscard]] bool Known() const { return DmiVendor || DmiMachineType; }
};

// The totals per product, the one with the most hosts first, then by vendor and
// model, the hosts without one last.
std::vector<ModelTotals> TotalsByModel(const std::vector<HostRow>& rows);

// The hosts whose result is not success, the most severe first, in their order otherwise.
std::vector<const HostRow*> Attention(const std::vector<HostRow>& rows);

}  // namespace dorvanta::tool
