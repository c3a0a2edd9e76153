#include "tool/RuleCheck.h"

#include <optional>
#include <string>

#include "report/Format.h"
#include "report/SectionLine.h"
#include "rules/PairName.h"
#include "tool/CheckActions.h"
#include "tool/CheckCriteria.h"
#include "tool/CheckFile.h"

namespace dorvanta::tool {
namespace {

// The line as `key = value`, as the run splits it; nothing when the run goes
// no further.
std::optional<SectionLine> CheckLineForm(const std::wstring& line, bool criteria,
                                         FindingList& findings) {
  const wchar_t* what = criteria ? L"the criteria of this pair never hold" : L"it runs nothing";
  if (line.starts_with(L'#')) {
    findings.Add(FindingKind::HashComment,
                 Format(L"'#' starts no comment for the run: the line is read as a %s and %s; "
                        L"start comments with ';'",
                        criteria ? L"criterion" : L"action", what));
    return std::nullopt;
  }
  std::optional<SectionLine> split = ReadSectionLine(line);
  if (!split) {
    findings.Add(FindingKind::LineWithoutEquals,
                 Format(L"line without '=': the run reports it and %s; write key = value, or "
                        L"start a comment with ';'",
                        what));
  }
  return split;
}

}  // namespace

std::vector<Finding> CheckRuleFile(const Profile& profile) {
  FindingList findings;
  const std::vector<Profile::OutlineSection> outline = profile.Outline();
  CheckOutline(profile, outline, findings);
  for (const Profile::OutlineSection& section : outline) {
    if (!WalkReads(section)) continue;
    const bool criteria = ReadPairName(section.Name)->Side == PairSide::Criteria;
    CriteriaCheck criteriaCheck(findings);
    for (const Profile::NumberedLine& line : section.Lines) {
      findings.At(line.Number, section.Name);
      const std::optional<SectionLine> split = CheckLineForm(line.Text, criteria, findings);
      if (!split) continue;
      if (criteria) {
        criteriaCheck.Line(split->Key, split->Value);
      } else {
        CheckActionLine(split->Key, split->Value, findings);
      }
    }
  }
  return findings.Take();
}

}  // namespace dorvanta::tool
