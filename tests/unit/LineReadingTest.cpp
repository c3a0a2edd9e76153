// The pure readings of rule lines that the run and the check share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Text.h"
#include "criteria/CompareOp.h"
#include "rules/ActionReading.h"
#include "rules/PairName.h"

namespace dorvanta {
namespace {

using Faults = std::vector<ActionFault>;

TEST(NumberReading, SaysWhatTheRunIgnores) {
  EXPECT_EQ(ReadDecimal(L" 42 ").Fault, NumberFault::None);
  EXPECT_EQ(ReadDecimal(L"-7").Fault, NumberFault::None);
  const DecimalReading dotted = ReadDecimal(L"10.0.19045");
  EXPECT_EQ(dotted.Value, 10);
  EXPECT_EQ(dotted.Fault, NumberFault::TextAfterNumber);
  EXPECT_EQ(ReadDecimal(L"6 7").Fault, NumberFault::TextAfterNumber);
  for (const wchar_t* none : {L"", L"ten", L"-", L"- 5", L"x6"}) {
    EXPECT_EQ(ReadDecimal(none).Fault, NumberFault::NoNumber) << none;
    EXPECT_EQ(ReadDecimal(none).Value, 0) << none;
  }
  EXPECT_FALSE(ReadDecimal(L"2147483647").Clamped);
  EXPECT_TRUE(ReadDecimal(L"2147483648").Clamped);
  EXPECT_FALSE(ReadDecimal(L"-2147483648").Clamped);
  EXPECT_TRUE(ReadDecimal(L"-2147483649").Clamped);
}

TEST(OperatorWords, EachWordReadsBackToItsOperator) {
  const std::vector<std::wstring_view> all = OperatorWords(OperatorSet::All);
  EXPECT_EQ(all, (std::vector<std::wstring_view>{L"LT", L"EQ", L"NE", L"GT", L"GE", L"LE"}));
  for (const std::wstring_view word : all) {
    const std::optional<CompareOp> op = ReadCompareOp(word);
    ASSERT_TRUE(op.has_value()) << std::wstring(word);
    EXPECT_EQ(CompareOpWord(*op), word);
  }
  EXPECT_EQ(OperatorWords(OperatorSet::EqualityOnly),
            (std::vector<std::wstring_view>{L"EQ", L"NE"}));
  EXPECT_FALSE(ReadCompareOp(L"eq").has_value());  // callers upper-case the word
  EXPECT_FALSE(ReadCompareOp(L"").has_value());
  EXPECT_FALSE(ParseCompareOp(L"GT", OperatorSet::EqualityOnly).has_value());
  EXPECT_EQ(ParseCompareOp(L"GT", OperatorSet::All), CompareOp::GT);
}

TEST(PairNames, WrittenOnceAndReadBack) {
  EXPECT_EQ(PairSectionName(PairSide::Criteria, 7), L"CRITERIA7");
  EXPECT_EQ(PairSectionName(PairSide::Actions, 256), L"ACTION256");
  for (const PairSide side : {PairSide::Criteria, PairSide::Actions}) {
    for (const int pair : {1, 9, 10, 256, 257}) {
      const std::optional<PairName> read = ReadPairName(PairSectionName(side, pair));
      ASSERT_TRUE(read.has_value());
      EXPECT_EQ(read->Side, side);
      EXPECT_EQ(read->Pair, static_cast<std::uint32_t>(pair));
    }
  }
  EXPECT_EQ(ReadPairName(L"criteria3")->Pair, 3U);
  EXPECT_EQ(ReadPairName(L"Action0")->Pair, 0U);
  for (const wchar_t* other : {L"CRITERIA", L"CRITERIA 3", L"CRITERIA03", L"CRITERIA3a",
                               L"CRITERIA1234567890", L"ACTIONS1", L"General", L""}) {
    EXPECT_FALSE(ReadPairName(other).has_value()) << other;
  }
  EXPECT_EQ(PairSideOf(L"criteria 3"), PairSide::Criteria);
  EXPECT_EQ(PairSideOf(L"ACTIONS"), PairSide::Actions);
  EXPECT_FALSE(PairSideOf(L"ACTIO").has_value());
}

TEST(ActionReading, NamesMatchWholeWithTheirCase) {
  EXPECT_EQ(ReadActionName(L"Execute"), ActionKind::Execute);
  EXPECT_EQ(ReadActionName(L"DesktopShortcut"), ActionKind::DesktopShortcut);
  EXPECT_FALSE(ReadActionName(L"execute").has_value());
  EXPECT_FALSE(ReadActionName(L"Execute2").has_value());
  for (const ActionName& action : ActionNames())
    EXPECT_EQ(ReadActionName(action.Name), action.Kind);
}

TEST(ActionReading, EveryCommaSeparates) {
  EXPECT_EQ(SplitParameters(L" a , b,,c "), (std::vector<std::wstring>{L"a", L"b", L"", L"c"}));
  EXPECT_EQ(SplitParameters(L""), (std::vector<std::wstring>{L""}));
}

TEST(ActionReading, ExecuteFaultsInTheOrderTheRunMeetsThem) {
  const ExecuteReading good = ReadExecute(L"nowait, a.exe, /q");
  EXPECT_EQ(good.Wait, false);
  EXPECT_EQ(good.Faults, Faults{});
  EXPECT_EQ(ReadExecute(L"Wait, a.exe").Wait, true);
  EXPECT_EQ(ReadExecute(L"a.exe, x, /i y,z").Faults,
            (Faults{ActionFault::NoMode, ActionFault::TooManyParameters}));
  EXPECT_EQ(ReadExecute(L"WAIT").Faults, Faults{ActionFault::NoProgram});
  EXPECT_EQ(ReadExecute(L"WAIT, , a, b").Faults,
            (Faults{ActionFault::TooManyParameters, ActionFault::NoProgram}));
  EXPECT_FALSE(ReadExecute(L"WAIT NOW, a").Wait.has_value());
}

TEST(ActionReading, ShortcutCountsAndIconNumber) {
  const ShortcutReading plain = ReadShortcut(L"a, b, [NONE]");
  EXPECT_EQ(plain.IconNumber.Value, kNoIconNumber);
  EXPECT_EQ(plain.Faults, Faults{});
  const ShortcutReading icon = ReadShortcut(L"a, b, [NONE], i.ico, 3x");
  EXPECT_EQ(icon.IconNumber.Value, 3);
  EXPECT_EQ(icon.IconNumber.Fault, NumberFault::TextAfterNumber);
  EXPECT_EQ(icon.Faults, Faults{});
  EXPECT_EQ(ReadShortcut(L"a, b, c, i.ico").Faults, Faults{ActionFault::IconWithoutNumber});
  EXPECT_EQ(ReadShortcut(L"a, b, c, i.ico, -1").Faults, Faults{ActionFault::IconWithoutNumber});
  EXPECT_EQ(ReadShortcut(L"a, b, c, , -1").Faults, Faults{});
  EXPECT_EQ(ReadShortcut(L"a, , c, d, 1, 2").Faults,
            (Faults{ActionFault::TooManyParameters, ActionFault::MissingParameter}));
  EXPECT_EQ(ReadShortcut(L"a, b").Faults, Faults{ActionFault::MissingParameter});
}

}  // namespace
}  // namespace dorvanta
