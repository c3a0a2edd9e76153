#include "criteria/NumericCriteria.h"

#include <optional>

#include "common/Text.h"
#include "criteria/CompareOp.h"
#include "criteria/ResultLine.h"
#include "report/Format.h"

namespace dorvanta {
namespace {

// The steps every numeric kind shares. `Narrow` is the unsigned type in which the
// fact and the INI number are compared; the result line shows both in that width
// (the full signed number for the 32-bit kind).
template <typename Narrow>
CriterionResult CheckNumber(ReportSink& sink, const std::wstring& value, Narrow fact,
                            const std::wstring& section, const std::wstring& key,
                            OperatorSet accepted) {
  const std::optional<CriterionValue> split = SplitCriterionValue(value);
  if (!split) return ReportMissingComma(sink, section, key);
  const std::int32_t number = ParseDecimal(split->Operand);
  const std::optional<CompareOp> op = ParseCompareOp(split->Operator, accepted);
  if (!op) return ReportInvalidOperator(sink, split->Operator, key, section);
  const auto ini = static_cast<Narrow>(number);
  const bool holds = Holds<Narrow>(*op, fact, ini);
  if constexpr (sizeof(Narrow) == 4) {
    return ReportComparison(sink, key, Format(L"%ld", fact), split->Operator,
                            Format(L"%ld", number), holds);
  } else if constexpr (sizeof(Narrow) == 2) {
    return ReportComparison(sink, key, Format(L"%ld", fact), split->Operator, Format(L"%ld", ini),
                            holds);
  } else {
    return ReportComparison(sink, key, Format(L"%d", fact), split->Operator, Format(L"%d", ini),
                            holds);
  }
}

}  // namespace

CriterionResult CheckLongCriterion(ReportSink& sink, const std::wstring& value, std::uint32_t fact,
                                   const std::wstring& section, const std::wstring& key) {
  return CheckNumber<std::uint32_t>(sink, value, fact, section, key, OperatorSet::All);
}

CriterionResult CheckWordCriterion(ReportSink& sink, const std::wstring& value, std::uint16_t fact,
                                   const std::wstring& section, const std::wstring& key) {
  return CheckNumber<std::uint16_t>(sink, value, fact, section, key, OperatorSet::EqualityOnly);
}

CriterionResult CheckByteCriterion(ReportSink& sink, const std::wstring& value, std::uint8_t fact,
                                   const std::wstring& section, const std::wstring& key) {
  return CheckNumber<std::uint8_t>(sink, value, fact, section, key, OperatorSet::EqualityOnly);
}

}  // namespace dorvanta
