#include "actions/ExecuteAction.h"

#include <string_view>

#include "common/Text.h"
#include "paths/PathResolver.h"
#include "report/Report.h"

namespace dorvanta {

ActionResult RunExecuteAction(const std::wstring& value, const std::wstring& /*section*/,
                              ActionExecutor& executor) {
  ActionResult result;
  result.Name = L"Execute";
  bool wait = true;
  std::wstring path;
  std::wstring parameter;

  // Every comma separates; the pieces are handled one at a time, so an error
  // in one stops the action before the next is looked at.
  std::wstring_view rest(value);
  for (int piece = 1;; ++piece) {
    const std::size_t comma = rest.find(L',');
    const std::wstring text = Trim(rest.substr(0, comma));
    if (piece == 1) {
      const std::wstring mode = UpperAscii(text);
      if (mode == L"WAIT") {
        wait = true;
      } else if (mode == L"NOWAIT") {
        wait = false;
      } else {
        Report(L"ERROR: Action Execute parameter 1 only supports WAIT or NOWAIT not %s!\n", mode);
        return result;
      }
    } else if (piece == 2) {
      // Empty after a report of ResolvePath, or silently for an empty piece.
      path = ResolvePath(text);
      if (path.empty()) return result;
    } else if (piece == 3) {
      parameter = text;
    } else {
      Report(L"ERROR: Action Execute only supports 3 parameters!\n");
      return result;
    }
    if (comma == std::wstring_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  // Only a value without any comma comes here without a path.
  if (path.empty()) {
    Report(L"ERROR: Action Execute parameter 1 and 2 are mandatory!\n");
    return result;
  }
  Report(L"Execute %s %s ", path, parameter);
  Report(L"%s", wait ? L"(WAIT)\n" : L"(NOWAIT)\n");
  const ExecuteRequest request{path, parameter, wait};
  result.Request = request;
  result.Outcome = executor.Execute(request);
  return result;
}

}  // namespace dorvanta
