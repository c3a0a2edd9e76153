// The Execute action: "Execute = (WAIT|NOWAIT), Path, [Parameter]".
#pragma once

#include <string>

namespace dorvanta {

// Checks the parameters, resolves the path, announces the start and starts the
// program; every outcome is reported, none stops the rule walk. `section` is
// not used.
void RunExecuteAction(const std::wstring& value, const std::wstring& section);

}  // namespace dorvanta
