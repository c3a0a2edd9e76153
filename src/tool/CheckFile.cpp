#include "tool/CheckFile.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "common/Text.h"
#include "criteria/CriteriaLine.h"
#include "report/Format.h"
#include "report/SectionLine.h"
#include "rules/PairName.h"
#include "rules/PairWalk.h"
#include "rules/RuleDriver.h"

namespace dorvanta::tool {
namespace {

using Section = Profile::OutlineSection;

bool InWalk(const PairName& pair) {
  return pair.Pair >= 1 && pair.Pair <= static_cast<std::uint32_t>(kMaxSectionPairs);
}

// Sections the run never reads: lines before the first header, later sections
// of a name, names outside CRITERIA1..256 and ACTION1..256.
void CheckSections(const std::vector<Section>& outline, FindingList& findings) {
  std::map<std::wstring, std::size_t> firstHeader;
  for (const Section& section : outline) {
    if (section.HeaderLine == 0) {
      findings.At(section.Lines.front().Number, std::wstring());
      findings.Add(FindingKind::LinesBeforeFirstHeader,
                   L"lines before the first section header are never read; move them into a "
                   L"section or start them with ';'");
      continue;
    }
    findings.At(section.HeaderLine, section.Name);
    const std::wstring folded = UpperAscii(section.Name);
    if (!section.Read) {
      // A name that only the lines before the first header share (an empty
      // one) names no section the walk could read.
      const auto first = firstHeader.find(folded);
      if (first == firstHeader.end()) continue;
      findings.Add(FindingKind::SectionReadAlready,
                   Format(L"[%s] is read already at line %u (section names match without case); "
                          L"the run never reads this second one: merge its lines into the first "
                          L"or renumber it",
                          section.Name, static_cast<std::uint32_t>(first->second)));
      continue;
    }
    firstHeader.emplace(folded, section.HeaderLine);
    const std::optional<PairName> pair = ReadPairName(section.Name);
    if (pair && !InWalk(*pair)) {
      findings.Add(FindingKind::PairOutOfRange,
                   Format(L"[%s] is never read: the run reads the pairs 1 to %d only; renumber it "
                          L"within 1..%d",
                          section.Name, kMaxSectionPairs, kMaxSectionPairs));
    } else if (!pair && PairSideOf(section.Name)) {
      findings.Add(FindingKind::PairNameMisspelled,
                   Format(L"[%s] is never read: the run reads sections named CRITERIAn and "
                          L"ACTIONn, n written in plain digits without blanks or leading zeros",
                          section.Name));
    } else if (!pair) {
      findings.Add(FindingKind::OtherSection,
                   Format(L"[%s] is no CRITERIAn or ACTIONn section; the run does not read it",
                          section.Name));
    }
  }
}

void CheckBuffer(const Profile& profile, const Section& section, FindingList& findings) {
  std::vector<wchar_t> buffer(kSectionBufferSize);
  if (profile.ReadSection(section.Name, buffer) != buffer.size() - 2) return;
  findings.At(section.HeaderLine, section.Name);
  findings.Add(FindingKind::SectionTooBig,
               Format(L"[%s] does not fit the run's section buffer of %u characters: the run "
                      L"stops there with exit code 1; move some of its lines into another pair",
                      section.Name, static_cast<std::uint32_t>(kSectionBufferSize)));
}

// The lines of the reached CRITERIAx (pair `pair`) whose keys actions may
// change, tested after the actions of pair `first` and of `others` more pairs.
void CheckChangedByActions(const Section& section, std::uint32_t pair, std::uint32_t first,
                           std::uint32_t others, FindingList& findings) {
  std::wstring whose = Format(L"pair %u's actions", first);
  if (others == 1) whose = Format(L"the actions of pair %u and of one more pair", first);
  if (others > 1) whose = Format(L"the actions of pair %u and of %u more pairs", first, others);
  for (const Profile::NumberedLine& line : section.Lines) {
    const std::optional<SectionLine> split = ReadSectionLine(line.Text);
    if (!split) continue;
    const CriterionKey* const key = FindCriterionKey(split->Key);
    if (key == nullptr || !key->ActionsMayChange) continue;
    findings.At(line.Number, section.Name);
    findings.Add(FindingKind::ChangedByActions,
                 Format(L"%s is tested after %s, which run first when their criteria hold and "
                        L"may change what it tests: whether pair %u runs depends on what they "
                        L"did (dvtool explain shows the line as unknown)",
                        split->Key, whose, pair));
  }
}

using SectionsByPair = std::map<std::uint32_t, const Section*>;

bool HasLines(const SectionsByPair& sections, std::uint32_t x) {
  const auto found = sections.find(x);
  return found != sections.end() && !found->second->Lines.empty();
}

// Follows the walk over the pairs to where it stops, noting on the way the
// criteria lines of each reached pair that the actions of an earlier pair may
// change.
PairsEnd CheckReachedPairs(const SectionsByPair& criteria, const SectionsByPair& actions,
                           FindingList& findings) {
  std::uint32_t firstActions = 0;
  std::uint32_t laterActions = 0;
  return WalkPairs(
      [&](int x) -> std::optional<bool> {
        return HasLines(criteria, static_cast<std::uint32_t>(x));
      },
      [&](int x) {
        const auto pair = static_cast<std::uint32_t>(x);
        if (firstActions != 0) {
          CheckChangedByActions(*criteria.at(pair), pair, firstActions, laterActions, findings);
        }
        if (HasLines(actions, pair)) {
          if (firstActions == 0) {
            firstActions = pair;
          } else {
            ++laterActions;
          }
        }
        return true;
      });
}

// The walk: where it stops, which pairs it never reaches, pairs without their
// other half, sections that do not fit the section buffer, criteria lines that
// the actions of an earlier pair may change.
void CheckWalk(const Profile& profile, const std::vector<Section>& outline, FindingList& findings) {
  SectionsByPair criteria;
  SectionsByPair actions;
  for (const Section& section : outline) {
    if (!WalkReads(section)) continue;
    const PairName pair = *ReadPairName(section.Name);
    (pair.Side == PairSide::Criteria ? criteria : actions).emplace(pair.Pair, &section);
    CheckBuffer(profile, section, findings);
  }
  const PairsEnd end = CheckReachedPairs(criteria, actions, findings);
  const auto stop = static_cast<std::uint32_t>(end.Pair);
  if (criteria.empty()) {
    findings.At(0, std::wstring());
    findings.Add(FindingKind::NoFirstPair,
                 Format(L"the file has no [%s]: the run reads nothing of it; number the pairs "
                        L"from 1",
                        PairSectionName(PairSide::Criteria, 1)));
  }
  const std::wstring stopName = PairSectionName(PairSide::Criteria, static_cast<int>(stop));
  const std::wstring why = criteria.contains(stop) ? Format(L"[%s] has no lines", stopName)
                                                   : Format(L"there is no [%s]", stopName);
  for (const auto& [x, section] : criteria) {
    findings.At(section->HeaderLine, section->Name);
    if (x > stop && !section->Lines.empty()) {
      findings.Add(FindingKind::PairNotReached,
                   Format(L"pair %u is never reached: the walk stops at %s (%s); number the pairs "
                          L"without gaps",
                          x, stopName, why));
    } else if (x < stop && !HasLines(actions, x)) {
      findings.Add(FindingKind::CriteriaWithoutActions,
                   Format(L"[%s] has no [%s] with lines: when its criteria hold, nothing runs; "
                          L"add the actions or remove the criteria",
                          section->Name, PairSectionName(PairSide::Actions, static_cast<int>(x))));
    }
  }
  for (const auto& [x, section] : actions) {
    if (HasLines(criteria, x) || section->Lines.empty()) continue;
    findings.At(section->HeaderLine, section->Name);
    findings.Add(FindingKind::ActionsWithoutCriteria,
                 Format(L"[%s] has no [%s] with lines: its actions never run; add the criteria (a "
                        L"pair runs its actions only when every criteria line holds)",
                        section->Name, PairSectionName(PairSide::Criteria, static_cast<int>(x))));
  }
}

}  // namespace

bool WalkReads(const Profile::OutlineSection& section) {
  const std::optional<PairName> pair = ReadPairName(section.Name);
  return section.Read && pair && InWalk(*pair);
}

void CheckOutline(const Profile& profile, const std::vector<Section>& outline,
                  FindingList& findings) {
  CheckSections(outline, findings);
  CheckWalk(profile, outline, findings);
}

}  // namespace dorvanta::tool
