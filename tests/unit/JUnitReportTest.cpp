#include "tool/JUnitReport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Encoding.h"

namespace dorvanta::tool {
namespace {

TEST(JUnitReport, EscapesMarkupAndKeepsLineEndsWhereTheyStay) {
  EXPECT_EQ(XmlEscaped(L"a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&apos;");
  // An attribute value's line ends and tabs become blanks unless referenced;
  // character data keeps them, all but the carriage return.
  EXPECT_EQ(XmlEscaped(L"1\t2\n3\r\n"), "1&#9;2&#10;3&#13;&#10;");
  EXPECT_EQ(XmlEscaped(L"1\t2\n3\r\n", XmlPlace::Text), "1\t2\n3&#13;\n");
}

TEST(JUnitReport, ReplacesWhatXmlDoesNotAllow) {
  const std::string replacement = "\xEF\xBF\xBD";
  // Control characters, U+FFFE and U+FFFF.
  EXPECT_EQ(XmlEscaped(std::wstring(L"a\x01"
                                    L"b") +
                       L'\0' + L"\x1B\xFFFE\xFFFF"),
            "a" + replacement + "b" + replacement + replacement + replacement + replacement);
  // A byte of no UTF-8 sequence, as a read text holds it (an unpaired surrogate).
  EXPECT_EQ(XmlEscaped(DecodeUtf8("x\xFFy")), "x" + replacement + "y");
  // Everything else stays: a character beyond U+FFFF is one, never two.
  EXPECT_EQ(XmlEscaped(DecodeUtf8("\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD")),
            "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

TEST(JUnitReport, CountsTheFailuresAndEscapesEveryText) {
  const std::vector<JUnitCase> cases{{L"ok", L"", L""}, {L"a\"b", L"pair 2 holds\x07", L"x < y\n"}};
  const std::string xml = JUnitReport(L"r&d.ini", L"r&d", cases);
  EXPECT_TRUE(xml.starts_with(kJUnitStart));
  EXPECT_NE(xml.find("<testsuites name=\"r&amp;d.ini\" tests=\"2\" failures=\"1\">"),
            std::string::npos);
  EXPECT_NE(xml.find("<testcase name=\"ok\" classname=\"r&amp;d\"/>"), std::string::npos);
  EXPECT_NE(xml.find("<testcase name=\"a&quot;b\" classname=\"r&amp;d\">\n"
                     "      <failure message=\"pair 2 holds\xEF\xBF\xBD\">x &lt; y\n</failure>"),
            std::string::npos);
}

}  // namespace
}  // namespace dorvanta::tool
