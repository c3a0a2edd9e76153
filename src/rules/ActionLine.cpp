#include "rules/ActionLine.h"

#include <optional>

#include "actions/DesktopShortcutAction.h"
#include "actions/ExecuteAction.h"
#include "report/Report.h"
#include "report/SectionLine.h"
#include "rules/ActionReading.h"

namespace dorvanta {

ActionResult RunActionLine(const std::wstring& line, const std::wstring& section,
                           ActionExecutor& executor) {
  const std::optional<SectionLine> split = SplitSectionLine(line, section);
  if (!split) return ActionResult{};
  const std::optional<ActionKind> kind = ReadActionName(split->Key);
  if (kind == ActionKind::Execute) return RunExecuteAction(split->Value, section, executor);
  if (kind == ActionKind::DesktopShortcut) {
    return RunDesktopShortcutAction(split->Value, section, executor);
  }
  Report(L"ERROR: Action %s not supported in section %s!\n", split->Key, section);
  ActionResult unknown;
  unknown.Name = split->Key;
  return unknown;
}

}  // namespace dorvanta
