#include "rules/ActionLine.h"

#include <array>
#include <string_view>

#include "actions/DesktopShortcutAction.h"
#include "actions/ExecuteAction.h"
#include "common/Text.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

using ActionHandler = void (*)(const std::wstring& value, const std::wstring& section);

struct ActionEntry {
  std::wstring_view Name;
  ActionHandler Handler;
};

// Action names are matched whole and with letter case significant.
constexpr std::array kActions{
    ActionEntry{L"Execute", &RunExecuteAction},
    ActionEntry{L"DesktopShortcut", &RunDesktopShortcutAction},
};

}  // namespace

void RunActionLine(const std::wstring& line, const std::wstring& section) {
  const std::size_t equals = line.find(L'=');
  if (equals == std::wstring::npos) {
    Report(L"ERROR: Missing '=' in section %s (line: %s)!\n", section, line);
    return;
  }
  const std::wstring name = Trim(std::wstring_view(line).substr(0, equals));
  const std::wstring value = Trim(std::wstring_view(line).substr(equals + 1));
  for (const ActionEntry& action : kActions) {
    if (name == action.Name) {
      action.Handler(value, section);
      return;
    }
  }
  Report(L"ERROR: Action %s not supported in section %s!\n", name, section);
}

}  // namespace dorvanta
