#include "tool/SummaryModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dorvanta::tool {
namespace {

HostRow Row(const char* host, const char* file, std::optional<std::int64_t> startMs,
            std::optional<std::string> hash = std::nullopt, Standing result = Standing::Success) {
  HostRow row;
  if (host != nullptr) row.Host = host;
  row.File = file;
  row.StartMs = startMs;
  row.IniSha256 = std::move(hash);
  row.Result = result;
  return row;
}

std::vector<std::string> Files(const std::vector<HostRow>& rows) {
  std::vector<std::string> files;
  for (const HostRow& row : rows) files.push_back(row.File.value_or("-"));
  return files;
}

// The same host in any letter case is one host, whose newest run is its row;
// of two runs started at once the one given later; hosts without a name or a
// start are never folded.
TEST(SummaryModel, KeepsTheNewestRecordOfEachHost) {
  std::vector<HostRow> rows{
      Row("pc1", "a", 300),          Row("PC1", "b", 500),          Row("pc2", "c", 100),
      Row("pc1", "d", 400),          Row(nullptr, "e", 900),        Row(nullptr, "f", 900),
      Row("pc3", "g", std::nullopt), Row("pc3", "h", std::nullopt), Row("pc2", "i", 100)};
  const std::vector<HostRow> older = KeepNewest(rows);
  EXPECT_EQ(Files(rows), (std::vector<std::string>{"b", "e", "f", "g", "h", "i"}));
  EXPECT_EQ(Files(older), (std::vector<std::string>{"a", "c", "d"}));
}

TEST(SummaryModel, TotalsByRuleFileMostHostsFirstUnknownLast) {
  const std::vector<HostRow> rows{Row("a", "a", 1, std::nullopt, Standing::Unreadable),
                                  Row("b", "b", 1, "h1"), Row("c", "c", 1, "h2", Standing::Failure),
                                  Row("d", "d", 1, "h2"), Row("e", "e", 1, "h0")};
  const std::vector<RuleFileTotals> totals = TotalsByRuleFile(rows);
  ASSERT_EQ(totals.size(), 4U);
  EXPECT_EQ(totals[0].IniSha256, "h2");
  EXPECT_EQ(totals[0].Hosts, 2U);
  EXPECT_EQ(totals[0].Counts[static_cast<std::size_t>(Standing::Failure)], 1U);
  EXPECT_EQ(totals[0].Counts[static_cast<std::size_t>(Standing::Success)], 1U);
  EXPECT_EQ(totals[1].IniSha256, "h0");
  EXPECT_EQ(totals[2].IniSha256, "h1");
  EXPECT_EQ(totals[3].IniSha256, std::nullopt);
  EXPECT_EQ(totals[3].Counts[static_cast<std::size_t>(Standing::Unreadable)], 1U);
}

// Each rule file's first and last start by time, whatever the rows' order;
// rows without a start (an expected host) widen no range.
TEST(SummaryModel, EachRuleFileHasTheRangeOfItsStarts) {
  std::vector<HostRow> rows{Row("a", "a", 5000, "h1"), Row("b", "b", 900, "h1"),
                            Row("c", "c", std::nullopt, "h1"), Row("d", "d", 7000, "h2"),
                            Row("e", "e", std::nullopt)};
  for (HostRow& row : rows) {
    if (row.StartMs) row.Start = std::string("t").append(std::to_string(*row.StartMs));
  }
  const std::vector<RuleFileTotals> totals = TotalsByRuleFile(rows);
  ASSERT_EQ(totals.size(), 3U);
  EXPECT_EQ(totals[0].FirstStart, "t900");  // earlier, though "t5000" sorts first as text
  EXPECT_EQ(totals[0].LastStart, "t5000");
  EXPECT_EQ(totals[1].FirstStart, "t7000");
  EXPECT_EQ(totals[1].LastStart, "t7000");
  EXPECT_EQ(totals[2].FirstStart, std::nullopt);
  EXPECT_EQ(totals[2].LastStart, std::nullopt);
}

// Hosts of one vendor and model together, the most first; a model of the same
// name from another vendor is another group; hosts that name neither are last.
TEST(SummaryModel, TotalsByModelMostHostsFirstUnknownLast) {
  const auto product = [](HostRow row, std::optional<std::string> vendor,
                          std::optional<std::string> model) {
    row.DmiVendor = std::move(vendor);
    row.DmiMachineType = std::move(model);
    return row;
  };
  const std::vector<HostRow> rows{
      product(Row("a", "a", 1), std::nullopt, std::nullopt),
      product(Row("b", "b", 1), "Dell", "7090"),
      product(Row("c", "c", 1, std::nullopt, Standing::Failure), "HP", "7090"),
      product(Row("d", "d", 1), "HP", "7090"),
      product(Row("e", "e", 1), std::nullopt, "Virtual"),
      product(Row("f", "f", 1, std::nullopt, Standing::NoRecord), std::nullopt, std::nullopt)};
  const std::vector<ModelTotals> totals = TotalsByModel(rows);
  ASSERT_EQ(totals.size(), 4U);
  EXPECT_EQ(totals[0].DmiVendor, "HP");
  EXPECT_EQ(totals[0].Hosts, 2U);
  EXPECT_EQ(totals[0].Counts[static_cast<std::size_t>(Standing::Failure)], 1U);
  EXPECT_EQ(totals[1].DmiVendor, std::nullopt);  // a model alone is known
  EXPECT_EQ(totals[1].DmiMachineType, "Virtual");
  EXPECT_EQ(totals[2].DmiVendor, "Dell");
  EXPECT_FALSE(totals[3].Known());
  EXPECT_EQ(totals[3].Hosts, 2U);
  EXPECT_EQ(totals[3].Counts[static_cast<std::size_t>(Standing::NoRecord)], 1U);
}

TEST(SummaryModel, EveryResultIsNamedAndReadBack) {
  for (std::size_t i = 0; i < kStandingCount; ++i) {
    EXPECT_EQ(StandingNamed(StandingName(static_cast<Standing>(i))), static_cast<Standing>(i));
  }
  EXPECT_EQ(StandingNamed("no-record"), std::nullopt);
  EXPECT_EQ(StandingNamed("Failure"), std::nullopt);
}

}  // namespace
}  // namespace dorvanta::tool
