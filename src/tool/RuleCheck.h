// The rule-file checker of "dvtool check": what in an INI file makes the run
// do something other than its writer evidently meant, with the file's lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "rules/ProfileParser.h"

namespace dorvanta::tool {

enum class Severity { Error, Warning, Note };

// "error", "warning", "note".
std::wstring_view SeverityName(Severity severity);

struct Finding {
  std::size_t Line;  // 0: the file as a whole
  Severity Level;
  std::wstring_view Code;  // DVnnn, listed in the README
  std::wstring Section;    // as its header writes it; empty outside sections
  std::wstring Message;    // what is wrong, what the run does, what to do
};

// Checks the file as the run reads it (sections, lines, buffer and walk as the
// profile reader and the rule walk take them). Sorted by line, the file's own
// findings first.
std::vector<Finding> CheckRuleFile(const Profile& profile);

}  // namespace dorvanta::tool
