#include "tool/SummaryModel.h"

#include <algorithm>

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

std::string FailedText(const HostRow& row, std::size_t limit) {
  std::string text;
  for (const FailedAction& failed : row.Failed) {
    if (text.size() > limit) break;
    if (!text.empty()) text += ", ";
    text += failed.Section + " " +
            (failed.ExitCode ? std::to_string(*failed.ExitCode) : std::string("not started"));
  }
  return text;
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
