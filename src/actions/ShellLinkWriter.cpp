#include "actions/ShellLinkWriter.h"

#include <optional>

#include "platform/ShellLink.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

// The reason of a failed step, as the error line gives it.
std::wstring_view FailureReason(platform::ShortcutStep step) {
  switch (step) {
    case platform::ShortcutStep::CreateInstance:
      return L"Create instance failed!";
    case platform::ShortcutStep::PersistFile:
      return L"Persist file failed!";
    case platform::ShortcutStep::SetArguments:
      return L"SetArguments failed!";
    case platform::ShortcutStep::SetPath:
      return L"SetPath failed!";
    case platform::ShortcutStep::SetDescription:
      return L"SetDescription failed!";
    case platform::ShortcutStep::SetIconLocation:
      return L"SetIconLocation failed!";
    case platform::ShortcutStep::Save:
      break;
  }
  return L"Save failed (you need admin rights)!";
}

}  // namespace

ActionOutcome WriteShellLink(ReportSink& sink, const std::wstring& target,
                             const std::wstring& linkFile, std::int32_t iconIndex,
                             const std::wstring& description, const std::wstring& arguments,
                             const std::wstring& iconFile) {
  // The writer has released everything by the time it answers, so the message
  // always comes after the release.
  const std::optional<platform::ShortcutStep> failed = platform::WriteShortcut(
      platform::ShortcutRequest{target, linkFile, description, arguments, iconFile, iconIndex});
  if (failed) {
    const std::wstring reason(FailureReason(*failed));
    Report(sink, L"ERROR: %s\n", reason);
    return NotDone(reason);
  }
  Report(sink, L"Shortcut created.\n");
  return Done();
}

}  // namespace dorvanta
