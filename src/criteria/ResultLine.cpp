#include "criteria/ResultLine.h"

#include <optional>
#include <utility>

#include "report/Report.h"

namespace dorvanta {
namespace {

// The tail is a message of its own, after the line's text.
void ReportTail(ReportSink& sink, bool holds) {
  Report(sink, L"%s", holds ? L" --> OK\n" : L" --> NG\n");
}

}  // namespace

CriterionResult ReportMissingComma(ReportSink& sink, const std::wstring& section,
                                   const std::wstring& key) {
  Report(sink, L"ERROR: Missing ',' in section %s (key: %s)!\n", section, key);
  return Refused();
}

CriterionResult ReportInvalidOperator(ReportSink& sink, const std::wstring& word,
                                      const std::wstring& key, const std::wstring& section) {
  Report(sink, L"ERROR: Operator %s is invalid for %s in section %s\n", word, key, section);
  return Refused(word);
}

CriterionResult ReportComparison(ReportSink& sink, const std::wstring& label, std::wstring fact,
                                 std::wstring op, std::wstring operand, bool holds) {
  if (sink.Wanted()) {
    Report(sink, L"%s OS=%s %s INI=%s", label, sink.Shown(fact), op, operand);
    ReportTail(sink, holds);
  }
  return CriterionResult{{},
                         std::move(op),
                         std::move(operand),
                         std::move(fact),
                         holds ? Verdict::Holds : Verdict::Fails,
                         false};
}

CriterionResult ReportPresence(ReportSink& sink, const CriterionValue& split, bool present,
                               const std::wstring& subject, const std::wstring& section,
                               const std::wstring& key) {
  const std::optional<CompareOp> op = ParseCompareOp(split.Operator, OperatorSet::EqualityOnly);
  if (!op) return ReportInvalidOperator(sink, split.Operator, key, section);
  const bool holds = (*op == CompareOp::EQ) == present;
  std::wstring fact = present ? L"exists" : L"does not exist";
  Report(sink, L"%s %s %s (%s)", key, subject, fact, split.Operator);
  ReportTail(sink, holds);
  return CriterionResult{
      {}, split.Operator, subject, std::move(fact), holds ? Verdict::Holds : Verdict::Fails, false};
}

CriterionResult ReportUndecidedPresence(ReportSink& sink, const CriterionValue& split,
                                        const std::wstring& subject, const std::wstring& why,
                                        const std::wstring& section, const std::wstring& key) {
  if (!ParseCompareOp(split.Operator, OperatorSet::EqualityOnly)) {
    return ReportInvalidOperator(sink, split.Operator, key, section);
  }
  Report(sink, L"%s %s %s (%s) --> ??\n", key, subject, why, split.Operator);
  return CriterionResult{std::wstring(), split.Operator, subject, why, Verdict::Unknown, false};
}

}  // namespace dorvanta
