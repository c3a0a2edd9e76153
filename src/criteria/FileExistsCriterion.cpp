#include "criteria/FileExistsCriterion.h"

#include <optional>

#include "criteria/CompareOp.h"
#include "paths/PathResolver.h"
#include "platform/FileSystem.h"
#include "report/Report.h"

namespace dorvanta {

bool CheckFileExistsCriterion(const std::wstring& value, const std::wstring& section,
                              const std::wstring& key) {
  const std::optional<CriterionValue> split = SplitCriterionValue(value);
  if (!split) {
    ReportMissingComma(section, key);
    return false;
  }
  // ResolvePath has reported why, where there was a reason.
  const std::wstring path = ResolvePath(split->Operand);
  if (path.empty()) return false;

  const bool exists = platform::PathExists(path);
  const std::optional<CompareOp> op = ParseCompareOp(split->Operator, OperatorSet::EqualityOnly);
  if (!op) {
    ReportInvalidOperator(split->Operator, key, section);
    return false;
  }
  const bool holds = (*op == CompareOp::EQ) == exists;
  Report(L"%s %s %s (%s)", key, path, exists ? L"exists" : L"does not exist", split->Operator);
  return ReportVerdict(holds);
}

}  // namespace dorvanta
