#include "criteria/ResultLine.h"

#include <optional>

#include "report/Report.h"

namespace dorvanta {
namespace {

CriterionResult Decided(const std::wstring& op, const std::wstring& operand,
                        const std::wstring& fact, bool holds) {
  return CriterionResult{std::wstring(), op, operand, fact, holds ? Verdict::Holds : Verdict::Fails,
                         false};
}

// The tail is a message of its own, after the line's text.
void ReportTail(bool holds) { Report(L"%s", holds ? L" --> OK\n" : L" --> NG\n"); }

}  // namespace

CriterionResult ReportMissingComma(const std::wstring& section, const std::wstring& key) {
  Report(L"ERROR: Missing ',' in section %s (key: %s)!\n", section, key);
  return Refused();
}

CriterionResult ReportInvalidOperator(const std::wstring& word, const std::wstring& key,
                                      const std::wstring& section) {
  Report(L"ERROR: Operator %s is invalid for %s in section %s\n", word, key, section);
  return Refused(word);
}

CriterionResult ReportComparison(const std::wstring& label, const std::wstring& fact,
                                 const std::wstring& op, const std::wstring& operand, bool holds) {
  Report(L"%s OS=%s %s INI=%s", label, fact, op, operand);
  ReportTail(holds);
  return Decided(op, operand, fact, holds);
}

CriterionResult ReportPresence(const CriterionValue& split, bool present,
                               const std::wstring& subject, const std::wstring& section,
                               const std::wstring& key) {
  const std::optional<CompareOp> op = ParseCompareOp(split.Operator, OperatorSet::EqualityOnly);
  if (!op) return ReportInvalidOperator(split.Operator, key, section);
  const bool holds = (*op == CompareOp::EQ) == present;
  const std::wstring fact = present ? L"exists" : L"does not exist";
  Report(L"%s %s %s (%s)", key, subject, fact, split.Operator);
  ReportTail(holds);
  return CriterionResult{
      {}, split.Operator, subject, fact, holds ? Verdict::Holds : Verdict::Fails, false};
}

CriterionResult ReportUndecidedPresence(const CriterionValue& split, const std::wstring& subject,
                                        const std::wstring& section, const std::wstring& key) {
  if (!ParseCompareOp(split.Operator, OperatorSet::EqualityOnly)) {
    return ReportInvalidOperator(split.Operator, key, section);
  }
  const std::wstring fact = L"unknown here";
  Report(L"%s %s %s (%s) --> ??\n", key, subject, fact, split.Operator);
  return CriterionResult{std::wstring(), split.Operator, subject, fact, Verdict::Unknown, false};
}

}  // namespace dorvanta
