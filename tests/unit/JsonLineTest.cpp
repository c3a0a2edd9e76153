#include "tool/JsonLine.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/Encoding.h"

namespace dorvanta::tool {
namespace {

// The bytes Json writes for a string, invalid UTF-8 replaced.
std::string Dumped(const std::string& bytes) {
  return Json(bytes).dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string Written(std::string_view bytes) {
  std::string out = "x";  // text already there stays
  AppendJsonString(out, bytes);
  return out.substr(1);
}

std::string Written(std::wstring_view text) {
  std::string out = "x";
  AppendJsonString(out, text);
  return out.substr(1);
}

// Texts that need more than copying: escapes, every kind of ill-formed UTF-8
// (a stray continuation, overlong forms, surrogates, beyond U+10FFFF, a cut
// sequence in the middle and at the end) beside well-formed characters.
const std::vector<std::string> kTrickyBytes{
    "",
    "plain ASCII / with a slash",
    "quote \" backslash \\ controls \b\f\n\r\t \x01\x1f and DEL \x7f",
    std::string("NUL \0 inside", 12),
    "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
    "\x80 lone continuation",
    "\xC0\xAF overlong slash, \xE0\x80\xAF and \xF0\x80\x80\xAF",
    "\xED\xA0\x80 a surrogate",
    "\xF4\x90\x80\x80 beyond the last character, \xF5\x80 \xFF\xFE",
    "\xE2\x82 cut, \xF0\x9F\x98 cut, \xC3",
    "\xE2\x82\"\xC3\\\xF0\x9F\n",
    "\xE2\x82\xE2\x82\xAC\xC3\xC3\xA9",
};

TEST(JsonLineTest, StringsAreTheBytesJsonWrites) {
  for (const std::string& bytes : kTrickyBytes) {
    EXPECT_EQ(Written(bytes), Dumped(bytes)) << Dumped(bytes);
  }
  EXPECT_EQ(Written("a\x01\x1f\"\\\n"), R"("a\u0001\u001f\"\\\n")");
  EXPECT_EQ(Written("\xE2\x82x\x80"), "\"\xEF\xBF\xBDx\xEF\xBF\xBD\"");
  EXPECT_EQ(Written("\xE2\x82\xE2\x82\xAC"), "\"\xEF\xBF\xBD\xE2\x82\xAC\"");
}

TEST(JsonLineTest, RandomBytesAreTheBytesJsonWrites) {
  std::mt19937 random(20261209);
  // Mostly bytes that start or continue sequences, with quotes and controls.
  static constexpr char kAlphabet[] =
      "\x00\x0a\x1f\"\\a\x7f\x80\x8f\x90\x9f\xa0\xbf\xc0\xc2\xdf\xe0\xe1"
      "\xed\xef\xf0\xf1\xf4\xf5\xff";
  const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<std::size_t> length(0, 12);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    for (std::size_t n = length(random); n > 0; --n) bytes.push_back(alphabet[pick(random)]);
    ASSERT_EQ(Written(bytes), Dumped(bytes)) << Dumped(bytes);
  }
}

// Wide text is written as its UTF-8: a byte read from a file that was no UTF-8
// (kept as U+DC80 + byte) comes out as Json writes that byte.
TEST(JsonLineTest, WideTextIsItsUtf8AsJsonWritesIt) {
  const std::vector<std::wstring> texts{
      L"",
      L"C:\\Program Files\\Setup \"x\".exe\t/S",
      L"\u00e9t\u00e9 \u20ac \U0001F600",
      DecodeUtf8("caf\xE9 \xC3 \x80\x80 tail"),
      std::wstring(L"\xDC80\xDCFF") + L"\n",
      std::wstring(1, static_cast<wchar_t>(0xD800)) + L"unpaired",
  };
  for (const std::wstring& text : texts) {
    EXPECT_EQ(Written(text), Dumped(EncodeUtf8(text))) << Dumped(EncodeUtf8(text));
  }
  EXPECT_EQ(Written(DecodeUtf8("caf\xE9")), "\"caf\xEF\xBF\xBD\"");
}

TEST(JsonLineTest, ALineIsTheObjectJsonWritesOnOneLine) {
  std::string out;
  JsonLine line(out);
  line.Add("event", "criterion")
      .Add("text", std::wstring(L"Key = \"v\""))
      .Add("pair", 256)
      .Add("size", std::size_t{18446744073709551615U})
      .Add("negative", std::int64_t{-9223372036854775807 - 1})
      .Add("malformed", false)
      .Add("done", true)
      .Add("exitCode", nullptr)
      .AddJson("request", Json{{"kind", "execute"}, {"wait", true}, {"list", {1, "\x80"}}});
  line.End();
  const Json expected{
      {"event", "criterion"},
      {"text", "Key = \"v\""},
      {"pair", 256},
      {"size", std::size_t{18446744073709551615U}},
      {"negative", std::int64_t{-9223372036854775807 - 1}},
      {"malformed", false},
      {"done", true},
      {"exitCode", nullptr},
      {"request", Json{{"kind", "execute"}, {"wait", true}, {"list", {1, "\x80"}}}}};
  EXPECT_EQ(out, expected.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n");

  std::string empty;
  JsonLine(empty).End();
  EXPECT_EQ(empty, "{}\n");
}

}  // namespace
}  // namespace dorvanta::tool
