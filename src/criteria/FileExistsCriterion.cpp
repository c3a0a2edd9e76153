#include "criteria/FileExistsCriterion.h"

#include <optional>

#include "criteria/CompareOp.h"
#include "criteria/ResultLine.h"
#include "facts/FactSource.h"
#include "paths/PathResolver.h"

namespace dorvanta {

CriterionResult CheckFileExistsCriterion(const std::wstring& value, const std::wstring& section,
                                         const std::wstring& key) {
  const std::optional<CriterionValue> split = SplitCriterionValue(value);
  if (!split) return ReportMissingComma(section, key);
  // ResolvePath has reported why, where there was a reason.
  const std::wstring path = ResolvePath(split->Operand);
  if (path.empty()) return Refused(split->Operator);

  const std::optional<bool> exists = CurrentFactSource().PathExists(path);
  if (!exists) return ReportUndecidedPresence(*split, path, section, key);
  return ReportPresence(*split, *exists, path, section, key);
}

}  // namespace dorvanta
