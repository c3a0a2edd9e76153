// What a rule file would do on each machine of a fleet, kept small: a machine
// is its names, its group and the numbers of its pairs, never its facts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "facts/FactsSnapshot.h"
#include "tool/MachineVerdicts.h"

namespace dorvanta::tool {

// Pair numbers (1 .. 256) in walk order.
using PairList = std::vector<std::uint16_t>;

PairList PairsOf(const std::vector<int>& pairs);

// The fact that groups the machines of the totals.
enum class PlanGrouping { Model, Os, Language };

std::optional<PlanGrouping> GroupingNamed(const std::wstring& name);
const char* GroupingName(PlanGrouping grouping);

// The machine's value of the grouping fact, as a person reads it: the DMI vendor
// and product name; the OS version (major.minor) and build; the user's UI
// language ID. "(unknown)" when the facts do not tell it.
std::string GroupOf(const FactsSnapshot& facts, PlanGrouping grouping);

struct MachinePlan {
  std::string File;  // UTF-8, as the path was given or listed
  std::string Host;
  std::string Group;
  // The run ends before the walk with this failure; no pair holds then.
  std::optional<std::string> StartupFailure;
  PairList Holds;
  PairList Unknown;
  // With a baseline: its verdicts, and the pairs whose status (holds, unknown,
  // neither) differs between the two files.
  PairList BaselineHolds;
  PairList BaselineUnknown;
  PairList Changed;
};

// Fills the machine's verdicts of the new rule file and, when given, of the baseline.
void SetVerdicts(MachinePlan& plan, const MachineVerdicts& verdicts,
                 const MachineVerdicts* baseline);

// The machines of one group, and per pair how many it runs on, is unknown on,
// and (with a baseline) gains or loses.
struct PairCounts {
  std::size_t Holds = 0;
  std::size_t Unknown = 0;
  std::size_t Gained = 0;  // holds now, did not before
  std::size_t Lost = 0;    // held before, does not now
};

struct GroupTotals {
  std::size_t Machines = 0;
  std::size_t Changed = 0;
  std::size_t StartupFailures = 0;
  std::map<std::uint16_t, PairCounts> Pairs;
};

struct PlanTotals {
  std::map<std::string, GroupTotals> Groups;
  std::size_t Machines = 0;
  std::size_t Changed = 0;
  std::size_t StartupFailures = 0;
  std::size_t Unreadable = 0;

  void Add(const MachinePlan& plan);
};

}  // namespace dorvanta::tool
