// The cases of dvtool test (schema/cases.schema.json): each a machine's facts,
// taken from a facts document and changed where the case says, and the pairs
// of the rule file that should hold and that should stay unknown there.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "facts/FactsSnapshot.h"

namespace dorvanta::tool {

struct RuleTestCase {
  std::wstring Name;
  FactsSnapshot Facts;
  std::vector<int> Holds;    // ascending
  std::vector<int> Unknown;  // ascending, none of Holds
};

struct CasesFile {
  std::vector<RuleTestCase> Cases;      // in the file's order, their names all different
  std::vector<std::wstring> Documents;  // the facts documents read, each once
};

// The cases of the file at `path` with the facts documents they name (a path
// relative to the cases file's folder); nothing after the reason in `error`,
// which names the case it concerns, when the file, a case or a document is
// not what the schema says or cannot be read.
std::optional<CasesFile> ReadCasesFile(const std::wstring& path, std::wstring& error);

}  // namespace dorvanta::tool
