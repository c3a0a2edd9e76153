#include "rules/RuleDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake/FakeDevices.h"
#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "report/Report.h"
#include "rules/ProfileParser.h"

namespace dorvanta {
namespace {

const std::wstring kEq(kEqualsLine);

class RuleDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    run_.Context.Facts.OsMajor = 6;
  }

  // The program's walk of rules.ini, with the machine's executor and nobody watching.
  WalkEnd Walk() {
    RuleFile rules(L"rules.ini");
    WalkObserver quiet;
    return WalkRules(run_.Context, rules, quiet, MachineExecutor());
  }

  fake::FakeRun run_;
  fake::State& platform_ = fake::Platform();
};

TEST_F(RuleDriverTest, NoCriteria1StopsAtOnce) {
  Walk();
  EXPECT_EQ(platform_.Stdout,
            kEq + L"Process INI File:\n" + kEq +
                L"\nSection CRITERIA1 empty or not existing ... stop processing!\n");
}

TEST_F(RuleDriverTest, WalkStopsAtTheFirstGapAndNeverReadsBeyond) {
  platform_.Sections[L"CRITERIA1"] = {L"OSMajor=EQ,6"};
  platform_.Sections[L"CRITERIA2"] = {L"OSMajor=EQ,7"};
  platform_.Sections[L"CRITERIA4"] = {L"OSMajor=EQ,6"};
  platform_.Sections[L"ACTION4"] = {L"x=y"};
  Walk();
  EXPECT_EQ(platform_.SectionReads,
            (std::vector<std::wstring>{L"CRITERIA1", L"ACTION1", L"CRITERIA2", L"CRITERIA3"}));
  EXPECT_TRUE(platform_.Stdout.find(L"WARNING: Section ACTION1 empty or not existing --> next "
                                    L"criterium\n") != std::wstring::npos);
  EXPECT_TRUE(
      platform_.Stdout.ends_with(L"Section CRITERIA3 empty or not existing ... stop "
                                 L"processing!\n"));
}

TEST_F(RuleDriverTest, EveryCriteriaLineIsEvaluatedAfterAFailure) {
  platform_.Sections[L"CRITERIA1"] = {L"OSMajor=LT,6", L"OSMajor=EQ,6", L"Nonsense"};
  platform_.Sections[L"ACTION1"] = {L"Run=x"};
  Walk();
  EXPECT_EQ(platform_.Stdout,
            kEq + L"Process INI File:\n" + kEq +
                L"\nProcessing CRITERIA1\n------------------------------------\n"
                L"OSMajor OS=6 LT INI=6 --> NG\n"
                L"OSMajor OS=6 EQ INI=6 --> OK\n"
                L"ERROR: Missing '=' in section CRITERIA1 (line: Nonsense)!\n"
                L"\nNot all Criteria for CRITERIA1 match or error --> next criterium\n\n" +
                kEq + L"\nSection CRITERIA2 empty or not existing ... stop processing!\n");
}

TEST_F(RuleDriverTest, MatchingPairRunsItsActionLines) {
  platform_.Sections[L"CRITERIA1"] = {L"OSMajor=GE,6"};
  platform_.Sections[L"ACTION1"] = {L"execute=WAIT, a.exe", L"=x", L"note"};
  Walk();
  EXPECT_EQ(platform_.Stdout,
            kEq + L"Process INI File:\n" + kEq +
                L"\nProcessing CRITERIA1\n------------------------------------\n"
                L"OSMajor OS=6 GE INI=6 --> OK\n" +
                std::wstring(kDashLine) +
                L"\nAll Criteria for CRITERIA1 match!\n\n"
                L"\nProcessing ACTION1\n------------------------------------\n"
                L"ERROR: Action execute not supported in section ACTION1!\n"
                L"ERROR: Action  not supported in section ACTION1!\n"
                L"ERROR: Missing '=' in section ACTION1 (line: note)!\n" +
                kEq + L"\nSection CRITERIA2 empty or not existing ... stop processing!\n");
}

TEST_F(RuleDriverTest, DevicesAreReadOnceBetweenActionLines) {
  fake::Devices().Devices.push_back(fake::DeviceWithIds({u"PCI\\VEN_1"}));
  platform_.Sections[L"CRITERIA1"] = {L"HWID=EQ,PCI\\VEN_1", L"HWIDLeft=EQ,PCI"};
  platform_.Sections[L"CRITERIA2"] = {L"HWID=NE,USB\\X"};  // no ACTION1: no action ran
  platform_.Sections[L"ACTION2"] = {L"Note=an action line, whatever it does"};
  platform_.Sections[L"CRITERIA3"] = {L"HWID=EQ,PCI\\VEN_1", L"HWIDLeft=NE,USB"};
  Walk();
  EXPECT_EQ(fake::Devices().Opens, 2);
  EXPECT_EQ(platform_.SectionReads.back(), L"CRITERIA4");
}

TEST_F(RuleDriverTest, OversizedSectionEndsTheRunEvenAfterEarlierPairs) {
  platform_.Sections[L"CRITERIA1"] = {L"OSMajor=GE,6"};
  platform_.Sections[L"ACTION1"] = {L"a=b"};
  platform_.Sections[L"CRITERIA2"] = {std::wstring(5000, L'x')};
  EXPECT_EQ(Walk().Reason, WalkStop::SectionTooBig) << "an oversized section must end the run";
  EXPECT_TRUE(platform_.Stdout.find(L"Processing ACTION1") != std::wstring::npos);
  // The size check comes before the separator line of the pass.
  EXPECT_TRUE(
      platform_.Stdout.ends_with(L"ERROR: Action a not supported in section ACTION1!\n"
                                 L"ERROR: Section CRITERIA2 too big for buffer!\n"));
}

TEST_F(RuleDriverTest, OversizedActionSectionEndsTheRun) {
  platform_.Sections[L"CRITERIA1"] = {L"OSMajor=GE,6"};
  platform_.Sections[L"ACTION1"] = {std::wstring(4095, L'a')};
  const WalkEnd end = Walk();
  EXPECT_EQ(end.Reason, WalkStop::SectionTooBig);
  EXPECT_EQ(end.Section, L"ACTION1");
  EXPECT_TRUE(platform_.Stdout.ends_with(L"ERROR: Section ACTION1 too big for buffer!\n"));
}

TEST_F(RuleDriverTest, AllPairsHoldingEndAfter256WithoutStopLine) {
  for (int x = 1; x <= 257; ++x) {
    platform_.Sections[L"CRITERIA" + std::to_wstring(x)] = {L"OSMajor=EQ,6"};
    platform_.Sections[L"ACTION" + std::to_wstring(x)] = {L"a=b"};
  }
  Walk();
  EXPECT_EQ(platform_.SectionReads.size(), 512u);
  EXPECT_EQ(platform_.SectionReads.back(), L"ACTION256");
  EXPECT_EQ(platform_.Stdout.find(L"stop processing"), std::wstring::npos);
  EXPECT_TRUE(platform_.Stdout.ends_with(L"ERROR: Action a not supported in section ACTION256!\n"));
}

// Each criteria line as "pair verdict earlier-actions"; the actions are only
// noted, and said to be carried out or not.
class LineVerdicts final : public WalkObserver, public ActionExecutor {
 public:
  explicit LineVerdicts(bool carriesOut) : carriesOut_(carriesOut) {}
  void CriterionEvaluated(int pair, const std::wstring& /*line*/,
                          const CriterionResult& result) override {
    Lines.push_back(
        Format(L"%d %d %d", pair, static_cast<int>(result.Outcome), result.EarlierActions));
  }
  ActionOutcome Execute(const ExecuteRequest& /*r*/, ReportSink& /*s*/) override { return Done(); }
  ActionOutcome CreateShortcut(const ShortcutRequest& /*r*/, ReportSink& /*s*/) override {
    return Done();
  }
  [[nodiscard]] bool CarriesOut() const override { return carriesOut_; }
  std::vector<std::wstring> Lines;

 private:
  bool carriesOut_;
};

TEST_F(RuleDriverTest, AFileIsUnknownOnlyAfterActionsAskedForAndNotCarriedOut) {
  platform_.Sections[L"CRITERIA1"] = {L"FileExists=NE,C:\\v.exe"};
  platform_.Sections[L"ACTION1"] = {L"execute=WAIT, setup.exe"};  // asks for nothing
  platform_.Sections[L"CRITERIA2"] = {L"FileExists=NE,C:\\v.exe"};
  platform_.Sections[L"ACTION2"] = {L"Execute=WAIT, setup.exe"};
  platform_.Sections[L"CRITERIA3"] = {L"FileExists=EQ,C:\\v.exe", L"OSMajor=EQ,6",
                                      L"FileExists=GT,C:\\v.exe"};
  RuleFile rules(L"rules.ini");
  // Holds 0, Fails 1, Unknown 2; a malformed line stays refused.
  LineVerdicts noted(false);
  WalkRules(run_.Context, rules, noted, noted);
  EXPECT_EQ(noted.Lines,
            (std::vector<std::wstring>{L"1 0 0", L"2 0 0", L"3 2 2", L"3 0 0", L"3 1 0"}));
  // Walked again carrying the actions out, nothing of the first walk is left.
  LineVerdicts carried(true);
  WalkRules(run_.Context, rules, carried, carried);
  EXPECT_EQ(carried.Lines,
            (std::vector<std::wstring>{L"1 0 0", L"2 0 0", L"3 1 0", L"3 0 0", L"3 1 0"}));
}

// The pairs' verdicts, and how many criteria and action lines were reached;
// the actions are said not to be carried out.
class PairVerdicts final : public WalkObserver, public ActionExecutor {
 public:
  explicit PairVerdicts(bool everyStep) : everyStep_(everyStep) {}
  void CriterionEvaluated(int /*pair*/, const std::wstring& /*line*/,
                          const CriterionResult& /*result*/) override {
    ++Lines;
  }
  void PairDecided(int pair, Verdict verdict) override {
    Decided.push_back(Format(L"%d %d", pair, static_cast<int>(verdict)));
  }
  void ActionReached(int /*pair*/, const std::wstring& /*line*/) override { ++Actions; }
  ActionOutcome Execute(const ExecuteRequest& /*r*/, ReportSink& /*s*/) override {
    return NotDone(L"not run");
  }
  ActionOutcome CreateShortcut(const ShortcutRequest& /*r*/, ReportSink& /*s*/) override {
    return NotDone(L"not written");
  }
  [[nodiscard]] bool CarriesOut() const override { return false; }
  [[nodiscard]] bool WantsEveryStep() const override { return everyStep_; }
  std::vector<std::wstring> Decided;
  int Lines = 0;
  int Actions = 0;

 private:
  bool everyStep_;
};

// Only a walk that nobody reads the steps of stops a pair at its first failing
// line and passes over the action lines once earlier actions would have run;
// the pairs' verdicts are those of the walk that takes every step.
TEST_F(RuleDriverTest, StepsThatChangeNoVerdictAreLeftOutOnlyWhenNobodyReadsThem) {
  platform_.Sections[L"CRITERIA1"] = {L"OSMajor=LT,6", L"Nonsense", L"OSMajor=EQ,6"};
  platform_.Sections[L"CRITERIA2"] = {L"OSMajor=EQ,6"};
  platform_.Sections[L"ACTION2"] = {L"Execute=WAIT, a.exe", L"Execute=WAIT, b.exe"};
  platform_.Sections[L"CRITERIA3"] = {L"OSMajor=EQ,6", L"FileExists=EQ,C:\\v.exe"};
  platform_.Sections[L"ACTION3"] = {L"Execute=WAIT, c.exe"};
  RuleFile rules(L"rules.ini");
  SilentSink silent;
  RunContext quiet(silent, MachineFacts());
  quiet.Facts = run_.Context.Facts;
  PairVerdicts verdictsOnly(false);
  WalkRules(quiet, rules, verdictsOnly, verdictsOnly);
  PairVerdicts everyStep(true);
  WalkRules(quiet, rules, everyStep, everyStep);
  PairVerdicts reported(false);  // the run's own sink reads every step
  WalkRules(run_.Context, rules, reported, reported);
  // Fails 1, Holds 0, Unknown 2: the file after actions that were not carried out.
  EXPECT_EQ(verdictsOnly.Decided, (std::vector<std::wstring>{L"1 1", L"2 0", L"3 2"}));
  EXPECT_EQ(everyStep.Decided, verdictsOnly.Decided);
  EXPECT_EQ(reported.Decided, verdictsOnly.Decided);
  EXPECT_EQ(verdictsOnly.Lines, 1 + 1 + 2);
  EXPECT_EQ(verdictsOnly.Actions, 2);
  for (const PairVerdicts* every : {&everyStep, &reported}) {
    EXPECT_EQ(every->Lines, 3 + 1 + 2);
    EXPECT_EQ(every->Actions, 2 + 1);
  }
}

// Walks over the same facts that share what they learnt take a pair's verdict
// from an earlier walk only for the same lines reached in the same state: a
// file asked for after actions that were not carried out is another matter.
TEST_F(RuleDriverTest, WalksOverTheSameFactsShareVerdictsOfTheSameLinesInTheSameState) {
  SectionNumbers numbers;
  KeptRules first{
      Profile("[CRITERIA1]\nOSMajor=EQ,6\nFileExists=NE,C:\\v.exe\n[ACTION1]\nExecute=WAIT, a.exe\n"
              "[CRITERIA2]\nOSMajor=EQ,6\n"),
      &numbers};
  KeptRules second{
      Profile("[CRITERIA1]\nOSMajor=EQ,6\n[ACTION1]\nExecute=WAIT, b.exe\n"
              "[CRITERIA2]\nOSMajor=EQ,6\nFileExists=NE,C:\\v.exe\n[CRITERIA3]\nOSMajor=EQ,6\n"),
      &numbers};
  SilentSink silent;
  RunContext quiet(silent, MachineFacts());
  quiet.Facts = run_.Context.Facts;
  VerdictMemo memo(numbers.size());
  quiet.KnownVerdicts = &memo;
  PairVerdicts walkedFirst(false);
  WalkRules(quiet, first, walkedFirst, walkedFirst);
  PairVerdicts walkedSecond(false);
  WalkRules(quiet, second, walkedSecond, walkedSecond);
  PairVerdicts again(false);
  WalkRules(quiet, first, again, again);
  quiet.KnownVerdicts = nullptr;
  PairVerdicts alone(false);
  WalkRules(quiet, second, alone, alone);
  EXPECT_EQ(walkedFirst.Decided, (std::vector<std::wstring>{L"1 0", L"2 0"}));
  EXPECT_EQ(walkedFirst.Lines, 2 + 1);
  EXPECT_EQ(walkedSecond.Decided, (std::vector<std::wstring>{L"1 0", L"2 2", L"3 0"}));
  EXPECT_EQ(walkedSecond.Lines, 1 + 2);  // the third pair's lines as the first file's second
  EXPECT_EQ(alone.Decided, walkedSecond.Decided);
  EXPECT_EQ(alone.Lines, 1 + 2 + 1);
  EXPECT_EQ(again.Decided, walkedFirst.Decided);
  EXPECT_EQ(again.Lines, 0);
}

}  // namespace
}  // namespace dorvanta
