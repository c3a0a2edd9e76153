#include "actions/ShellLinkWriter.h"

#include <optional>

#include "platform/ShellLink.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

std::wstring_view FailureMessage(platform::ShortcutStep step) {
  switch (step) {
    case platform::ShortcutStep::CreateInstance:
      return L"ERROR: Create instance failed!\n";
    case platform::ShortcutStep::PersistFile:
      return L"ERROR: Persist file failed!\n";
    case platform::ShortcutStep::SetArguments:
      return L"ERROR: SetArguments failed!\n";
    case platform::ShortcutStep::SetPath:
      return L"ERROR: SetPath failed!\n";
    case platform::ShortcutStep::SetDescription:
      return L"ERROR: SetDescription failed!\n";
    case platform::ShortcutStep::SetIconLocation:
      return L"ERROR: SetIconLocation failed!\n";
    case platform::ShortcutStep::Save:
      break;
  }
  return L"ERROR: Save failed (you need admin rights)!\n";
}

}  // namespace

bool WriteShellLink(const std::wstring& target, const std::wstring& linkFile,
                    std::int32_t iconIndex, const std::wstring& description,
                    const std::wstring& arguments, const std::wstring& iconFile) {
  // The writer has released everything by the time it answers, so the message
  // always comes after the release.
  const std::optional<platform::ShortcutStep> failed = platform::WriteShortcut(
      platform::ShortcutRequest{target, linkFile, description, arguments, iconFile, iconIndex});
  if (failed) {
    Report(L"%s", FailureMessage(*failed));
    return false;
  }
  Report(L"Shortcut created.\n");
  return true;
}

}  // namespace dorvanta
