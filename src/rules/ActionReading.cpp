#include "rules/ActionReading.h"

#include <algorithm>
#include <array>

namespace dorvanta {
namespace {

constexpr std::array kActionNames{ActionName{L"Execute", ActionKind::Execute},
                                  ActionName{L"DesktopShortcut", ActionKind::DesktopShortcut}};

}  // namespace

std::span<const ActionName> ActionNames() { return kActionNames; }

std::optional<ActionKind> ReadActionName(std::wstring_view name) {
  const auto* const found =
      std::find_if(kActionNames.begin(), kActionNames.end(),
                   [&](const ActionName& action) { return action.Name == name; });
  return found == kActionNames.end() ? std::nullopt : std::optional<ActionKind>(found->Kind);
}

std::vector<std::wstring> SplitParameters(std::wstring_view value) {
  std::vector<std::wstring> pieces;
  for (;;) {
    const std::size_t comma = value.find(L',');
    pieces.push_back(Trim(value.substr(0, comma)));
    if (comma == std::wstring_view::npos) return pieces;
    value.remove_prefix(comma + 1);
  }
}

std::wstring_view ActionReading::Piece(std::size_t i) const {
  return i < Pieces.size() ? std::wstring_view(Pieces[i]) : std::wstring_view();
}

bool ActionReading::Has(ActionFault fault) const {
  return std::find(Faults.begin(), Faults.end(), fault) != Faults.end();
}

ExecuteReading ReadExecute(std::wstring_view value) {
  ExecuteReading reading;
  reading.Pieces = SplitParameters(value);
  const std::wstring mode = UpperAscii(reading.Pieces.front());
  if (mode == L"WAIT" || mode == L"NOWAIT") {
    reading.Wait = mode == L"WAIT";
  } else {
    reading.Faults.push_back(ActionFault::NoMode);
  }
  if (reading.Pieces.size() > kExecuteParameters) {
    reading.Faults.push_back(ActionFault::TooManyParameters);
  }
  if (reading.Piece(1).empty()) reading.Faults.push_back(ActionFault::NoProgram);
  return reading;
}

ShortcutReading ReadShortcut(std::wstring_view value) {
  ShortcutReading reading;
  reading.Pieces = SplitParameters(value);
  if (reading.Pieces.size() >= kShortcutParameters) {
    reading.IconNumber = ReadDecimal(reading.Pieces[kShortcutParameters - 1]);
  }
  if (reading.Pieces.size() > kShortcutParameters) {
    reading.Faults.push_back(ActionFault::TooManyParameters);
  }
  if (reading.Piece(0).empty() || reading.Piece(1).empty() || reading.Piece(2).empty()) {
    reading.Faults.push_back(ActionFault::MissingParameter);
  }
  if (reading.IconNumber.Value == kNoIconNumber && !reading.Piece(3).empty()) {
    reading.Faults.push_back(ActionFault::IconWithoutNumber);
  }
  return reading;
}

}  // namespace dorvanta
