#include "tool/PlanModel.h"

#include <algorithm>
#include <iterator>

#include "common/Encoding.h"
#include "common/Text.h"
#include "report/Format.h"

namespace dorvanta::tool {
namespace {

constexpr char kUnknownGroup[] = "(unknown)";

bool Contains(const PairList& pairs, std::uint16_t pair) {
  return std::binary_search(pairs.begin(), pairs.end(), pair);
}

// Every pair of either list once, in walk order.
PairList Union(const PairList& a, const PairList& b) {
  PairList all;
  std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(all));
  return all;
}

}  // namespace

PairList PairsOf(const std::vector<int>& pairs) {
  PairList list(pairs.begin(), pairs.end());
  std::sort(list.begin(), list.end());
  return list;
}

std::optional<PlanGrouping> GroupingNamed(const std::wstring& name) {
  if (name == L"model") return PlanGrouping::Model;
  if (name == L"os") return PlanGrouping::Os;
  if (name == L"language") return PlanGrouping::Language;
  return std::nullopt;
}

const char* GroupingName(PlanGrouping grouping) {
  switch (grouping) {
    case PlanGrouping::Model:
      return "model";
    case PlanGrouping::Os:
      return "os";
    case PlanGrouping::Language:
      break;
  }
  return "language";
}

std::string GroupOf(const FactsSnapshot& facts, PlanGrouping grouping) {
  const auto failed = [&facts](const wchar_t* key) { return facts.Failures.contains(key); };
  const SystemFactsRecord& record = facts.Record;
  switch (grouping) {
    case PlanGrouping::Model: {
      std::wstring model = failed(L"DMIVendor") ? std::wstring() : Trim(record.DmiVendor);
      const std::wstring product =
          failed(L"DMIMachineType") ? std::wstring() : Trim(record.DmiMachineType);
      if (!model.empty() && !product.empty()) model += L' ';
      model += product;
      return model.empty() ? kUnknownGroup : EncodeUtf8(model);
    }
    case PlanGrouping::Os: {
      if (failed(L"OSMajor") || failed(L"OSMinor")) return kUnknownGroup;
      std::wstring os = Format(L"%u.%u", record.OsMajor, record.OsMinor);
      if (facts.Origin && !facts.Origin->Release.Build.empty()) {
        os += L" build " + facts.Origin->Release.Build;
      }
      return EncodeUtf8(os);
    }
    case PlanGrouping::Language:
      break;
  }
  if (failed(L"UserDefaultUI")) return kUnknownGroup;
  return EncodeUtf8(Format(L"%u (0x%x)", record.UserDefaultUi, record.UserDefaultUi));
}

void SetVerdicts(MachinePlan& plan, const MachineVerdicts& verdicts,
                 const MachineVerdicts* baseline) {
  if (verdicts.StartupFailure) plan.StartupFailure = EncodeUtf8(*verdicts.StartupFailure);
  plan.Holds = PairsOf(verdicts.Holds);
  plan.Unknown = PairsOf(verdicts.Unknown);
  if (baseline == nullptr) return;
  plan.BaselineHolds = PairsOf(baseline->Holds);
  plan.BaselineUnknown = PairsOf(baseline->Unknown);
  plan.Changed.clear();
  for (const std::uint16_t pair :
       Union(Union(plan.Holds, plan.Unknown), Union(plan.BaselineHolds, plan.BaselineUnknown))) {
    if (StatusIn(pair, plan.Holds, plan.Unknown) !=
        StatusIn(pair, plan.BaselineHolds, plan.BaselineUnknown)) {
      plan.Changed.push_back(pair);
    }
  }
}

void PlanTotals::Add(const MachinePlan& plan) {
  GroupTotals& group = Groups[plan.Group];
  ++Machines;
  ++group.Machines;
  if (plan.StartupFailure) {
    ++StartupFailures;
    ++group.StartupFailures;
  }
  if (!plan.Changed.empty()) {
    ++Changed;
    ++group.Changed;
  }
  for (const std::uint16_t pair : plan.Holds) ++group.Pairs[pair].Holds;
  for (const std::uint16_t pair : plan.Unknown) ++group.Pairs[pair].Unknown;
  for (const std::uint16_t pair : plan.Changed) {
    const bool holds = Contains(plan.Holds, pair);
    const bool held = Contains(plan.BaselineHolds, pair);
    if (holds && !held) ++group.Pairs[pair].Gained;
    if (held && !holds) ++group.Pairs[pair].Lost;
  }
}

}  // namespace dorvanta::tool
