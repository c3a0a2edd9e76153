// The fake shortcut writer: records every request and fails at a chosen step.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ShellLink.h"

namespace dorvanta::fake {

struct ShortcutState {
  std::wstring Suffix = L".lnk";
  std::optional<platform::ShortcutStep> FailAt;
  std::vector<platform::ShortcutRequest> Requests;
  // Standard output's length when the writer answered.
  std::size_t StdoutAtAnswer = 0;
};

ShortcutState& Shortcuts();
void ResetShortcuts();

}  // namespace dorvanta::fake
