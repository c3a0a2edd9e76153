#include "tool/MachineVerdicts.h"

#include "report/Report.h"
#include "rules/RuleDriver.h"
#include "run/RunContext.h"

namespace dorvanta::tool {
namespace {

// Keeps the verdicts and passes every step on to the watcher.
class VerdictKeeper final : public WalkObserver {
 public:
  VerdictKeeper(MachineVerdicts& verdicts, WalkObserver* watcher)
      : verdicts_(verdicts), watcher_(watcher) {}

  void PairReached(int pair) override {
    if (watcher_) watcher_->PairReached(pair);
  }
  void CriterionEvaluated(int pair, const std::wstring& line,
                          const CriterionResult& result) override {
    if (watcher_) watcher_->CriterionEvaluated(pair, line, result);
  }
  void PairDecided(int pair, Verdict verdict) override {
    if (verdict == Verdict::Holds) verdicts_.Holds.push_back(pair);
    if (verdict == Verdict::Unknown) verdicts_.Unknown.push_back(pair);
    if (watcher_) watcher_->PairDecided(pair, verdict);
  }
  void ActionsMissing(int pair) override {
    if (watcher_) watcher_->ActionsMissing(pair);
  }
  void ActionReached(int pair, const std::wstring& line) override {
    if (watcher_) watcher_->ActionReached(pair, line);
  }
  void ActionRun(int pair, const std::wstring& line, const ActionResult& result) override {
    if (watcher_) watcher_->ActionRun(pair, line, result);
  }
  void WalkEnded(const WalkEnd& end) override {
    verdicts_.End = end;
    if (watcher_) watcher_->WalkEnded(end);
  }
  [[nodiscard]] bool WantsEveryStep() const override {
    return watcher_ != nullptr && watcher_->WantsEveryStep();
  }

 private:
  MachineVerdicts& verdicts_;
  WalkObserver* watcher_;
};

}  // namespace

ActionOutcome NothingRuns::Execute(const ExecuteRequest& /*request*/, ReportSink& sink) {
  Report(sink, L"(not run)\n\n");
  return NotDone(L"not run");
}

ActionOutcome NothingRuns::CreateShortcut(const ShortcutRequest& /*request*/, ReportSink& sink) {
  Report(sink, L"(not written)\n");
  return NotDone(L"not written");
}

std::optional<std::wstring> StartupFailure(const FactsSnapshot& facts) {
  for (const wchar_t* key : {L"OSMajor", L"CurrentLocation"}) {
    const auto failure = facts.Failures.find(key);
    if (failure != facts.Failures.end()) return failure->second;
  }
  return std::nullopt;
}

MachineVerdicts WalkVerdicts(RuleSource& rules, SnapshotFacts& facts, WalkObserver* watcher,
                             VerdictMemo* known) {
  MachineVerdicts verdicts;
  verdicts.StartupFailure = StartupFailure(facts.Snapshot());
  if (verdicts.StartupFailure) return verdicts;
  SilentSink sink;
  RunContext context(sink, facts);
  context.Facts = facts.Snapshot().Record;
  context.KnownVerdicts = known;
  VerdictKeeper keeper(verdicts, watcher);
  NothingRuns executor;
  WalkRules(context, rules, keeper, executor);
  return verdicts;
}

}  // namespace dorvanta::tool
