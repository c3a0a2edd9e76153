#include "tool/CheckActions.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <span>
#include <vector>

#include "common/Text.h"
#include "report/Format.h"
#include "rules/ActionReading.h"
#include "tool/CheckPaths.h"
#include "tool/Spelling.h"

namespace dorvanta::tool {
namespace {

std::uint32_t Count(std::size_t value) { return static_cast<std::uint32_t>(value); }

void CheckExecute(const std::wstring& value, FindingList& findings) {
  const ExecuteReading reading = ReadExecute(value);
  if (reading.Has(ActionFault::NoMode)) {
    findings.Add(FindingKind::NoExecuteMode,
                 Format(L"Execute's first parameter is WAIT or NOWAIT, not \"%s\": the run starts "
                        L"nothing; write Execute = WAIT, <program>[, <parameters>]",
                        reading.Pieces.front()));
  } else if (reading.Has(ActionFault::TooManyParameters)) {
    findings.Add(FindingKind::ExecuteTooManyPieces,
                 Format(L"Execute takes %u parameters but this line has %u: every comma "
                        L"separates, also one in the parameters (\"%s\"), and the run starts "
                        L"nothing; put the command into a script and execute that",
                        Count(kExecuteParameters), Count(reading.Pieces.size()),
                        reading.Pieces[2] + L"," + reading.Pieces[3]));
  } else if (reading.Has(ActionFault::NoProgram)) {
    findings.Add(FindingKind::NoProgram,
                 L"Execute needs the program as its second parameter: the run starts nothing");
  } else {
    CheckPath(reading.Piece(1), findings);
    if (reading.Pieces.size() == kExecuteParameters) CheckParameters(reading.Piece(2), findings);
  }
}

void CheckShortcut(const std::wstring& value, FindingList& findings) {
  const ShortcutReading reading = ReadShortcut(value);
  if (reading.Has(ActionFault::TooManyParameters)) {
    findings.Add(FindingKind::ShortcutTooManyPieces,
                 Format(L"DesktopShortcut takes %u parameters (name, target, parameters, icon, "
                        L"icon number) but this line has %u: the run creates nothing; remove the "
                        L"commas too many",
                        Count(kShortcutParameters), Count(reading.Pieces.size())));
    return;
  }
  if (reading.Has(ActionFault::MissingParameter)) {
    findings.Add(FindingKind::ShortcutIncomplete,
                 L"DesktopShortcut needs a name, a target and parameters (\"[NONE]\" for none): "
                 L"the run creates nothing");
    return;
  }
  CheckPath(reading.Piece(0), findings);
  CheckPath(reading.Piece(1), findings);
  CheckParameters(reading.Piece(2), findings);
  if (!reading.Piece(3).empty()) CheckPath(reading.Piece(3), findings);
  if (reading.Pieces.size() == kShortcutParameters) {
    ReportNumberFault(reading.IconNumber, reading.Piece(4), L"the icon number",
                      FindingKind::NoCleanIconNumber, findings);
  }
  if (!reading.Has(ActionFault::IconWithoutNumber)) return;
  findings.Add(FindingKind::ShortcutIncomplete,
               reading.Pieces.size() == kShortcutParameters
                   ? Format(L"an icon file needs an icon number other than %d: the run creates "
                            L"nothing",
                            kNoIconNumber)
                   : std::wstring(L"an icon file needs an icon number as the fifth parameter: "
                                  L"the run creates nothing"));
}

}  // namespace

void CheckActionLine(const std::wstring& name, const std::wstring& value, FindingList& findings) {
  const std::optional<ActionKind> kind = ReadActionName(name);
  if (kind == ActionKind::Execute) {
    CheckExecute(value, findings);
    return;
  }
  if (kind == ActionKind::DesktopShortcut) {
    CheckShortcut(value, findings);
    return;
  }
  std::vector<std::wstring_view> names;
  const std::span<const ActionName> actions = ActionNames();
  std::transform(actions.begin(), actions.end(), std::back_inserter(names),
                 [](const ActionName& action) { return action.Name; });
  if (const std::optional<std::wstring_view> sameLetters = SameLetters(name, names)) {
    findings.Add(FindingKind::UnknownAction,
                 Format(L"\"%s\" is not an action: action names are case-sensitive; write %s", name,
                        *sameLetters));
    return;
  }
  findings.Add(FindingKind::UnknownAction,
               Format(L"unknown action \"%s\": the run reports it and does nothing", name) +
                   Suggestion(name, names));
}

}  // namespace dorvanta::tool
