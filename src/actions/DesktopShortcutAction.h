// The DesktopShortcut action: Name, Path, Parameter, [Icon], [Iconnum].
#pragma once

#include <string>

#include "actions/ActionRequest.h"
#include "run/RunContext.h"

namespace dorvanta {

// Checks the parameters, resolves the paths, announces the shortcut and has the
// executor write it; every outcome is reported. `section` is not used.
ActionResult RunDesktopShortcutAction(RunContext& context, const std::wstring& value,
                                      const std::wstring& section, ActionExecutor& executor);

}  // namespace dorvanta
