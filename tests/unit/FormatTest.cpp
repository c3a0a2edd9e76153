#include "report/Format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace dorvanta {
namespace {

TEST(Format, NumbersAreThirtyTwoBitAsOnWindows) {
  EXPECT_EQ(Format(L"%d|%u|%ld|%lu", -5, 7u, std::int32_t{-1}, std::uint32_t{4294967295u}),
            L"-5|7|-1|4294967295");
  // %ld of a large unsigned fact shows the signed 32-bit reading.
  EXPECT_EQ(Format(L"%ld", std::uint32_t{0x80000000u}), L"-2147483648");
  EXPECT_EQ(Format(L"%u", std::int32_t{-1}), L"4294967295");
  EXPECT_EQ(Format(L"%d", std::uint8_t{255}), L"255");
  EXPECT_EQ(Format(L"%ld (0x%x)", std::uint16_t{1031}, std::uint16_t{1031}), L"1031 (0x407)");
}

TEST(Format, AlternateHexHasPrefixExceptForZero) {
  EXPECT_EQ(Format(L"%#x", std::uint32_t{0x80041003u}), L"0x80041003");
  EXPECT_EQ(Format(L"%#x", 0), L"0");
  EXPECT_EQ(Format(L"%x", 0xABCu), L"abc");
}

TEST(Format, TextIsInsertedVerbatimAndNeverReadAsFormat) {
  const std::wstring path = L"C:\\100%s\\%d%n";
  EXPECT_EQ(Format(L"[%s] %s!", path, L""), L"[C:\\100%s\\%d%n] !");
  EXPECT_EQ(Format(L"no placeholders"), L"no placeholders");
  EXPECT_EQ(Format(L"%s%s", std::wstring(L"a"), std::wstring_view(L"b")), L"ab");
}

TEST(Format, LongMessagesAreNotLimited) {
  const std::wstring big(100000, L'x');
  EXPECT_EQ(Format(L"<%s>", big).size(), big.size() + 2);
}

}  // namespace
}  // namespace dorvanta
