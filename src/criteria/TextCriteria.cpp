#include "criteria/TextCriteria.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "common/Text.h"
#include "criteria/CompareOp.h"
#include "report/Report.h"

namespace dorvanta {

bool CheckTextCriterion(const std::wstring& value, const std::wstring& fact,
                        const std::wstring& section, const std::wstring& key) {
  const std::optional<CriterionValue> split = SplitCriterionValue(value);
  if (!split) {
    ReportMissingComma(section, key);
    return false;
  }
  const std::wstring ini = UpperAscii(split->Operand);
  const std::optional<CompareOp> op = ParseCompareOp(split->Operator, OperatorSet::EqualityOnly);
  if (!op) {
    ReportInvalidOperator(split->Operator, key, section);
    return false;
  }
  // Both sides are upper-cased, so a fact with small letters can match.
  const bool holds = Holds(*op, UpperAscii(fact), ini);
  Report(L"%s OS=%s %s INI=%s", key, fact, split->Operator, ini);
  return ReportVerdict(holds);
}

bool CheckFirstCharsCriterion(const std::wstring& value, const std::wstring& fact,
                              const std::wstring& section, const std::wstring& key) {
  const std::optional<CriterionValue> split = SplitCriterionValue(value);
  if (!split) {
    Report(L"ERROR: Missing first ',' in section %s (key: %s)!\n", section, key);
    return false;
  }
  const std::wstring& word = split->Operator;
  // The count part comes back upper-cased; that changes no sign, digit or white space.
  const std::optional<CriterionValue> rest = SplitCriterionValue(split->Operand);
  if (!rest) {
    Report(L"ERROR: Missing second ',' in section %s (key: %s)!\n", section, key);
    return false;
  }
  const std::int32_t count = ParseDecimal(rest->Operator);
  const std::wstring cut =
      count <= 0 ? std::wstring()
                 : UpperAscii(std::wstring_view(fact).substr(0, static_cast<std::size_t>(count)));
  const std::wstring ini = UpperAscii(rest->Operand);
  const std::optional<CompareOp> op = ParseCompareOp(word, OperatorSet::EqualityOnly);
  if (!op) {
    ReportInvalidOperator(word, key, section);
    return false;
  }
  const bool holds = Holds(*op, cut, ini);
  Report(L"%s (first %d characters) OS=%s %s INI=%s", key, count, cut, word, ini);
  return ReportVerdict(holds);
}

}  // namespace dorvanta
