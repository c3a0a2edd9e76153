// The DesktopShortcut action: Name, Path, Parameter, [Icon], [Iconnum].
#pragma once

#include <string>

namespace dorvanta {

void RunDesktopShortcutAction(const std::wstring& value, const std::wstring& section);

}  // namespace dorvanta
