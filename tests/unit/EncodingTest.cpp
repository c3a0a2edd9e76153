#include "common/Encoding.h"

#include <gtest/gtest.h>

namespace dorvanta {
namespace {

TEST(Encoding, EightBitKeepsLatin1AndMarksTheRest) {
  EXPECT_EQ(EncodeEightBit(L"a\xE9\xFF"), "a\xE9\xFF");
  EXPECT_EQ(EncodeEightBit(L"x\x20AC y"), "x? y");
  // A character beyond the basic plane is one character: one '?'.
  EXPECT_EQ(EncodeEightBit(DecodeUtf8("\xF0\x9F\x98\x80!")), "?!");
}

TEST(Encoding, Utf16PairsAreOneCharacterAndLoneSurrogatesStay) {
  const std::wstring decoded = DecodeUtf16(u"a\U0001F600b");
  EXPECT_EQ(decoded, L"a\U0001F600b");
  EXPECT_EQ(EncodeUtf8(decoded),
            "a\xF0\x9F\x98\x80"
            "b");
  EXPECT_EQ(DecodeUtf16(std::u16string{u'x', char16_t{0xDC00}, char16_t{0xD800}}),
            (std::wstring{L'x', static_cast<wchar_t>(0xDC00), static_cast<wchar_t>(0xD800)}));
}

TEST(Encoding, Utf8RoundTripsValidText) {
  const std::string text =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x82\xAC \xF0\x9F\x98\x80";
  const std::wstring wide = DecodeUtf8(text);
  EXPECT_EQ(wide.substr(0, 5),
            L"Gr\xFC\xDF"
            L"e");
  EXPECT_EQ(EncodeUtf8(wide), text);
}

TEST(Encoding, InvalidUtf8BytesSurviveTheRoundTrip) {
  const std::string bytes =
      "a\xFF\xC3(\xE2\x82\xED\xA0\x80\xC0\xAF"
      "b";
  const std::wstring wide = DecodeUtf8(bytes);
  EXPECT_EQ(wide.front(), L'a');
  EXPECT_EQ(wide.back(), L'b');
  EXPECT_EQ(EncodeUtf8(wide), bytes);
}

}  // namespace
}  // namespace dorvanta
