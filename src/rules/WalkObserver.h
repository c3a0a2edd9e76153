// What the rule walk tells whoever watches it, besides the messages it reports.
#pragma once

#include <string>

#include "actions/ActionRequest.h"
#include "criteria/CriterionResult.h"

namespace dorvanta {

enum class WalkStop {
  MissingCriteria,  // the first missing or empty CRITERIAx: the normal end
  LastPair,         // every pair up to the last one was walked
  SectionTooBig,    // a section did not fit the section buffer: the run fails
};

struct WalkEnd {
  WalkStop Reason = WalkStop::LastPair;
  std::wstring Section;  // the section that ended the walk; empty after the last pair
};

// Every call has a default that ignores it.
class WalkObserver {
 public:
  WalkObserver() = default;
  WalkObserver(const WalkObserver&) = delete;
  WalkObserver& operator=(const WalkObserver&) = delete;
  virtual ~WalkObserver() = default;

  // CRITERIAx was read and has lines.
  virtual void PairReached(int /*pair*/) {}
  virtual void CriterionEvaluated(int /*pair*/, const std::wstring& /*line*/,
                                  const CriterionResult& /*result*/) {}
  // Holds when every line held; Unknown when none failed but one could not be decided.
  virtual void PairDecided(int /*pair*/, Verdict /*verdict*/) {}
  // The criteria did not fail, and ACTIONx is missing or empty.
  virtual void ActionsMissing(int /*pair*/) {}
  // The action line is about to be read and carried out.
  virtual void ActionReached(int /*pair*/, const std::wstring& /*line*/) {}
  virtual void ActionRun(int /*pair*/, const std::wstring& /*line*/,
                         const ActionResult& /*result*/) {}
  virtual void WalkEnded(const WalkEnd& /*end*/) {}

  // False when only the pairs' verdicts matter to the observer, not every
  // step: a walk whose messages nobody reads then leaves out what can change
  // no verdict: the lines of a pair after its first failing one, and, with an
  // executor that carries nothing out, the action lines once a pair's actions
  // would have run.
  [[nodiscard]] virtual bool WantsEveryStep() const { return true; }
};

}  // namespace dorvanta
