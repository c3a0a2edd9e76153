#include "criteria/FileExistsCriterion.h"

#include <optional>

#include "criteria/CompareOp.h"
#include "paths/PathResolver.h"
#include "platform/FileSystem.h"

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
  return ReportPresence(*split, exists, path, section, key);
}

}  // namespace dorvanta
