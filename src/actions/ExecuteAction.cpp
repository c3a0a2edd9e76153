#include "actions/ExecuteAction.h"

#include <string_view>

#include "common/Text.h"
#include "paths/PathResolver.h"
#include "report/Report.h"
#include "rules/ActionReading.h"

namespace dorvanta {

ActionResult RunExecuteAction(RunContext& context, const std::wstring& value,
                              const std::wstring& /*section*/, ActionExecutor& executor) {
  ActionResult result;
  result.Name = L"Execute";
  // The pieces are taken one at a time, so an error in one stops the action
  // before the next is looked at.
  const ExecuteReading reading = ReadExecute(value);
  if (!reading.Wait) {
    Report(context.Sink,
           L"ERROR: Action Execute parameter 1 only supports WAIT or NOWAIT not %s!\n",
           UpperAscii(reading.Pieces.front()));
    return result;
  }
  std::wstring path;
  if (reading.Pieces.size() > 1) {
    // Empty after a report of ResolvePath, or silently for an empty piece.
    path = ResolvePath(context, reading.Pieces[1]);
    if (path.empty()) return result;
  }
  if (reading.Has(ActionFault::TooManyParameters)) {
    Report(context.Sink, L"ERROR: Action Execute only supports 3 parameters!\n");
    return result;
  }
  // Only a value without any comma comes here without a path.
  if (path.empty()) {
    Report(context.Sink, L"ERROR: Action Execute parameter 1 and 2 are mandatory!\n");
    return result;
  }
  const std::wstring parameter(reading.Piece(2));
  Report(context.Sink, L"Execute %s %s ", context.Sink.Shown(path), parameter);
  Report(context.Sink, L"%s", *reading.Wait ? L"(WAIT)\n" : L"(NOWAIT)\n");
  const ExecuteRequest request{path, parameter, *reading.Wait};
  result.Request = request;
  result.Outcome = executor.Execute(request, context.Sink);
  return result;
}

}  // namespace dorvanta
