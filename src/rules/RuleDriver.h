// The walk over the numbered CRITERIAx / ACTIONx section pairs of the INI file.
#pragma once

#include <string>

#include "actions/ActionRequest.h"
#include "rules/PairWalk.h"
#include "rules/RuleSource.h"
#include "rules/WalkObserver.h"
#include "run/RunContext.h"

namespace dorvanta {

// Walks the pairs 1 .. 256 of `rules` in `context` (its facts, fact source and
// sink), reporting every step, telling `observer` about it and running the
// actions through `executor`. The walk ends early at the first missing or
// empty CRITERIAx, or at a section that does not fit the section buffer
// (reported; the program's run then fails). It never ends the process; a
// failure of the sink (RunStopped) passes through it. When `executor` carries
// nothing out, a criteria line that actions may change is unknown once a pair
// whose actions would run has been passed: the walk's own state, nobody else's.
// When neither the sink nor the observer reads every step, the walk leaves out
// those that change no verdict (WalkObserver::WantsEveryStep) and takes a
// pair's verdict from the context's KnownVerdicts where an earlier walk over
// the same facts reached it.
WalkEnd WalkRules(RunContext& context, RuleSource& rules, WalkObserver& observer,
                  ActionExecutor& executor);

}  // namespace dorvanta
