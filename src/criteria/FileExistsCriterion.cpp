#include "criteria/FileExistsCriterion.h"

#include <optional>

#include "criteria/CompareOp.h"
#include "criteria/ResultLine.h"
#include "paths/PathResolver.h"

namespace dorvanta {

CriterionResult CheckFileExistsCriterion(RunContext& context, const std::wstring& value,
                                         const std::wstring& section, const std::wstring& key,
                                         const std::wstring& unknownBecause) {
  const std::optional<CriterionValue> split = SplitCriterionValue(value);
  if (!split) return ReportMissingComma(context.Sink, section, key);
  // ResolvePath has reported why, where there was a reason.
  const std::wstring path = ResolvePath(context, split->Operand);
  if (path.empty()) return Refused(split->Operator);

  if (!unknownBecause.empty()) {
    return ReportUndecidedPresence(context.Sink, *split, path, unknownBecause, section, key);
  }
  const std::optional<bool> exists = context.Source.PathExists(path);
  if (!exists)
    return ReportUndecidedPresence(context.Sink, *split, path, L"unknown here", section, key);
  return ReportPresence(context.Sink, *split, *exists, path, section, key);
}

}  // namespace dorvanta
