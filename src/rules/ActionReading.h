// An action line's value read as its action takes it, before any path is
// resolved: the pieces, Execute's mode, the parameter counts and the icon
// number, with what is wrong in the order the action meets it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "actions/ActionRequest.h"
#include "common/Text.h"

namespace dorvanta {

enum class ActionKind { Execute, DesktopShortcut };

struct ActionName {
  std::wstring_view Name;
  ActionKind Kind;
};

// The action names, matched whole and with letter case significant.
std::span<const ActionName> ActionNames();

std::optional<ActionKind> ReadActionName(std::wstring_view name);

// The value cut at every comma (no parameter can hold one), each piece trimmed.
std::vector<std::wstring> SplitParameters(std::wstring_view value);

inline constexpr std::size_t kExecuteParameters = 3;
inline constexpr std::size_t kShortcutParameters = 5;

enum class ActionFault {
  NoMode,             // Execute's first piece is neither WAIT nor NOWAIT (any case)
  TooManyParameters,  // more pieces than the action takes
  NoProgram,          // Execute without a program
  MissingParameter,   // DesktopShortcut without name, target or arguments
  IconWithoutNumber,  // DesktopShortcut with an icon file and no icon number
};

// What the two actions' readings share.
struct ActionReading {
  std::vector<std::wstring> Pieces;  // at least one
  std::vector<ActionFault> Faults;   // in the order the action meets them

  // The piece, or nothing when the line has fewer.
  std::wstring_view Piece(std::size_t i) const;
  bool Has(ActionFault fault) const;
};

struct ExecuteReading : ActionReading {
  std::optional<bool> Wait;  // nothing: no mode
};

ExecuteReading ReadExecute(std::wstring_view value);

struct ShortcutReading : ActionReading {
  // The fifth piece; kNoIconNumber without one.
  DecimalReading IconNumber{kNoIconNumber, NumberFault::None, false};
};

ShortcutReading ReadShortcut(std::wstring_view value);

}  // namespace dorvanta
