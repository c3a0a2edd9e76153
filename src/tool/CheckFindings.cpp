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
};

using enum FindingKind;

constexpr std::array kKinds{
    KindEntry{NoFirstPair, L"DV100", Severity::Warning},
    KindEntry{PairNotReached, L"DV101", Severity::Error},
    KindEntry{ActionsWithoutCriteria, L"DV102", Severity::Error},
    KindEntry{CriteriaWithoutActions, L"DV103", Severity::Warning},
    KindEntry{PairOutOfRange, L"DV104", Severity::Error},
    KindEntry{SectionTooBig, L"DV105", Severity::Error},
    KindEntry{SectionReadAlready, L"DV106", Severity::Error},
    KindEntry{LineWithoutEquals, L"DV107", Severity::Error},
    KindEntry{HashComment, L"DV108", Severity::Error},
    KindEntry{UnknownKey, L"DV109", Severity::Error},
    KindEntry{UnknownAction, L"DV110", Severity::Error},
    KindEntry{InvalidOperator, L"DV111", Severity::Error},
    KindEntry{MissingComma, L"DV112", Severity::Error},
    KindEntry{NoCleanNumber, L"DV113", Severity::Error},
    KindEntry{NumberBeyondWidth, L"DV114", Severity::Warning},
    KindEntry{NoHardwareId, L"DV115", Severity::Warning},
    KindEntry{NoExecuteMode, L"DV116", Severity::Error},
    KindEntry{ExecuteTooManyPieces, L"DV117", Severity::Error},
    KindEntry{NoProgram, L"DV118", Severity::Error},
    KindEntry{ShortcutTooManyPieces, L"DV119", Severity::Error},
    KindEntry{NoCleanIconNumber, L"DV120", Severity::Error},
    KindEntry{ShortcutIncomplete, L"DV121", Severity::Error},
    KindEntry{UnknownFolderToken, L"DV122", Severity::Error},
    KindEntry{TokenInParameters, L"DV123", Severity::Warning},
    KindEntry{UnsetVariable, L"DV124", Severity::Warning},
    KindEntry{NeverHolds, L"DV125", Severity::Error},
    KindEntry{SystemReaderDiffers, L"DV126", Severity::Warning},
    KindEntry{LinesBeforeFirstHeader, L"DV127", Severity::Warning},
    KindEntry{PairNameMisspelled, L"DV128", Severity::Warning},
    KindEntry{OtherSection, L"DV128", Severity::Note},
};
static_assert(kKinds.size() == static_cast<std::size_t>(OtherSection) + 1,
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
