#include "rules/ActionLine.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "actions/DesktopShortcutAction.h"
#include "actions/ExecuteAction.h"
#include "report/Report.h"
#include "report/SectionLine.h"

namespace dorvanta {
namespace {

using ActionHandler = ActionResult (*)(const std::wstring& value, const std::wstring& section,
                                       ActionExecutor& executor);

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

std::span<const std::wstring_view> ActionNames() {
  static const auto kActionNames = [] {
    std::array<std::wstring_view, std::tuple_size_v<decltype(kActions)>> names{};
    std::transform(kActions.begin(), kActions.end(), names.begin(),
                   [](const ActionEntry& action) { return action.Name; });
    return names;
  }();
  return kActionNames;
}

ActionResult RunActionLine(const std::wstring& line, const std::wstring& section,
                           ActionExecutor& executor) {
  const std::optional<SectionLine> split = SplitSectionLine(line, section);
  if (!split) return ActionResult{};
  for (const ActionEntry& action : kActions) {
    if (split->Key == action.Name) return action.Handler(split->Value, section, executor);
  }
  Report(L"ERROR: Action %s not supported in section %s!\n", split->Key, section);
  ActionResult unknown;
  unknown.Name = split->Key;
  return unknown;
}

}  // namespace dorvanta
