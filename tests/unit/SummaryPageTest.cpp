#include "tool/SummaryPage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dorvanta::tool {
namespace {

HostRow Row(std::string host, Standing result = Standing::Success) {
  HostRow row;
  row.Host = std::move(host);
  row.File = "r.jsonl";
  row.Result = result;
  return row;
}

// Where `text` first stands in the page; fails the test when it is missing.
std::size_t At(const std::string& page, const std::string& text) {
  const std::size_t at = page.find(text);
  EXPECT_NE(at, std::string::npos) << text;
  return at;
}

TEST(SummaryPage, RecordTextsAreEscapedAsText) {
  EXPECT_EQ(HtmlText("<script>alert(1)</script>"), "&lt;script&gt;alert(1)&lt;/script&gt;");
  EXPECT_EQ(HtmlText(R"(a"b'c&d)"), "a&quot;b&#39;c&amp;d");
  // Controls and a bidirectional override as the text summary writes them.
  EXPECT_EQ(HtmlText(std::string("a\x1b[31m\n\0z", 9)), "a\\x1b[31m\\n\\x00z");
  EXPECT_EQ(HtmlText("x\xE2\x80\xAEy"), "x\\u202ey");
  // A byte that is no UTF-8 is shown, never written into the page as it is.
  EXPECT_EQ(HtmlText("pc\xFF\xC3"), "pc\\xff\\xc3");
  EXPECT_EQ(HtmlText("\xC3\xA9\xF0\x9F\x98\x80"), "\xC3\xA9\xF0\x9F\x98\x80");
}

// The page stands alone: nothing loaded, no script, and a hostile host or model
// is shown as text; the sections come in their order, the hosts that need
// attention the most severe first.
TEST(SummaryPage, APageOfTheFleet) {
  HostRow hostile = Row("<script>alert(1)</script>");
  hostile.DmiVendor = "Evil\" onmouseover=\"x";
  hostile.DmiMachineType = "<b>bold</b>";
  HostRow failed = Row("pc-failed", Standing::Failure);
  failed.Failed.push_back(FailedAction{2, "ACTION2", "setup.exe", 1603, std::nullopt});
  failed.IniSha256 = std::string(64, 'a');
  failed.Start = "2026-12-09T08:00:00.000Z";
  failed.StartMs = 1;
  HostRow cut = Row("pc-cut", Standing::Incomplete);
  cut.Note = "no run-end after line 2";
  HostRow older = Row("pc-ok");
  older.File = "old<1>.jsonl";
  const std::vector<HostRow> rows{hostile, cut, failed, Row("pc-ok"),
                                  Row("pc-reboot", Standing::RebootRequired)};
  const std::string page = SummaryPage(rows, {older});

  EXPECT_TRUE(
      page.starts_with("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">"));
  EXPECT_TRUE(page.ends_with("</html>\n"));
  for (const char* outside : {"<script", "<b>", "src=", "href=", "url(", "@import", "<link"}) {
    EXPECT_EQ(page.find(outside), std::string::npos) << outside;
  }
  At(page, "&lt;script&gt;alert(1)&lt;/script&gt;");
  At(page, "&lt;b&gt;bold&lt;/b&gt; (Evil&quot; onmouseover=&quot;x)");
  At(page, "Older records left out");
  At(page, "old&lt;1&gt;.jsonl");

  At(page, "<title>Fleet summary: 5 hosts, 3 need attention</title>");
  const std::size_t bar = At(page, "<div class=\"bar\"");
  const std::size_t attention = At(page, "<h2 id=\"attention\">");
  const std::size_t models = At(page, "<h2 id=\"models\">");
  const std::size_t ruleFiles = At(page, "<h2 id=\"rule-files\">");
  const std::size_t hosts = At(page, "<h2 id=\"hosts\">");
  EXPECT_LT(bar, attention);
  EXPECT_LT(attention, models);
  EXPECT_LT(models, ruleFiles);
  EXPECT_LT(ruleFiles, hosts);
  // Each class's share of the bar and its name and count in words.
  At(page, "style=\"width:20.00%\" title=\"failure: 1\">failure 1</span>");
  At(page, "style=\"width:40.00%\" title=\"success: 2\">success 2</span>");
  At(page, "aria-label=\"failure 1, incomplete 1, reboot-required 1, success 2\"");
  // Attention: failure, then incomplete, then the reboot; the hosts all in name order.
  const std::size_t first = At(page, "<td>ACTION2 1603</td>");
  const std::size_t second = page.find("<td>no run-end after line 2</td>", first);
  EXPECT_NE(second, std::string::npos);
  EXPECT_LT(page.find(">pc-reboot<", second), models);
  EXPECT_LT(page.find("&lt;script&gt;", hosts), page.find(">pc-cut<", hosts));
  EXPECT_LT(page.find(">pc-cut<", hosts), page.find(">pc-failed<", hosts));
  At(page, "<td><code>" + std::string(64, 'a') +
               "</code></td><td class=\"n\">1</td>"
               "<td class=\"when\">2026-12-09T08:00:00.000Z</td>");

  EXPECT_TRUE(IsSummaryPage(page));
  EXPECT_FALSE(IsSummaryPage("<!DOCTYPE html>\n<html><head><title>notes</title>"));
  EXPECT_FALSE(IsSummaryPage("HOST  RESULT\n"));
}

TEST(SummaryPage, AFleetWithoutTroubleSaysSo) {
  const std::string page = SummaryPage({Row("pc-1"), Row("pc-2")});
  At(page, "2 hosts, 0 need attention");
  At(page, "No host needs attention.");
  At(page, "style=\"width:100.00%\"");
  EXPECT_EQ(page.find("<h2 id=\"older\">"), std::string::npos);
}

}  // namespace
}  // namespace dorvanta::tool
