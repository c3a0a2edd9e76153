#include "criteria/TextCriteria.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "common/Text.h"
#include "criteria/CompareOp.h"
#include "criteria/ResultLine.h"
#include "report/Report.h"

namespace dorvanta {

CriterionResult CheckTextCriterion(ReportSink& sink, const std::wstring& value,
                                   const std::wstring& fact, const std::wstring& section,
                                   const std::wstring& key) {
  const std::optional<CriterionValue> split = SplitCriterionValue(value);
  if (!split) return ReportMissingComma(sink, section, key);
  std::wstring ini = UpperAscii(split->Operand);
  const std::optional<CompareOp> op = ParseCompareOp(split->Operator, OperatorSet::EqualityOnly);
  if (!op) return ReportInvalidOperator(sink, split->Operator, key, section);
  // Both sides are upper-cased, so a fact with small letters can match.
  const bool holds = Holds(*op, UpperAscii(fact), ini);
  return ReportComparison(sink, key, fact, split->Operator, std::move(ini), holds);
}

CriterionResult CheckFirstCharsCriterion(ReportSink& sink, const std::wstring& value,
                                         const std::wstring& fact, const std::wstring& section,
                                         const std::wstring& key) {
  const std::optional<CriterionValue> split = SplitCriterionValue(value);
  if (!split) {
    Report(sink, L"ERROR: Missing first ',' in section %s (key: %s)!\n", section, key);
    return Refused();
  }
  const std::wstring& word = split->Operator;
  // The count part comes back upper-cased; that changes no sign, digit or white space.
  const std::optional<CriterionValue> rest = SplitCriterionValue(split->Operand);
  if (!rest) {
    Report(sink, L"ERROR: Missing second ',' in section %s (key: %s)!\n", section, key);
    return Refused(word);
  }
  const std::int32_t count = ParseDecimal(rest->Operator);
  const std::wstring cut =
      count <= 0 ? std::wstring()
                 : UpperAscii(std::wstring_view(fact).substr(0, static_cast<std::size_t>(count)));
  const std::wstring ini = UpperAscii(rest->Operand);
  const std::optional<CompareOp> op = ParseCompareOp(word, OperatorSet::EqualityOnly);
  if (!op) return ReportInvalidOperator(sink, word, key, section);
  const bool holds = Holds(*op, cut, ini);
  // The label is made only for a sink that takes messages.
  const std::wstring label =
      sink.Wanted() ? Format(L"%s (first %d characters)", key, count) : std::wstring();
  return ReportComparison(sink, label, cut, word, ini, holds);
}

}  // namespace dorvanta
