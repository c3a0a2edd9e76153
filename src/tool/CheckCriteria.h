// The lines of one CRITERIAx section, read as the criteria read them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "criteria/CriteriaLine.h"
#include "tool/CheckFindings.h"
#include "tool/Contradictions.h"

namespace dorvanta::tool {

class CriteriaCheck {
 public:
  explicit CriteriaCheck(FindingList& findings) : findings_(findings) {}

  // `key = value`, split as the run splits it; the lines of one section in
  // file order, each after FindingList::At for its line.
  void Line(const std::wstring& key, const std::wstring& value);

 private:
  void Number(const CriterionKey& entry, const std::wstring& key, CompareOp op,
              const std::wstring& operand);
  void FirstChars(const std::wstring& key, CompareOp op, const std::wstring& count,
                  const std::wstring& text);
  void Together(const std::wstring& group, const std::wstring& key, CompareOp op,
                const std::wstring& value, bool singleValued);
  void ReportContradiction(const std::vector<std::size_t>& lines, const std::wstring& what);
  void HardwareId(bool prefix, const std::wstring& key, const std::wstring& id);

  FindingList& findings_;
  Contradictions contradictions_;
};

}  // namespace dorvanta::tool
