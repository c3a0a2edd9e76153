// Walks over different machines' facts on threads of their own, one rule file
// read once for all of them, nothing reported. The linux-tsan preset runs this
// suite under ThreadSanitizer.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "facts/FactsSnapshot.h"
#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "report/Report.h"
#include "rules/RuleDriver.h"
#include "rules/RuleSource.h"
#include "run/RunContext.h"

namespace dorvanta {
namespace {

constexpr char kRules[] =
    "[CRITERIA1]\n"
    "OSMajor = GE,10\n"
    "Bit = EQ,64\n"
    "[ACTION1]\n"
    "Execute = WAIT, setup.exe, /quiet\n"
    "[CRITERIA2]\n"
    "HWIDLeft = EQ,PCI\\VEN_8086\n"
    "[ACTION2]\n"
    "DesktopShortcut = Viewer, viewer.exe, [NONE]\n"
    "[CRITERIA3]\n"
    "CurrentLocation = EQ,de\n"
    "DMIPANumber = EQ,2,x1\n"
    "[ACTION3]\n"
    "Execute = NOWAIT, de.exe\n"
    "[CRITERIA4]\n"
    "OSMajor = LT,10\n"
    "[ACTION4]\n"
    "Execute = NOWAIT, old.exe\n";

// What one walk decided and asked for, in the walk's order.
class Verdicts final : public WalkObserver, public ActionExecutor {
 public:
  void PairDecided(int pair, Verdict verdict) override {
    Decided.push_back(std::to_wstring(pair) + (verdict == Verdict::Holds ? L" holds" : L" fails"));
  }
  void WalkEnded(const WalkEnd& end) override { Decided.push_back(L"stop at " + end.Section); }
  ActionOutcome Execute(const ExecuteRequest& request, ReportSink& /*sink*/) override {
    Decided.push_back(L"run " + request.Program);
    return Done(0);
  }
  ActionOutcome CreateShortcut(const ShortcutRequest& request, ReportSink& /*sink*/) override {
    Decided.push_back(L"write " + request.File);
    return Done();
  }

  std::vector<std::wstring> Decided;
};

FactsSnapshot NewMachine() {
  FactsSnapshot machine;
  machine.Record.OsMajor = 10;
  machine.Record.OsBits = 64;
  machine.Record.CurrentLocation = L"DE";
  machine.Record.DmiPaNumber = L"X1 Carbon";
  machine.Devices = {platform::PresentDevice{{L"PCI\\VEN_8086&DEV_1234"}}};
  return machine;
}

FactsSnapshot OldMachine() {
  FactsSnapshot machine;
  machine.Record.OsMajor = 6;
  machine.Record.OsBits = 32;
  machine.Record.CurrentLocation = L"US";
  machine.Devices = {platform::PresentDevice{{L"USB\\VID_0001"}}};
  return machine;
}

// One walk of the rules over the machine's facts, with the sink given.
std::vector<std::wstring> Walk(RuleSource& rules, const FactsSnapshot& machine, ReportSink& sink) {
  SnapshotFacts source(machine);
  RunContext context(sink, source);
  context.Facts = machine.Record;
  Verdicts verdicts;
  WalkRules(context, rules, verdicts, verdicts);
  return verdicts.Decided;
}

const std::vector<std::wstring> kNewMachineWalk = {
    L"1 holds", L"run setup.exe", L"2 holds", L"write Viewer.lnk",
    L"3 holds", L"run de.exe",    L"4 fails", L"stop at CRITERIA5"};
const std::vector<std::wstring> kOldMachineWalk = {
    L"1 fails", L"2 fails", L"3 fails", L"4 holds", L"run old.exe", L"stop at CRITERIA5"};

class ConcurrentWalks : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
  KeptRules rules_{Profile(kRules)};
};

TEST_F(ConcurrentWalks, EachMachineGetsItsOwnVerdicts) {
  SilentSink sink;
  EXPECT_EQ(Walk(rules_, NewMachine(), sink), kNewMachineWalk);
  EXPECT_EQ(Walk(rules_, OldMachine(), sink), kOldMachineWalk);
}

TEST_F(ConcurrentWalks, TwoWalksSideBySideKeepTheirOwnFacts) {
  constexpr int kRounds = 200;
  const auto walker = [this](const FactsSnapshot& machine, const std::vector<std::wstring>& want,
                             int& wrong) {
    SilentSink sink;
    for (int round = 0; round < kRounds; ++round) {
      if (Walk(rules_, machine, sink) != want) ++wrong;
    }
  };
  int newWrong = 0;
  int oldWrong = 0;
  {
    std::jthread first(walker, NewMachine(), std::cref(kNewMachineWalk), std::ref(newWrong));
    std::jthread second(walker, OldMachine(), std::cref(kOldMachineWalk), std::ref(oldWrong));
  }
  EXPECT_EQ(newWrong, 0);
  EXPECT_EQ(oldWrong, 0);
}

TEST_F(ConcurrentWalks, SilentWalkDecidesAsTheReportedOne) {
  fake::FakeRun reported;
  const std::vector<std::wstring> told = Walk(rules_, NewMachine(), reported.Sink);
  EXPECT_NE(fake::Platform().Stdout.find(L"All Criteria for CRITERIA3 match!"), std::wstring::npos);
  SilentSink silent;
  EXPECT_EQ(Walk(rules_, NewMachine(), silent), told);
}

}  // namespace
}  // namespace dorvanta
