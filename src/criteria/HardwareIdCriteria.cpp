#include "criteria/HardwareIdCriteria.h"

#include <optional>

#include "criteria/CompareOp.h"
#include "criteria/ResultLine.h"

namespace dorvanta {

CriterionResult CheckHardwareIdCriterion(RunContext& context, const std::wstring& value,
                                         const std::wstring& section, const std::wstring& key,
                                         bool prefixMatch) {
  const std::optional<CriterionValue> split = SplitCriterionValue(value);
  if (!split) return ReportMissingComma(context.Sink, section, key);
  const std::wstring& id = split->Operand;
  // The search runs before the operator is looked at.
  const bool found = context.Devices.FindHardwareId(std::wstring_view(id), prefixMatch);
  return ReportPresence(context.Sink, *split, found, id, section, key);
}

}  // namespace dorvanta
