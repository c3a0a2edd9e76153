// Dispatch of one ACTIONx line to its action.
#pragma once

#include <string>

#include "actions/ActionRequest.h"
#include "run/RunContext.h"

namespace dorvanta {

// Runs the line's action through `executor`; a line without "=" or with an
// unknown name is reported and asks for nothing.
ActionResult RunActionLine(RunContext& context, const std::wstring& line,
                           const std::wstring& section, ActionExecutor& executor);

}  // namespace dorvanta
