#include "common/Text.h"

#include <gtest/gtest.h>

namespace dorvanta {
namespace {

TEST(Text, WhiteSpaceSetBelow256IsExact) {
  for (unsigned c = 0; c < 256; ++c) {
    const bool expected = (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0xA0;
    EXPECT_EQ(IsWhiteSpace(static_cast<wchar_t>(c)), expected) << c;
  }
  EXPECT_TRUE(IsWhiteSpace(L'\x3000'));
  EXPECT_TRUE(IsWhiteSpace(L'\x2003'));
  EXPECT_FALSE(IsWhiteSpace(L'\x200B'));  // zero width space is no white space
}

TEST(Text, TrimRemovesOnlyTheEnds) {
  EXPECT_EQ(Trim(L" \t\xA0 a  b \r\n\x3000"), L"a  b");
  EXPECT_EQ(Trim(L"   "), L"");
  EXPECT_EQ(Trim(L""), L"");
}

TEST(Text, UpperCasingTouchesOnlyAsciiLetters) {
  EXPECT_EQ(UpperAscii(L"abz{`@AZ\xE9\xE4\x3B1"), L"ABZ{`@AZ\xE9\xE4\x3B1");
  EXPECT_EQ(LowerAscii(L"ABZ[`@az\xC9\xC4\x391"), L"abz[`@az\xC9\xC4\x391");
}

TEST(Text, DecimalReadingFollowsWcstol) {
  EXPECT_EQ(ParseDecimal(L"6"), 6);
  EXPECT_EQ(ParseDecimal(L" \t+42xyz"), 42);
  EXPECT_EQ(ParseDecimal(L"-3"), -3);
  EXPECT_EQ(ParseDecimal(L"6,7"), 6);
  EXPECT_EQ(ParseDecimal(L""), 0);
  EXPECT_EQ(ParseDecimal(L"abc"), 0);
  EXPECT_EQ(ParseDecimal(L"- 5"), 0);
  EXPECT_EQ(ParseDecimal(L"2147483647"), 2147483647);
  EXPECT_EQ(ParseDecimal(L"2147483648"), 2147483647);
  EXPECT_EQ(ParseDecimal(L"99999999999999999999999999"), 2147483647);
  EXPECT_EQ(ParseDecimal(L"-2147483648"), -2147483647 - 1);
  EXPECT_EQ(ParseDecimal(L"-99999999999"), -2147483647 - 1);
}

// What steers a terminal or a line's layout shows as what it is; all else stays.
TEST(Text, ControlsAreWrittenOut) {
  EXPECT_EQ(EscapeControls(L"pc-a\x1b]0;owned\x07\x1b[2J"), L"pc-a\\x1b]0;owned\\x07\\x1b[2J");
  EXPECT_EQ(EscapeControls(L"pc\nb  success\r\t"), L"pc\\nb  success\\r\\t");
  EXPECT_EQ(EscapeControls(std::wstring(L"a\0b", 3)), L"a\\x00b");
  EXPECT_EQ(EscapeControls(L"\x7f\x9b\x80\x9f"), L"\\x7f\\x9b\\x80\\x9f");
  EXPECT_EQ(EscapeControls(L"\x202e\x2028\x2069\x200f"), L"\\u202e\\u2028\\u2069\\u200f");
  const std::wstring plain = L"C:\\Temp\\x1b \xA0\xE9\x20ac\x202f\x2070~ \x7e";
  EXPECT_EQ(EscapeControls(plain), plain);
}

}  // namespace
}  // namespace dorvanta
