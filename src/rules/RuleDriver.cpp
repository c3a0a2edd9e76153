#include "rules/RuleDriver.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "criteria/CriteriaLine.h"
#include "report/Report.h"
#include "rules/ActionLine.h"
#include "rules/PairName.h"
#include "rules/PairWalk.h"

namespace dorvanta {
namespace {

constexpr std::wstring_view kProcessingRule = L"------------------------------------\n";

// The part of the buffer that the reader filled.
std::span<const wchar_t> LinesOf(std::span<const wchar_t> buffer, std::uint32_t length) {
  return buffer.first(std::min<std::size_t>(length, buffer.size()));
}

// Calls `handle` for every NUL-terminated line of a section buffer, in order,
// for as long as it returns true.
template <typename Handler>
void ForEachLine(std::span<const wchar_t> buffer, Handler handle) {
  std::wstring line;
  std::size_t i = 0;
  while (i < buffer.size() && buffer[i] != L'\0') {
    std::size_t end = i;
    while (end < buffer.size() && buffer[end] != L'\0') ++end;
    line.assign(buffer.data() + i, end - i);
    if (!handle(line)) return;
    i = end + 1;
  }
}

// A pair fails with its first failing line; a line that could not be decided
// leaves it undecided unless another fails.
Verdict Combine(Verdict pair, Verdict line) {
  if (pair == Verdict::Fails || line == Verdict::Fails) return Verdict::Fails;
  if (pair == Verdict::Unknown || line == Verdict::Unknown) return Verdict::Unknown;
  return Verdict::Holds;
}

// What deciding a pair's criteria takes of the walk.
struct Deciding {
  RunContext& Context;
  WalkObserver& Observer;
  bool EveryStep;     // somebody reads every step
  VerdictMemo* Memo;  // the verdicts of earlier walks over the same facts, or none
};

// The verdict of the pair's criteria lines: the one an earlier walk over the
// same facts reached for the lines numbered `number` in the same state, else
// each line evaluated and told to the observer; after a failing one only when
// somebody reads every step.
Verdict DecideCriteria(const Deciding& walk, int pair, const std::wstring& criteria,
                       std::span<const wchar_t> lines, std::optional<std::uint32_t> number,
                       std::optional<int> earlierActions) {
  std::optional<Verdict>* const known = walk.Memo != nullptr && number
                                            ? &walk.Memo->Slot(*number, earlierActions.has_value())
                                            : nullptr;
  if (known != nullptr && *known) return **known;
  Verdict verdict = Verdict::Holds;
  ForEachLine(lines, [&](const std::wstring& line) {
    const CriterionResult result =
        EvaluateCriteriaLine(walk.Context, criteria, line, earlierActions);
    walk.Observer.CriterionEvaluated(pair, line, result);
    verdict = Combine(verdict, result.Outcome);
    return walk.EveryStep || verdict != Verdict::Fails;
  });
  if (known != nullptr) *known = verdict;
  return verdict;
}

// What the walk says of a pair's verdict.
void ReportVerdict(ReportSink& sink, const std::wstring& criteria, Verdict verdict) {
  if (verdict == Verdict::Fails) {
    Report(sink, L"\nNot all Criteria for %s match or error --> next criterium\n\n", criteria);
    return;
  }
  Report(sink, L"%s", kDashLine);
  if (verdict == Verdict::Holds) {
    Report(sink, L"\nAll Criteria for %s match!\n\n", criteria);
  } else {
    Report(sink,
           L"\nCriteria for %s: none fails, some are unknown --> actions only if they hold!\n\n",
           criteria);
  }
}

}  // namespace

WalkEnd WalkRules(RunContext& context, RuleSource& rules, WalkObserver& observer,
                  ActionExecutor& executor) {
  ReportSink& sink = context.Sink;
  const auto stop = [&observer](WalkStop reason, const std::wstring& section) {
    WalkEnd walkEnd{reason, section};
    observer.WalkEnded(walkEnd);
    return walkEnd;
  };
  // Reads one section into the shared buffer; false when it does not fit.
  std::array<wchar_t, kSectionBufferSize> buffer{};
  std::uint32_t length = 0;
  std::wstring tooBig;
  const auto read = [&](PairSide side, int x) {
    length = rules.ReadPairSection(side, x, buffer);
    if (length != buffer.size() - 2) return true;
    const std::wstring& section = WalkSectionName(side, x);
    Report(sink, L"ERROR: Section %s too big for buffer!\n", section);
    tooBig = section;
    return false;
  };
  // With an executor that carries nothing out: the first pair whose actions
  // would have run, after which a fact that actions may change is unknown.
  std::optional<int> earlierActions;
  // Whether anybody reads the steps that can change no verdict; when nobody
  // does, the verdicts of earlier walks over the same facts stand.
  const bool everyStep = sink.Wanted() || observer.WantsEveryStep();
  const Deciding deciding{context, observer, everyStep,
                          everyStep ? nullptr : context.KnownVerdicts};

  const auto criteriaLines = [&](int x) -> std::optional<bool> {
    if (!read(PairSide::Criteria, x)) return std::nullopt;
    Report(sink, L"%s", kEqualsLine);
    return length != 0;
  };
  const auto walkPair = [&](int x) {
    const std::wstring& criteria = WalkSectionName(PairSide::Criteria, x);
    observer.PairReached(x);
    Report(sink, L"\nProcessing %s\n%s", criteria, kProcessingRule);

    const std::optional<std::uint32_t> number =
        deciding.Memo != nullptr ? rules.CriteriaNumber(x) : std::nullopt;
    const Verdict verdict =
        DecideCriteria(deciding, x, criteria, LinesOf(buffer, length), number, earlierActions);
    observer.PairDecided(x, verdict);
    ReportVerdict(sink, criteria, verdict);
    if (verdict == Verdict::Fails) return true;

    const std::wstring& actions = WalkSectionName(PairSide::Actions, x);
    if (!read(PairSide::Actions, x)) return false;
    if (length == 0) {
      observer.ActionsMissing(x);
      Report(sink, L"\nWARNING: Section %s empty or not existing --> next criterium\n", actions);
      return true;
    }
    if (!everyStep && earlierActions && !executor.CarriesOut()) return true;
    Report(sink, L"\nProcessing %s\n%s", actions, kProcessingRule);
    ForEachLine(LinesOf(buffer, length), [&](const std::wstring& line) {
      context.Devices.Forget();  // the action may change the devices present
      observer.ActionReached(x, line);
      const ActionResult result = RunActionLine(context, line, actions, executor);
      // A line refused before anything was asked runs nothing on any machine.
      if (!earlierActions && !executor.CarriesOut() &&
          !std::holds_alternative<std::monostate>(result.Request)) {
        earlierActions = x;
      }
      observer.ActionRun(x, line, result);
      return true;
    });
    return true;
  };

  Report(sink, L"%s", kEqualsLine);
  Report(sink, L"Process INI File:\n");
  const PairsEnd end = WalkPairs(criteriaLines, walkPair);
  if (end.Cut) return stop(WalkStop::SectionTooBig, tooBig);
  if (end.Pair > kMaxSectionPairs) return stop(WalkStop::LastPair, std::wstring());
  const std::wstring missing = PairSectionName(PairSide::Criteria, end.Pair);
  Report(sink, L"\nSection %s empty or not existing ... stop processing!\n", missing);
  return stop(WalkStop::MissingCriteria, missing);
}

}  // namespace dorvanta
