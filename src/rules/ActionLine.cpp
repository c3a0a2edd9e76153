#include "rules/ActionLine.h"

#include <optional>

#include "actions/DesktopShortcutAction.h"
#include "actions/ExecuteAction.h"
#include "report/Report.h"
#include "report/SectionLine.h"
#include "rules/ActionReading.h"

namespace dorvanta {

ActionResult RunActionLine(RunContext& context, const std::wstring& line,
                           const std::wstring& section, ActionExecutor& executor) {
  const std::optional<SectionLine> split = SplitSectionLine(context.Sink, line, section);
  if (!split) return ActionResult{};
  const std::optional<ActionKind> kind = ReadActionName(split->Key);
  if (kind == ActionKind::Execute)
    return RunExecuteAction(context, split->Value, section, executor);
  if (kind == ActionKind::DesktopShortcut) {
    return RunDesktopShortcutAction(context, split->Value, section, executor);
  }
  Report(context.Sink, L"ERROR: Action %s not supported in section %s!\n", split->Key, section);
  ActionResult unknown;
  unknown.Name = split->Key;
  return unknown;
}

}  // namespace dorvanta
