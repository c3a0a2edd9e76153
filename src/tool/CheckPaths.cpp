#include "tool/CheckPaths.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/Text.h"
#include "paths/PathResolver.h"
#include "platform/Environment.h"
#include "report/Format.h"
#include "tool/Spelling.h"

namespace dorvanta::tool {
namespace {

void CheckFolderToken(std::wstring_view path, FindingList& findings) {
  const std::wstring token(FindFolderToken(path));
  if (token.empty() || CsidlFromName(token) >= 0) return;
  std::vector<std::wstring_view> names;
  const std::span<const FolderToken> folders = FolderTokens();
  std::transform(folders.begin(), folders.end(), std::back_inserter(names),
                 [](const FolderToken& folder) { return folder.Name; });
  if (const std::optional<std::wstring_view> sameLetters = SameLetters(token, names)) {
    findings.Add(FindingKind::UnknownFolderToken,
                 Format(L"folder token [%s] is not resolved: folder names are case-sensitive; "
                        L"write [%s]",
                        token, *sameLetters));
  } else if (UpperAscii(token).starts_with(L"CSIDL_")) {
    findings.Add(
        FindingKind::UnknownFolderToken,
        Format(L"unknown folder token [%s]: the run leaves it in the path as written", token) +
            Suggestion(token, names, L"[", L"]"));
  }
}

}  // namespace

void CheckPath(std::wstring_view path, FindingList& findings) {
  CheckFolderToken(path, findings);
  for (std::size_t open = path.find(L'%'); open != std::wstring_view::npos;) {
    const std::size_t close = path.find(L'%', open + 1);
    if (close == std::wstring_view::npos) break;
    const std::wstring reference(path.substr(open, close - open + 1));
    const std::optional<std::wstring> expanded = platform::ExpandEnvironmentReferences(reference);
    if (close > open + 1 && expanded == reference) {
      findings.Add(FindingKind::UnsetVariable,
                   Format(L"%s is not set here: where it is not set either, the run leaves it in "
                          L"the path as written",
                          reference));
      open = close;
    } else {
      open = path.find(L'%', close + 1);
    }
  }
}

void CheckParameters(std::wstring_view parameters, FindingList& findings) {
  const std::wstring token(FindFolderToken(parameters));
  if (!token.empty() && CsidlFromName(token) >= 0) {
    findings.Add(FindingKind::TokenInParameters,
                 Format(L"folder token [%s] in the parameters is not resolved: the program gets "
                        L"it as written; write the folder's path, or execute a script that works "
                        L"it out",
                        token));
  }
  // %NAME% with a name between (no blank in it): the run expands references in
  // the paths it resolves, never in the parameters.
  for (std::size_t open = parameters.find(L'%'); open != std::wstring_view::npos;) {
    const std::size_t close = parameters.find(L'%', open + 1);
    if (close == std::wstring_view::npos) break;
    const std::wstring_view name = parameters.substr(open + 1, close - open - 1);
    if (name.empty() || name.find_first_of(L" \t") != std::wstring_view::npos) {
      open = close;
      continue;
    }
    findings.Add(FindingKind::VariableInParameters,
                 Format(L"%s in the parameters is not expanded: the program gets it as written "
                        L"(the run expands references in paths, never in parameters); write the "
                        L"value, or execute a script that expands it",
                        std::wstring(parameters.substr(open, close - open + 1))));
    open = parameters.find(L'%', close + 1);
  }
}

}  // namespace dorvanta::tool
