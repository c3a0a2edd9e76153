#include "tool/RecordReader.h"

#include <gtest/gtest.h>

#include "tool/SummaryWriters.h"

#include <string>

namespace dorvanta::tool {
namespace {

// The lines of a record, each with its line end.
std::string Record(std::initializer_list<std::string> lines) {
  std::string record;
  for (const std::string& line : lines) record += line + "\n";
  return record;
}

const std::string kStart =
    R"({"event":"run-start","time":"2026-12-09T08:00:00.000Z","host":"pc1","user":"root",)"
    R"("program":"dvtool","ini":"r.ini","iniSha256":null,"facts":{}})";
const std::string kStartV2 =
    R"({"event":"run-start","kind":"record","version":{"major":2,"minor":0},)"
    R"("time":"2026-12-09T08:00:00.000Z","host":"pc1","user":"root","program":"dvtool",)"
    R"("ini":"r.ini","iniSha256":null,"facts":{}})";

std::string Action(int pair, const std::string& code, const std::string& more = "") {
  return R"({"event":"action","time":"2026-12-09T08:00:00.100Z","pair":)" + std::to_string(pair) +
         R"(,"section":"ACTION)" + std::to_string(pair) +
         R"(","text":"Execute=WAIT,a","name":"Execute","request":{"kind":"execute",)"
         R"("program":"a","parameters":"","wait":true},"done":true,"reason":null,"exitCode":)" +
         code + more + R"(,"durationMs":1})";
}

std::string End(const std::string& result, const std::string& pairsRun, int failed) {
  return R"({"event":"run-end","time":"2026-12-09T08:00:01.500Z","result":")" + result +
         R"(","exitCode":0,"pairsRun":)" + pairsRun + R"(,"actionsStarted":1,"actionsFailed":)" +
         std::to_string(failed) + "}";
}

TEST(RecordReader, AWholeRecordGivesItsHostClassPairsAndTime) {
  const HostRow row =
      ReadRecord(Record({kStart, Action(1, "3010"), End("reboot-required", "1", 0)}), "pc1.jsonl");
  EXPECT_EQ(row.Host, "pc1");
  EXPECT_EQ(row.File, "pc1.jsonl");
  EXPECT_EQ(row.Result, Standing::RebootRequired);
  EXPECT_TRUE(row.RebootNeeded());
  EXPECT_EQ(row.PairsRun, 1);
  EXPECT_EQ(row.RunTimeMs, 1500);
  EXPECT_TRUE(row.Failed.empty());
  EXPECT_EQ(row.Note, "");
}

// Each action's class decides, not its number: 3 accepted, 3010 a failure where
// the run said so, and a record of the second version must name the class.
TEST(RecordReader, TheClassOfEachActionDecidesWhatFailed) {
  const HostRow row =
      ReadRecord(Record({kStartV2, Action(1, "3", R"(,"class":"success")"),
                         Action(1, "1", R"(,"class":"failure")"),
                         Action(2, "3010", R"(,"class":"failure")"), End("failure", "2", 2)}),
                 "a");
  EXPECT_EQ(row.Result, Standing::Failure);
  EXPECT_EQ(FailedText(row), "ACTION1 1, ACTION2 3010");
  ASSERT_EQ(row.Failed.size(), 2U);
  EXPECT_EQ(row.Failed[0].Program, "a");
  EXPECT_EQ(row.Failed[0].ExitCode, 1);

  const HostRow unnamed = ReadRecord(Record({kStartV2, Action(1, "1")}), "a");
  EXPECT_EQ(unnamed.Result, Standing::Unreadable);
  EXPECT_EQ(unnamed.Note,
            "line 2: action: pair, section, done, exitCode, reason, request or class missing or "
            "out of range");
}

// Records written before the class was recorded: the Windows codes tell it,
// and a run-end without failed actions clears what they guessed.
TEST(RecordReader, ARecordWithoutClassesReadsAsBefore) {
  const HostRow failed = ReadRecord(Record({kStart, Action(1, "3010"), Action(1, "1618"),
                                            Action(2, "1603"), End("failure", "2", 1)}),
                                    "a");
  EXPECT_EQ(FailedText(failed), "ACTION2 1603");
  const HostRow accepted =
      ReadRecord(Record({kStart, Action(1, "3"), End("success", "1", 0)}), "a");
  EXPECT_EQ(accepted.Result, Standing::Success);
  EXPECT_TRUE(accepted.Failed.empty());
}

TEST(RecordReader, TheVersionIsOneThisReaderKnows) {
  EXPECT_EQ(ReadRecord(Record({kStartV2, End("success", "0", 0)}), "a").Result, Standing::Success);
  // A later minor may add events and fields; the first version has none of them.
  const std::string laterEvent =
      R"({"event":"action-start","time":"2026-12-09T08:00:00.050Z","pair":1,"more":[]})";
  std::string minor = kStartV2;
  minor.replace(minor.find(R"("minor":0)"), 9, R"("minor":7)");
  EXPECT_EQ(ReadRecord(Record({minor, laterEvent, End("success", "0", 0)}), "a").Result,
            Standing::Success);
  EXPECT_EQ(ReadRecord(Record({kStart, laterEvent}), "a").Note,
            R"(line 2: unknown event "action-start")");

  std::string major = kStartV2;
  major.replace(major.find(R"("major":2)"), 9, R"("major":3)");
  const HostRow later = ReadRecord(Record({major, End("success", "0", 0)}), "a");
  EXPECT_EQ(later.Result, Standing::Unreadable);
  EXPECT_EQ(later.Host, std::nullopt);
  EXPECT_EQ(later.Note, "line 1: record version 3.0, this dvtool reads versions 1 to 2");

  for (const char* wrong : {R"("version":2)", R"("version":{"major":2})",
                            R"("version":{"major":-2,"minor":0})", R"("kind":"facts")"}) {
    std::string start = kStart;
    start.insert(1, std::string(wrong) + ",");
    EXPECT_EQ(ReadRecord(Record({start}), "a").Result, Standing::Unreadable) << wrong;
  }
}

// Nothing the summary writes can break its schema: a value no record holds
// makes the record unreadable, never a row that carries it on.
TEST(RecordReader, ValuesNoRecordHoldsMakeItUnreadable) {
  for (const char* pairsRun : {"-1", "257", "1.5", "\"1\"", "18446744073709551615", "null"}) {
    const HostRow row = ReadRecord(Record({kStart, End("success", pairsRun, 0)}), "a");
    EXPECT_EQ(row.Result, Standing::Unreadable) << pairsRun;
    EXPECT_EQ(row.PairsRun, std::nullopt) << pairsRun;
    EXPECT_EQ(row.Note, "line 2: run-end: pairsRun or actionsFailed missing or out of range")
        << pairsRun;
  }
  EXPECT_EQ(ReadRecord(Record({kStart, End("success", "0", -1)}), "a").Result,
            Standing::Unreadable);
  EXPECT_EQ(ReadRecord(Record({kStart, End("incomplete", "0", 0)}), "a").Note,
            "line 2: run-end: no result class");
  for (const std::string& action :
       {Action(0, "1"), Action(257, "1"), Action(1, "4294967296"), Action(1, "-2147483649"),
        Action(1, "1", R"(,"class":"no record")")}) {
    EXPECT_EQ(ReadRecord(Record({kStart, action}), "a").Result, Standing::Unreadable) << action;
  }
  // What the record's writer hands out: codes as unsigned, and as signed by older ones.
  for (const char* code : {"4294967295", "-1073741819"}) {
    EXPECT_EQ(ReadRecord(Record({kStart, Action(1, code)}), "a").Result, Standing::Incomplete)
        << code;
  }
}

TEST(RecordReader, ARecordReadsWholeOrIsUnreadableFromItsFirstWrongLine) {
  const HostRow after =
      ReadRecord(Record({kStart, Action(1, "1"), End("failure", "1", 1), kStart}), "a");
  EXPECT_EQ(after.Result, Standing::Unreadable);
  EXPECT_EQ(after.Host, "pc1");
  EXPECT_TRUE(after.Failed.empty());
  EXPECT_EQ(after.PairsRun, std::nullopt);
  EXPECT_EQ(after.RunTimeMs, std::nullopt);
  EXPECT_EQ(after.Note, "line 4: an event after run-end");

  EXPECT_EQ(ReadRecord("Dorvanta 4.0XP\n", "a").Note, "line 1: not JSON");
  EXPECT_EQ(ReadRecord("", "a").Note, "line 1: no run-start");
  EXPECT_EQ(ReadRecord(Record({Action(1, "0")}), "a").Note,
            "line 1: the record does not begin with run-start");
  EXPECT_EQ(ReadRecord(Record({kStart, kStart}), "a").Note, "line 2: a second run-start");
}

TEST(RecordReader, ARecordCutShortIsIncomplete) {
  const HostRow cut = ReadRecord(Record({kStart, Action(1, "1")}) + R"({"event":"act)", "a");
  EXPECT_EQ(cut.Result, Standing::Incomplete);
  EXPECT_EQ(cut.Note, "no run-end after line 2");
  EXPECT_EQ(FailedText(cut), "ACTION1 1");
  // Windows line ends read alike.
  EXPECT_EQ(ReadRecord(kStart + "\r\n" + End("success", "0", 0) + "\r\n", "a").Result,
            Standing::Success);
}

// The text summary reads only what it shows: the same text from rows that keep
// the beginnings of texts and of the failed actions, and rows that stay small.
TEST(RecordReader, TheTextSummaryKeepsOnlyWhatItShows) {
  std::string start = kStart;
  start.replace(start.find("pc1"), 3, "pc-" + std::string(100000, 'x'));
  std::string failing = start + "\n";
  for (int i = 0; i < 1000; ++i) failing += Action(1 + i % 256, std::to_string(i)) + "\n";
  std::string program = Action(2, "7");
  program.replace(program.find(R"("program":"a")"), 13,
                  R"("program":")" + std::string(5000, 'p') + "\"");
  const std::vector<std::string> records{
      failing + End("failure", "256", 1000),
      failing,
      Record({kStart, program}),
      Record({kStart, R"({"event":")" + std::string(5000, 'e') +
                          R"(","time":"2026-12-09T08:00:00.000Z"})"}),
  };
  std::vector<HostRow> whole;
  std::vector<HostRow> limited;
  for (const std::string& record : records) {
    whole.push_back(ReadRecord(record, "a"));
    limited.push_back(ReadRecord(record, "a", TextLimits()));
    EXPECT_LE(limited.back().Name().size(), TextLimits().TextBytes);
    EXPECT_LE(limited.back().Note.size(), TextLimits().TextBytes);
    EXPECT_LE(limited.back().Failed.size(), TextLimits().FailedActions);
    for (const FailedAction& action : limited.back().Failed) {
      EXPECT_LE(action.Program.value_or("").size(), TextLimits().TextBytes);
    }
  }
  EXPECT_EQ(whole[0].Failed.size(), 999U);  // code 0 failed nothing
  EXPECT_EQ(whole[2].Failed[0].Program->size(), 5000U);
  EXPECT_EQ(SummaryText(limited), SummaryText(whole));
}

// The run's start and its rule file's hash come from run-start, as written.
TEST(RecordReader, StartAndRuleFileHash) {
  const std::string hashed =
      R"({"event":"run-start","time":"2026-12-09T08:00:00.250Z","host":"pc1","user":"root",)"
      R"("program":"dvtool","ini":"r.ini","iniSha256":"5d41402abc4b","facts":{}})";
  const HostRow row = ReadRecord(Record({hashed, End("success", "0", 0)}), "a");
  EXPECT_EQ(row.Start, "2026-12-09T08:00:00.250Z");
  EXPECT_EQ(row.StartMs, 1796803200250);
  EXPECT_EQ(row.IniSha256, "5d41402abc4b");
  EXPECT_EQ(ReadRecord(Record({kStart}), "a").IniSha256, std::nullopt);
}

// The product comes from run-start's facts; a fact whose source failed, or a
// record without it, names none, and the texts keep to the limits.
TEST(RecordReader, VendorAndModelFromTheFacts) {
  std::string start = kStart;
  start.replace(start.find(R"("facts":{})"), 10,
                R"("facts":{"DMIVendor":"LENOVO","DMIMachineType":"20XW\"x\"","OSMajor":10})");
  const HostRow row = ReadRecord(Record({start, End("success", "0", 0)}), "a");
  EXPECT_EQ(row.DmiVendor, "LENOVO");
  EXPECT_EQ(row.DmiMachineType, "20XW\"x\"");
  EXPECT_EQ(ReadRecord(Record({start}), "a", ReadLimits{2}).DmiMachineType, "20");

  start.replace(start.find(R"("LENOVO")"), 8, R"({"error":"WMI failed"})");
  EXPECT_EQ(ReadRecord(Record({start}), "a").DmiVendor, std::nullopt);
  EXPECT_EQ(ReadRecord(Record({start}), "a").DmiMachineType, "20XW\"x\"");
  const HostRow none = ReadRecord(Record({kStart}), "a");
  EXPECT_EQ(none.DmiVendor, std::nullopt);
  EXPECT_EQ(none.DmiMachineType, std::nullopt);
}

}  // namespace
}  // namespace dorvanta::tool
