#include "criteria/HardwareIdCriteria.h"

#include <optional>

#include "criteria/CompareOp.h"
#include "criteria/ResultLine.h"
#include "facts/HardwareIds.h"

namespace dorvanta {

CriterionResult CheckHardwareIdCriterion(const std::wstring& value, const std::wstring& section,
                                         const std::wstring& key, bool prefixMatch) {
  const std::optional<CriterionValue> split = SplitCriterionValue(value);
  if (!split) return ReportMissingComma(section, key);
  const std::wstring& id = split->Operand;
  // The search runs before the operator is looked at.
  const bool found = FindHardwareId(std::wstring_view(id), prefixMatch);
  return ReportPresence(*split, found, id, section, key);
}

}  // namespace dorvanta
