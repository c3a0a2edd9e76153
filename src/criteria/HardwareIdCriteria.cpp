#include "criteria/HardwareIdCriteria.h"

#include <optional>

#include "criteria/CompareOp.h"
#include "facts/HardwareIds.h"
#include "report/Report.h"

namespace dorvanta {

bool CheckHardwareIdCriterion(const std::wstring& value, const std::wstring& section,
                              const std::wstring& key, bool prefixMatch) {
  const std::optional<CriterionValue> split = SplitCriterionValue(value);
  if (!split) {
    ReportMissingComma(section, key);
    return false;
  }
  const std::wstring& id = split->Operand;
  // The search runs before the operator is looked at.
  const bool found = FindHardwareId(std::wstring_view(id), prefixMatch);
  const std::optional<CompareOp> op = ParseCompareOp(split->Operator, OperatorSet::EqualityOnly);
  if (!op) {
    ReportInvalidOperator(split->Operator, key, section);
    return false;
  }
  const bool holds = (*op == CompareOp::EQ) == found;
  Report(L"%s %s %s (%s)", key, id, found ? L"exists" : L"does not exist", split->Operator);
  return ReportVerdict(holds);
}

}  // namespace dorvanta
