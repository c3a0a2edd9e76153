#include "tool/RunRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "rules/RuleDriver.h"
#include "tool/RecordReader.h"

namespace dorvanta::tool {
namespace {

// Keeps the record's lines as JSON, the size of each batch the sink takes, and
// the event of the last line at each sync.
class Lines final : public RecordSink {
 public:
  void Append(std::string_view lines) override {
    ASSERT_TRUE(lines.ends_with('\n')) << lines;
    batches.push_back(lines.size());
    for (std::size_t start = 0; start < lines.size();) {
      const std::size_t end = lines.find('\n', start) + 1;
      json.push_back(Json::parse(lines.substr(start, end - start)));
      start = end;
    }
  }
  void Sync() override {
    syncedAfter.push_back(json.empty() ? "no line" : json.back()["event"]);
    synced = json.size();
  }

  std::vector<Json> json;
  std::vector<std::size_t> batches;
  std::vector<std::string> syncedAfter;
  std::size_t synced = 0;
};

// Answers each program with its exit code, and notes the record's last event
// at the moment the program starts and how many lines were not synced then.
class Programs final : public ActionExecutor {
 public:
  Programs(std::map<std::wstring, std::uint32_t> codes, const Lines& record)
      : codes_(std::move(codes)), record_(record) {}

  ActionOutcome Execute(const ExecuteRequest& request, ReportSink& /*sink*/) override {
    lastEventAtStart.push_back(record_.json.empty() ? "no line" : record_.json.back()["event"]);
    unsyncedAtStart.push_back(record_.json.size() - record_.synced);
    const auto code = codes_.find(request.Program);
    if (code == codes_.end()) return NotDone(L"The system cannot find the file specified.");
    return Done(request.Wait ? std::optional(code->second) : std::nullopt);
  }
  ActionOutcome CreateShortcut(const ShortcutRequest& /*request*/, ReportSink& /*sink*/) override {
    return Done();
  }

  std::vector<std::string> lastEventAtStart;
  std::vector<std::size_t> unsyncedAtStart;

 private:
  std::map<std::wstring, std::uint32_t> codes_;
  const Lines& record_;
};

// A run's options on a system whose exit codes have `bits` bits, with the lists
// given for some classes (by RunClass) over that system's classes.
RunOptions Options(bool codes, int bits,
                   const std::array<std::optional<CodeList>, kRunClassNames.size()>& given = {}) {
  RunOptions options{DefaultCodeClasses(bits), codes, bits};
  EXPECT_FALSE(GiveCodeLists(options.Classes, given));
  return options;
}

class RunRecordTest : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override {
    fake::Reset();
    run_.Context.Facts.OsMajor = 6;
  }

  // Walks the fake rule file; the process's exit code after the program's `exitCode`.
  int Walk(std::map<std::wstring, std::uint32_t> codes, RunOptions options, int exitCode = 0) {
    programs_.emplace(std::move(codes), sink_);
    RunRecord record(&sink_, std::move(options), *programs_);
    RuleFile rules(L"rules.ini");
    WalkRules(run_.Context, rules, record, record);
    return record.Ended(exitCode);
  }

  std::vector<std::string> Events() const {
    std::vector<std::string> events;
    for (const Json& line : lines_) events.push_back(line["event"]);
    return events;
  }

  fake::State& platform_ = fake::Platform();
  Lines sink_;
  std::vector<Json>& lines_ = sink_.json;
  std::optional<Programs> programs_;
};

TEST_F(RunRecordTest, EachStepIsALineAndThePairAndActionStartLinesComeBeforeTheirActions) {
  platform_.Sections[L"CRITERIA1"] = {L"OSMajor=EQ,6"};
  platform_.Sections[L"ACTION1"] = {L"Execute=WAIT,a.exe", L"Execute=NOWAIT,b.exe", L"Nope=1"};
  platform_.Sections[L"CRITERIA2"] = {L"OSMajor=EQ,7"};
  platform_.Sections[L"ACTION2"] = {L"Execute=WAIT,a.exe"};
  platform_.Sections[L"CRITERIA3"] = {L"OSMajor=GE,5", L"OSMajor=LE,6"};

  EXPECT_EQ(Walk({{L"a.exe", 3010}, {L"b.exe", 0}}, Options(true, 32)), 1);
  // A line refused before anything was asked has no action-start.
  EXPECT_EQ(Events(),
            (std::vector<std::string>{"criterion", "pair", "action-start", "action", "action-start",
                                      "action", "action", "criterion", "pair", "criterion",
                                      "criterion", "pair", "walk-end", "run-end"}));
  EXPECT_EQ(programs_->lastEventAtStart,
            (std::vector<std::string>{"action-start", "action-start"}));
  EXPECT_EQ(lines_[0]["time"], "2026-12-09T08:31:29.007Z");
  EXPECT_EQ(
      lines_[2],
      (Json{{"event", "action-start"},
            {"time", "2026-12-09T08:31:29.007Z"},
            {"pair", 1},
            {"section", "ACTION1"},
            {"text", "Execute=WAIT,a.exe"},
            {"request",
             {{"kind", "execute"}, {"program", "a.exe"}, {"parameters", ""}, {"wait", true}}}}));
  EXPECT_EQ(lines_[3]["exitCode"], 3010);
  EXPECT_EQ(lines_[4]["text"], "Execute=NOWAIT,b.exe");
  EXPECT_EQ(lines_[4]["request"], lines_[5]["request"]);
  EXPECT_EQ(lines_[6]["name"], "Nope");
  EXPECT_EQ(lines_[6]["request"], nullptr);
  EXPECT_EQ(lines_[8]["verdict"], "fails");
  EXPECT_EQ(lines_[11]["actionsMissing"], true);
  EXPECT_EQ(lines_[12]["section"], "CRITERIA4");
  // The unknown action line fails the run, over the reboot.
  EXPECT_EQ(lines_[13], (Json{{"event", "run-end"},
                              {"time", "2026-12-09T08:31:29.007Z"},
                              {"result", "failure"},
                              {"exitCode", 1},
                              {"pairsRun", 1},
                              {"actionsStarted", 2},
                              {"actionsFailed", 1}}));
}

TEST_F(RunRecordTest, LinesReachTheDiskBeforeAndAfterEachActionDoneAndAtTheEndOnly) {
  platform_.Sections[L"CRITERIA1"] = {L"OSMajor=EQ,6", L"OSMajor=GE,1"};
  platform_.Sections[L"ACTION1"] = {L"Execute=WAIT,a.exe", L"Execute=NOWAIT,b.exe", L"Nope=1",
                                    L"Execute=NOWAIT,missing.exe"};
  platform_.Sections[L"CRITERIA2"] = {L"OSMajor=EQ,7"};
  platform_.Sections[L"ACTION2"] = {L"Execute=WAIT,a.exe"};
  platform_.Sections[L"CRITERIA3"] = {L"OSMajor=EQ,6"};
  platform_.Sections[L"ACTION3"] = {L"Execute=WAIT,a.exe"};

  Walk({{L"a.exe", 0}, {L"b.exe", 0}}, RunOptions{});
  // Each start is on the disk before the program starts. The unknown line and
  // the program that did not start changed nothing: their lines wait for the
  // next sync, before the next start.
  EXPECT_EQ(sink_.syncedAfter,
            (std::vector<std::string>{"action-start", "action", "action-start", "action",
                                      "action-start", "action-start", "action", "run-end"}));
  EXPECT_EQ(programs_->unsyncedAtStart, (std::vector<std::size_t>{0, 0, 0, 0}));
  EXPECT_EQ(sink_.synced, lines_.size());
}

// A walk without actions hands its lines over in batches of whole lines, none
// much over 64 KiB, and syncs them once, at the end.
TEST_F(RunRecordTest, LinesWithoutActionsGoInBatchesAndAreSyncedAtTheEnd) {
  for (int pair = 1; pair <= 64; ++pair) {
    platform_.Sections[L"CRITERIA" + std::to_wstring(pair)] =
        std::vector<std::wstring>(16, L"OSMajor=GE,6");
  }
  Walk({}, RunOptions{});
  EXPECT_EQ(lines_.size(), 64 * 17 + 2);
  EXPECT_EQ(sink_.syncedAfter, std::vector<std::string>{"run-end"});
  ASSERT_GE(sink_.batches.size(), 3U);
  for (const std::size_t batch : sink_.batches) EXPECT_LT(batch, 65536U + 1024U);
  EXPECT_GE(sink_.batches.front(), 65536U);
}

TEST_F(RunRecordTest, TheRunStartIsSyncedAndTellsARecordOfDvtools) {
  programs_.emplace(std::map<std::wstring, std::uint32_t>{}, sink_);
  RunRecord record(&sink_, RunOptions{}, *programs_);
  record.Started(Json{{"host", "pc17"}, {"program", "dvtool 4.0XP"}});
  EXPECT_EQ(sink_.syncedAfter, std::vector<std::string>{"run-start"});
  const std::string first = lines_.front().dump() + "\n";
  EXPECT_TRUE(IsRecordStart(first + "{\"event\":\"run-end\"}\n"));
  EXPECT_FALSE(IsRecordStart(first.substr(0, first.size() - 1)));  // cut before its line end
  for (const char* other : {
           "[CRITERIA1]\nOSMajor = GE,6\n",
           "{\"event\":\"run-end\",\"program\":\"dvtool 4.0XP\"}\n",
           "{\"event\":\"run-start\",\"program\":\"setup 1.0\"}\n",
           "{\"event\":\"run-start\",\"program\":7}\n",
           "{\"event\":\"run-start\"}\n",
           "[\"run-start\"]\n",
       }) {
    EXPECT_FALSE(IsRecordStart(other)) << other;
  }
}

TEST_F(RunRecordTest, ClassesAndTheirCodes) {
  platform_.Sections[L"CRITERIA1"] = {L"OSMajor=EQ,6"};
  platform_.Sections[L"ACTION1"] = {L"Execute=WAIT,a.exe", L"Execute=WAIT,b.exe"};
  struct Example {
    std::uint32_t First;
    std::uint32_t Second;
    RunOptions Options;
    int ExitCode;
  };
  const std::vector<Example> examples{
      {0, 3010, Options(true, 32), 3010},
      {1641, 3010, Options(true, 32), 1641},
      {1641, 1618, Options(true, 32), 1618},
      {1618, 1603, Options(true, 32), 1},
      {3010, 7, Options(true, 32, {CodeList{7, 3010}}), 0},
      // A code listed as failure is one, whatever its class on Windows.
      {0, 3010,
       Options(true, 32, {std::nullopt, std::nullopt, std::nullopt, std::nullopt, CodeList{3010}}),
       1},
      // Eight bits: only the codes given have a class; the run's own exit code
      // for a class is the small one.
      {10, 0, Options(true, 8), 1},
      {12, 0, Options(true, 8), 1},
      {3010, 0, Options(true, 8), 1},
      {10, 11, Options(true, 8, {std::nullopt, CodeList{10}, CodeList{11}}), 11},
      {3010, 0, Options(true, 8, {std::nullopt, CodeList{3010}}), 10},
      {7, 0, Options(true, 8, {std::nullopt, std::nullopt, std::nullopt, CodeList{7}}), 12},
      {1603, 0, Options(false, 32), 0},
  };
  for (const Example& example : examples) {
    lines_.clear();
    EXPECT_EQ(Walk({{L"a.exe", example.First}, {L"b.exe", example.Second}}, example.Options),
              example.ExitCode)
        << example.First << " " << example.Second;
  }
}

TEST_F(RunRecordTest, AFailedRunIsAFailureWhateverItsActions) {
  EXPECT_EQ(Walk({}, Options(true, 32), 1), 1);
  EXPECT_EQ(lines_.back()["result"], "failure");
  lines_.clear();
  EXPECT_EQ(Walk({}, Options(false, 32), 1), 1);
  EXPECT_EQ(Walk({}, Options(false, 32), 0), 0);
  EXPECT_EQ(lines_.back()["result"], "success");
}

// The reader takes the class each action line names: a code the run accepted
// is no failed action, whatever the number, and the reader agrees with the run.
TEST_F(RunRecordTest, EachActionSaysItsClassAndTheSummaryReadsIt) {
  platform_.Sections[L"CRITERIA1"] = {L"OSMajor=EQ,6"};
  platform_.Sections[L"ACTION1"] = {L"Execute=WAIT,a", L"Execute=WAIT,b", L"Execute=NOWAIT,c",
                                    L"Execute=WAIT,d", L"Execute=WAIT,missing"};
  EXPECT_EQ(Walk({{L"a", 3}, {L"b", 1}, {L"c", 0}, {L"d", 10}},
                 Options(true, 8, {CodeList{0, 3}, CodeList{10}})),
            1);
  std::vector<std::string> classes;
  std::string record = R"({"event":"run-start","time":"2026-12-09T08:31:29.007Z","kind":"record",)"
                       R"("version":{"major":2,"minor":0},"host":"pc","user":"root",)"
                       R"("program":"dvtool","ini":"rules.ini","iniSha256":null,"facts":{}})"
                       "\n";
  for (const Json& line : lines_) {
    if (line["event"] == "action") classes.push_back(line["class"]);
    record += line.dump() + "\n";
  }
  EXPECT_EQ(classes, (std::vector<std::string>{"success", "failure", "success", "reboot-required",
                                               "failure"}));
  const HostRow row = ReadRecord(record, "pc.jsonl");
  EXPECT_EQ(row.Result, Standing::Failure);
  EXPECT_EQ(FailedText(row), "ACTION1 1, ACTION1 not started");
}

TEST(CodeListTest, DecimalCodesSeparatedByCommas) {
  EXPECT_EQ(ParseCodeList(L"0, 3010,4294967295"), (CodeList{0, 3010, 4294967295U}));
  for (const wchar_t* wrong : {L"", L"0,", L",0", L"x", L"-1", L"+1", L"4294967296", L"1 2"}) {
    EXPECT_FALSE(ParseCodeList(wrong)) << wrong;
  }
}

// Windows knows the installer's codes; on Linux 10, 11 and 12 are failures
// like any other code (rsync's 10 is a socket error).
TEST(CodeClassesTest, EachSystemsDefaults) {
  EXPECT_EQ(DefaultCodeClasses(32), (CodeClasses{{0, RunClass::Success},
                                                 {1618, RunClass::RetryLater},
                                                 {1641, RunClass::RebootInitiated},
                                                 {3010, RunClass::RebootRequired}}));
  EXPECT_EQ(DefaultCodeClasses(8), (CodeClasses{{0, RunClass::Success}}));
}

// A list given replaces its class's codes and takes its codes from any other
// class; the classes not given keep theirs.
TEST(CodeClassesTest, ListsGivenReplaceTheirClassAndTakeTheirCodes) {
  CodeClasses classes = DefaultCodeClasses(32);
  EXPECT_FALSE(GiveCodeLists(
      classes, {CodeList{0, 1618}, CodeList{}, std::nullopt, std::nullopt, CodeList{1641}}));
  EXPECT_EQ(
      classes,
      (CodeClasses{{0, RunClass::Success}, {1618, RunClass::Success}, {1641, RunClass::Failure}}));
}

TEST(CodeClassesTest, ACodeInTwoListsIsAConflictAndChangesNothing) {
  CodeClasses classes = DefaultCodeClasses(8);
  const std::optional<CodeConflict> conflict = GiveCodeLists(
      classes, {CodeList{0, 5}, std::nullopt, std::nullopt, CodeList{7}, CodeList{5, 6}});
  ASSERT_TRUE(conflict);
  EXPECT_EQ(conflict->Code, 5U);
  EXPECT_EQ(conflict->First, RunClass::Success);
  EXPECT_EQ(conflict->Second, RunClass::Failure);
  EXPECT_EQ(classes, DefaultCodeClasses(8));
}

}  // namespace
}  // namespace dorvanta::tool
