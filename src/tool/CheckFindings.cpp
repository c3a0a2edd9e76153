#include "tool/CheckFindings.h"

#include <algorithm>
#include <array>
#include <utility>

#include "report/Format.h"

namespace dorvanta::tool {
namespace {

struct KindEntry {
  FindingKind Kind;
  // Read through the iterator of a search, which cppcheck does not follow.
  // cppcheck-suppress unusedStructMember
  std::wstring_view Code;
  // cppcheck-suppress unusedStructMember
  Severity Level;
  // cppcheck-suppress unusedStructMember
  std::wstring_view Help;  // what the code stands for, in a line
};

using enum FindingKind;

constexpr std::array kKinds{
    KindEntry{NoFirstPair, L"DV100", Severity::Warning,
              L"the file has no CRITERIAn section at all: the run reads nothing"},
    KindEntry{
        PairNotReached, L"DV101", Severity::Error,
        L"a pair is never reached: a gap (a missing or empty CRITERIAk) stops the walk before it"},
    KindEntry{ActionsWithoutCriteria, L"DV102", Severity::Error,
              L"an ACTIONn without a CRITERIAn that has lines: never run"},
    KindEntry{CriteriaWithoutActions, L"DV103", Severity::Warning,
              L"a CRITERIAn without an ACTIONn that has lines: nothing runs when it holds"},
    KindEntry{PairOutOfRange, L"DV104", Severity::Error,
              L"CRITERIA0, CRITERIA257 and above (or ACTION): never read"},
    KindEntry{SectionTooBig, L"DV105", Severity::Error,
              L"the section does not fit the 4096-character section buffer: the run stops with "
              L"exit code 1"},
    KindEntry{SectionReadAlready, L"DV106", Severity::Error,
              L"a later section of a name already seen (names match without case): never read"},
    KindEntry{LineWithoutEquals, L"DV107", Severity::Error, L"a line without '='"},
    KindEntry{HashComment, L"DV108", Severity::Error,
              L"a line starting with '#': no comment to the reader (use ';')"},
    KindEntry{UnknownKey, L"DV109", Severity::Error, L"an unknown criteria key"},
    KindEntry{UnknownAction, L"DV110", Severity::Error,
              L"an unknown action, or an action name in other letter case"},
    KindEntry{InvalidOperator, L"DV111", Severity::Error,
              L"an operator not valid for the key, or no operator"},
    KindEntry{MissingComma, L"DV112", Severity::Error,
              L"a value without its comma (<operator>,<value>; DMIPANumber <operator>,<n>,<text>)"},
    KindEntry{
        NoCleanNumber, L"DV113", Severity::Error,
        L"a number that is none or has text after it (GE,ten reads as 0, GE,10.0.19045 as 10)"},
    KindEntry{NumberBeyondWidth, L"DV114", Severity::Warning,
              L"a number outside the key's unsigned width"},
    KindEntry{
        NoHardwareId, L"DV115", Severity::Warning,
        L"a HWID or HWIDLeft value of no hardware-ID form (enumerator, backslash, device part)"},
    KindEntry{NoExecuteMode, L"DV116", Severity::Error,
              L"Execute without WAIT or NOWAIT as its first parameter"},
    KindEntry{ExecuteTooManyPieces, L"DV117", Severity::Error,
              L"Execute with more than three parameters (a comma inside the parameters)"},
    KindEntry{NoProgram, L"DV118", Severity::Error, L"Execute without a program"},
    KindEntry{ShortcutTooManyPieces, L"DV119", Severity::Error,
              L"DesktopShortcut with more than five parameters"},
    KindEntry{NoCleanIconNumber, L"DV120", Severity::Error,
              L"a DesktopShortcut icon number that is none or has text after it"},
    KindEntry{ShortcutIncomplete, L"DV121", Severity::Error,
              L"DesktopShortcut without name, target or parameters ([NONE]), or an icon file "
              L"without icon number"},
    KindEntry{UnknownFolderToken, L"DV122", Severity::Error,
              L"an unknown or lower-case folder token in a path"},
    KindEntry{TokenInParameters, L"DV123", Severity::Warning,
              L"a folder token in parameters: passed to the program as written"},
    KindEntry{UnsetVariable, L"DV124", Severity::Warning,
              L"%NAME% in a path not set on the checking machine"},
    KindEntry{
        NeverHolds, L"DV125", Severity::Error,
        L"criteria of one section that can never hold together, or a line that never holds alone"},
    KindEntry{SystemReaderDiffers, L"DV126", Severity::Warning,
              L"the system's profile reader returns a section otherwise than the check read it"},
    KindEntry{LinesBeforeFirstHeader, L"DV127", Severity::Warning,
              L"lines before the first section header: never read"},
    KindEntry{PairNameMisspelled, L"DV128", Severity::Warning, L"a section the run never reads"},
    KindEntry{OtherSection, L"DV128", Severity::Note, L"a section the run never reads"},
    KindEntry{VariableInParameters, L"DV129", Severity::Warning,
              L"%NAME% in Execute or DesktopShortcut parameters: passed to the program as written"},
    KindEntry{ChangedByActions, L"DV130", Severity::Note,
              L"a FileExists line that an earlier pair's actions may change: its pair depends on "
              L"what they did"},
};
static_assert(kKinds.size() == static_cast<std::size_t>(ChangedByActions) + 1,
              "every kind of finding has its code and severity");

}  // namespace

std::wstring_view SeverityName(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return L"error";
    case Severity::Warning:
      return L"warning";
    case Severity::Note:
      return L"note";
  }
  return L"note";
}

Finding MakeFinding(FindingKind kind, std::size_t line, std::wstring section,
                    std::wstring message) {
  const auto* const entry = std::find_if(kKinds.begin(), kKinds.end(),
                                         [&](const KindEntry& e) { return e.Kind == kind; });
  return Finding{line, entry->Level, entry->Code, std::move(section), std::move(message)};
}

std::vector<FindingRule> FindingRules() {
  std::vector<FindingRule> rules;
  for (const KindEntry& entry : kKinds) {
    // A code of two kinds is listed once, with the severity of its first.
    if (!rules.empty() && rules.back().Code == entry.Code) continue;
    rules.push_back(FindingRule{entry.Code, entry.Level, entry.Help});
  }
  return rules;
}

void SortFindings(std::vector<Finding>& findings) {
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.Line < b.Line; });
}

void FindingList::At(std::size_t line, std::wstring_view section) {
  line_ = line;
  section_ = section;
}

void FindingList::Add(FindingKind kind, std::wstring message) {
  findings_.push_back(MakeFinding(kind, line_, section_, std::move(message)));
}

std::vector<Finding> FindingList::Take() {
  SortFindings(findings_);
  return std::move(findings_);
}

void ReportNumberFault(const DecimalReading& reading, std::wstring_view written,
                       std::wstring_view what, FindingKind kind, FindingList& findings) {
  switch (reading.Fault) {
    case NumberFault::None:
      return;
    case NumberFault::TextAfterNumber:
      findings.Add(kind, Format(L"%s \"%s\" has text after its number: the run reads it as %d; "
                                L"write a plain decimal number",
                                what, Trim(written), reading.Value));
      return;
    case NumberFault::NoNumber:
      findings.Add(kind, Format(L"%s \"%s\" is no number: the run reads it as %d; write a plain "
                                L"decimal number",
                                what, Trim(written), reading.Value));
      return;
  }
}

}  // namespace dorvanta::tool
