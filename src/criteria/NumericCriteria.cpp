#include "criteria/NumericCriteria.h"

#include <optional>

#include "common/Text.h"
#include "criteria/CompareOp.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

// The steps every numeric kind shares. `Narrow` is the unsigned type in which the
// fact and the INI number are compared; the result line shows both in that width
// (the full signed number for the 32-bit kind).
template <typename Narrow>
bool CheckNumber(const std::wstring& value, Narrow fact, const std::wstring& section,
                 const std::wstring& key, OperatorSet accepted) {
  const std::optional<CriterionValue> split = SplitCriterionValue(value);
  if (!split) {
    ReportMissingComma(section, key);
    return false;
  }
  const std::int32_t number = ParseDecimal(split->Operand);
  const std::optional<CompareOp> op = ParseCompareOp(split->Operator, accepted);
  if (!op) {
    ReportInvalidOperator(split->Operator, key, section);
    return false;
  }
  const auto ini = static_cast<Narrow>(number);
  const bool holds = Holds<Narrow>(*op, fact, ini);
  if constexpr (sizeof(Narrow) == 4) {
    Report(L"%s OS=%ld %s INI=%ld", key, fact, split->Operator, number);
  } else if constexpr (sizeof(Narrow) == 2) {
    Report(L"%s OS=%ld %s INI=%ld", key, fact, split->Operator, ini);
  } else {
    Report(L"%s OS=%d %s INI=%d", key, fact, split->Operator, ini);
  }
  return ReportVerdict(holds);
}

}  // namespace

bool CheckLongCriterion(const std::wstring& value, std::uint32_t fact, const std::wstring& section,
                        const std::wstring& key) {
  return CheckNumber<std::uint32_t>(value, fact, section, key, OperatorSet::All);
}

bool CheckWordCriterion(const std::wstring& value, std::uint16_t fact, const std::wstring& section,
                        const std::wstring& key) {
  return CheckNumber<std::uint16_t>(value, fact, section, key, OperatorSet::EqualityOnly);
}

bool CheckByteCriterion(const std::wstring& value, std::uint8_t fact, const std::wstring& section,
                        const std::wstring& key) {
  return CheckNumber<std::uint8_t>(value, fact, section, key, OperatorSet::EqualityOnly);
}

}  // namespace dorvanta
