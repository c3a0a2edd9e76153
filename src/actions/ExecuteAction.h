// The Execute action: "Execute = (WAIT|NOWAIT), Path, [Parameter]".
#pragma once

#include <string>

#include "actions/ActionRequest.h"
#include "run/RunContext.h"

namespace dorvanta {

// Checks the parameters, resolves the path, announces the start and has the
// executor start the program; every outcome is reported, none stops the rule
// walk. `section` is not used.
ActionResult RunExecuteAction(RunContext& context, const std::wstring& value,
                              const std::wstring& section, ActionExecutor& executor);

}  // namespace dorvanta
