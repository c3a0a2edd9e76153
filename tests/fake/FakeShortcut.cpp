#include "fake/FakeShortcut.h"

#include "fake/FakePlatform.h"

namespace dorvanta {
namespace fake {

ShortcutState& Shortcuts() {
  static ShortcutState state;
  return state;
}

void ResetShortcuts() { Shortcuts() = ShortcutState{}; }

}  // namespace fake

namespace platform {

std::wstring_view ShortcutSuffix() { return fake::Shortcuts().Suffix; }

std::optional<ShortcutStep> WriteShortcut(const ShortcutRequest& request) {
  fake::ShortcutState& state = fake::Shortcuts();
  state.Requests.push_back(request);
  state.StdoutAtAnswer = fake::Platform().Stdout.size();
  return state.FailAt;
}

}  // namespace platform
}  // namespace dorvanta
