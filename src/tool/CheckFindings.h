// What "dvtool check" reports: each kind of finding with its code and
// severity, listed once, and the list the checks add to.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/Text.h"

namespace dorvanta::tool {

enum class Severity { Error, Warning, Note };

// "error", "warning", "note".
std::wstring_view SeverityName(Severity severity);

enum class FindingKind {
  NoFirstPair,             // DV100
  PairNotReached,          // DV101
  ActionsWithoutCriteria,  // DV102
  CriteriaWithoutActions,  // DV103
  PairOutOfRange,          // DV104
  SectionTooBig,           // DV105
  SectionReadAlready,      // DV106
  LineWithoutEquals,       // DV107
  HashComment,             // DV108
  UnknownKey,              // DV109
  UnknownAction,           // DV110
  InvalidOperator,         // DV111
  MissingComma,            // DV112
  NoCleanNumber,           // DV113
  NumberBeyondWidth,       // DV114
  NoHardwareId,            // DV115
  NoExecuteMode,           // DV116
  ExecuteTooManyPieces,    // DV117
  NoProgram,               // DV118
  ShortcutTooManyPieces,   // DV119
  NoCleanIconNumber,       // DV120
  ShortcutIncomplete,      // DV121
  UnknownFolderToken,      // DV122
  TokenInParameters,       // DV123
  UnsetVariable,           // DV124
  NeverHolds,              // DV125
  SystemReaderDiffers,     // DV126
  LinesBeforeFirstHeader,  // DV127
  PairNameMisspelled,      // DV128, warning
  OtherSection,            // DV128, note
  VariableInParameters,    // DV129
  ChangedByActions,        // DV130
};

struct Finding {
  std::size_t Line;  // 0: the file as a whole
  Severity Level;
  std::wstring_view Code;  // DVnnn, listed in the README
  std::wstring Section;    // as its header writes it; empty outside sections
  std::wstring Message;    // what is wrong, what the run does, what to do
};

Finding MakeFinding(FindingKind kind, std::size_t line, std::wstring section, std::wstring message);

// What a code stands for: every code once, in order, with the severity of
// its findings (a code of two severities: the higher) and a line of help.
struct FindingRule {
  std::wstring_view Code;
  Severity Level;
  std::wstring_view Help;
};
std::vector<FindingRule> FindingRules();

// Sorted by line, findings of one line in the order they were found.
void SortFindings(std::vector<Finding>& findings);

// The findings of one check, each at the line and section last named.
class FindingList {
 public:
  void At(std::size_t line, std::wstring_view section);
  void Add(FindingKind kind, std::wstring message);
  std::size_t Line() const { return line_; }

  // The findings sorted by line.
  std::vector<Finding> Take();

 private:
  std::vector<Finding> findings_;
  std::size_t line_ = 0;
  std::wstring section_;
};

// A number the run reads otherwise than written (`what` names it in the
// message: "the value"), as a finding of `kind`.
void ReportNumberFault(const DecimalReading& reading, std::wstring_view written,
                       std::wstring_view what, FindingKind kind, FindingList& findings);

}  // namespace dorvanta::tool
