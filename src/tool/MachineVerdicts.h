// The verdicts of the rule file on one machine's facts, walked as the program
// walks it with no action run: what explain shows, and what plan and test ask
// of every machine of a fleet. Walks over different facts may run side by side.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "actions/ActionRequest.h"
#include "criteria/VerdictMemo.h"
#include "facts/FactsSnapshot.h"
#include "rules/RuleSource.h"
#include "rules/WalkObserver.h"

namespace dorvanta::tool {

// Says what the real executor would do, and does none of it.
class NothingRuns final : public ActionExecutor {
 public:
  ActionOutcome Execute(const ExecuteRequest& request, ReportSink& sink) override;
  ActionOutcome CreateShortcut(const ShortcutRequest& request, ReportSink& sink) override;
  [[nodiscard]] bool CarriesOut() const override { return false; }
};

// The failure of a start-up fact that ends the program's run before the walk.
std::optional<std::wstring> StartupFailure(const FactsSnapshot& facts);

struct MachineVerdicts {
  // The run would end before the walk, with this failure; nothing else is set.
  std::optional<std::wstring> StartupFailure;
  std::vector<int> Holds;    // pairs whose criteria hold: their actions would run
  std::vector<int> Unknown;  // pairs that none fails but that facts cannot decide
  WalkEnd End;
};

// Where a pair stands on a machine: its actions would run, might run (facts
// cannot decide its criteria), or would not.
enum class PairStatus { Runs, Unknown, DoesNotRun };

// The status of `pair` by the pairs that hold and those that are unknown, each
// list in walk order.
template <typename Pairs>
PairStatus StatusIn(int pair, const Pairs& holds, const Pairs& unknown) {
  const auto among = [pair](const Pairs& pairs) {
    return std::binary_search(pairs.begin(), pairs.end(), pair);
  };
  if (among(holds)) return PairStatus::Runs;
  return among(unknown) ? PairStatus::Unknown : PairStatus::DoesNotRun;
}

// Walks `rules` over the snapshot of `facts` with nothing reported; `watcher`,
// when given, is told every step besides. Walks of several rule files over one
// machine share its source, and with it the index of its hardware IDs; without
// a watcher they share `known` besides, the verdicts walks over the same facts
// reached.
MachineVerdicts WalkVerdicts(RuleSource& rules, SnapshotFacts& facts,
                             WalkObserver* watcher = nullptr, VerdictMemo* known = nullptr);

}  // namespace dorvanta::tool
