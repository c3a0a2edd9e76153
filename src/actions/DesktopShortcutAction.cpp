#include "actions/DesktopShortcutAction.h"

#include <cstdint>
#include <string_view>

#include "common/Text.h"
#include "facts/FactSource.h"
#include "paths/PathResolver.h"
#include "report/Report.h"
#include "rules/ActionReading.h"

namespace dorvanta {
namespace {

// The shortcut file's name with the suffix of the machine whose facts the walk
// reads, added when missing.
std::wstring WithShortcutSuffix(FactSource& source, std::wstring name) {
  const std::wstring_view suffix = source.ShortcutSuffix();
  if (name.empty()) return name;
  if (name.size() < suffix.size() ||
      LowerAscii(std::wstring_view(name).substr(name.size() - suffix.size())) != suffix) {
    name.append(suffix);
  }
  return name;
}

}  // namespace

ActionResult RunDesktopShortcutAction(RunContext& context, const std::wstring& value,
                                      const std::wstring& /*section*/, ActionExecutor& executor) {
  ActionResult result;
  result.Name = L"DesktopShortcut";
  // The pieces are taken one at a time: the shortcut's paths are resolved
  // (and reported) before a piece too many is.
  const ShortcutReading reading = ReadShortcut(value);
  const std::wstring name =
      WithShortcutSuffix(context.Source, ResolvePath(context, reading.Pieces.front()));
  const std::wstring path =
      reading.Pieces.size() > 1 ? ResolvePath(context, reading.Pieces[1]) : L"";
  std::wstring parameter(reading.Piece(2));
  std::wstring icon;
  if (reading.Pieces.size() > 3) {
    icon = ResolvePath(context, reading.Pieces[3]);
    if (name.empty()) return result;
  }
  if (reading.Has(ActionFault::TooManyParameters)) {
    // Silently dropping part of a line would hide a mistake in it.
    Report(context.Sink, L"ERROR: Action DesktopShortcut only supports 6 parameters!\n");
    return result;
  }
  const std::int32_t iconNumber = reading.IconNumber.Value;

  if (name.empty() || path.empty() || parameter.empty()) {
    Report(
        context.Sink,
        L"ERROR: Action DesktopShortcut parameter 1, 2 and 3 are mandatory (parameter 3 has to be "
        L"\"[NONE]\" if empty) or could not resolve CSIDL!\n");
    return result;
  }
  if (iconNumber == kNoIconNumber && !icon.empty()) {
    Report(context.Sink,
           L"ERROR: Action DesktopShortcut parameter 5 requires a valid parameter 6!\n");
    return result;
  }
  if (parameter == L"[NONE]") parameter.clear();

  // The first insert is always empty: the report line has two blanks after "Create".
  Report(context.Sink, L"Create %s Shortcut %s for %s %s", L"", context.Sink.Shown(name),
         context.Sink.Shown(path), parameter);
  if (iconNumber == kNoIconNumber) {
    Report(context.Sink, L"\n");
  } else {
    Report(context.Sink, L" Icon in %s #%d\n", icon, iconNumber);
  }
  const ShortcutRequest request{name, path, parameter, icon, iconNumber};
  result.Request = request;
  result.Outcome = executor.CreateShortcut(request, context.Sink);
  // A written shortcut ends its report with an empty line.
  if (result.Outcome.Done) Report(context.Sink, L"\n");
  return result;
}

}  // namespace dorvanta
