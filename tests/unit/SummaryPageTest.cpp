#include "tool/SummaryPage.h"

#include <gtest/gtest.h>

#include <string>

namespace dorvanta::tool {
namespace {

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

// A page written before may be replaced, another file that looks like HTML not.
TEST(SummaryPage, OnlyItsOwnPageIsReplaced) {
  EXPECT_TRUE(IsSummaryPage(SummaryPage({})));
  EXPECT_FALSE(IsSummaryPage("<!DOCTYPE html>\n<html><head><title>notes</title>"));
  EXPECT_FALSE(IsSummaryPage("HOST  RESULT\n"));
}

}  // namespace
}  // namespace dorvanta::tool
