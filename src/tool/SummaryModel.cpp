#include "tool/SummaryModel.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <utility>

#include "actions/ProcessLaunch.h"
#include "common/Encoding.h"

namespace dorvanta::tool {

Standing StandingOf(RunClass runClass) {
  switch (runClass) {
    case RunClass::Success:
      return Standing::Success;
    case RunClass::RebootRequired:
      return Standing::RebootRequired;
    case RunClass::RebootInitiated:
      return Standing::RebootInitiated;
    case RunClass::RetryLater:
      return Standing::RetryLater;
    case RunClass::Failure:
      break;
  }
  return Standing::Failure;
}

std::string_view StandingName(Standing standing) {
  switch (standing) {
    case Standing::Incomplete:
      return "incomplete";
    case Standing::NoRecord:
      return "no record";
    case Standing::Unreadable:
      return "unreadable";
    case Standing::Failure:
      return RunClassName(RunClass::Failure);
    case Standing::RetryLater:
      return RunClassName(RunClass::RetryLater);
    case Standing::RebootInitiated:
      return RunClassName(RunClass::RebootInitiated);
    case Standing::RebootRequired:
      return RunClassName(RunClass::RebootRequired);
    case Standing::Success:
      break;
  }
  return RunClassName(RunClass::Success);
}

std::optional<Standing> StandingNamed(std::string_view name) {
  for (std::size_t i = 0; i < kStandingCount; ++i) {
    if (StandingName(static_cast<Standing>(i)) == name) return static_cast<Standing>(i);
  }
  return std::nullopt;
}

std::string FailedText(const HostRow& row, std::size_t limit) {
  std::string text;
  for (const FailedAction& failed : row.Failed) {
    if (text.size() > limit) break;
    if (!text.empty()) text += ", ";
    text += failed.Section + " ";
    if (failed.ExitCode) {
      text += std::to_string(*failed.ExitCode);
    } else if (const std::string timedOut = EncodeUtf8(kTimedOut); failed.Reason == timedOut) {
      text += timedOut;  // started, and ended at the run's time limit
    } else {
      text += "not started";
    }
  }
  return text;
}

std::string AttentionText(const HostRow& row, std::size_t limit) {
  return row.Note.empty() ? FailedText(row, limit) : row.Note;
}

std::string RunTimeText(const HostRow& row) {
  if (!row.RunTimeMs) return "";
  const std::int64_t ms = *row.RunTimeMs < 0 ? 0 : *row.RunTimeMs;
  std::string fraction = std::to_string(ms % 1000);
  fraction.insert(0, 3 - fraction.size(), '0');
  return std::to_string(ms / 1000) + "." + fraction + " s";
}

std::array<std::size_t, kStandingCount> Totals(const std::vector<HostRow>& rows) {
  std::array<std::size_t, kStandingCount> totals{};
  for (const HostRow& row : rows) ++totals[static_cast<std::size_t>(row.Result)];
  return totals;
}

std::vector<const HostRow*> Attention(const std::vector<HostRow>& rows) {
  std::vector<const HostRow*> hosts;
  for (const HostRow& row : rows) {
    if (row.Result != Standing::Success) hosts.push_back(&row);
  }
  std::stable_sort(hosts.begin(), hosts.end(),
                   [](const HostRow* a, const HostRow* b) { return a->Result < b->Result; });
  return hosts;
}

}  // namespace dorvanta::tool

namespace dorvanta::tool {

std::string HostKey(std::string_view host) {
  std::string key(host);
  std::transform(key.begin(), key.end(), key.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  return key;
}

std::vector<HostRow> KeepNewest(std::vector<HostRow>& rows) {
  // Each host's newest row so far, by its name in lower case.
  std::unordered_map<std::string, std::size_t> newest;
  std::vector<bool> older(rows.size(), false);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const HostRow& row = rows[i];
    if (!row.Host || !row.StartMs) continue;
    const auto [at, first] = newest.emplace(HostKey(*row.Host), i);
    if (first) continue;
    if (*rows[at->second].StartMs <= *row.StartMs) {
      older[at->second] = true;
      at->second = i;
    } else {
      older[i] = true;
    }
  }
  std::vector<HostRow> kept;
  std::vector<HostRow> left;
  kept.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    (older[i] ? left : kept).push_back(std::move(rows[i]));
  }
  rows = std::move(kept);
  return left;
}

namespace {

// The rows' totals per the key that `keyOf` gives, `take` adding what else a
// group holds of a row: the group with the most hosts first, then by key, the
// group of the rows without one last.
template <typename Totals, typename KeyOf, typename Take>
std::vector<Totals> Grouped(const std::vector<HostRow>& rows, KeyOf keyOf, Take take) {
  std::map<decltype(keyOf(rows.front())), Totals> groups;
  for (const HostRow& row : rows) {
    Totals& totals = groups[keyOf(row)];
    ++totals.Hosts;
    ++totals.Counts[static_cast<std::size_t>(row.Result)];
    take(totals, row);
  }
  std::vector<Totals> all;
  all.reserve(groups.size());
  for (auto& [key, totals] : groups) all.push_back(std::move(totals));
  std::stable_sort(all.begin(), all.end(), [](const Totals& a, const Totals& b) {
    if (a.Known() != b.Known()) return a.Known();
    return a.Hosts > b.Hosts;
  });
  return all;
}

}  // namespace

std::vector<RuleFileTotals> TotalsByRuleFile(const std::vector<HostRow>& rows) {
  return Grouped<RuleFileTotals>(
      rows, [](const HostRow& row) { return row.IniSha256; },
      [](RuleFileTotals& totals, const HostRow& row) {
        totals.IniSha256 = row.IniSha256;
        if (!row.StartMs || !row.Start) return;
        if (!totals.FirstStartMs || *row.StartMs < *totals.FirstStartMs) {
          totals.FirstStartMs = row.StartMs;
          totals.FirstStart = row.Start;
        }
        if (!totals.LastStartMs || *row.StartMs > *totals.LastStartMs) {
          totals.LastStartMs = row.StartMs;
          totals.LastStart = row.Start;
        }
      });
}

std::vector<ModelTotals> TotalsByModel(const std::vector<HostRow>& rows) {
  return Grouped<ModelTotals>(
      rows, [](const HostRow& row) { return std::pair(row.DmiVendor, row.DmiMachineType); },
      [](ModelTotals& totals, const HostRow& row) {
        totals.DmiVendor = row.DmiVendor;
        totals.DmiMachineType = row.DmiMachineType;
      });
}

}  // namespace dorvanta::tool
