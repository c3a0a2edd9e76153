#include <gtest/gtest.h>

#include "CriteriaLineFixture.h"

namespace dorvanta {
namespace {

using NumericCriteria = tests::CriteriaLineFixture;

TEST_F(NumericCriteria, OperandReadingAndUnsignedComparison) {
  EXPECT_EQ(Line(L"OSMajor = EQ,", false), L"OSMajor OS=6 EQ INI=0 --> NG\n");
  EXPECT_EQ(Line(L"OSMajor = EQ,6abc", true), L"OSMajor OS=6 EQ INI=6 --> OK\n");
  EXPECT_EQ(Line(L"OSMajor = EQ,6,7", true), L"OSMajor OS=6 EQ INI=6 --> OK\n");
  EXPECT_EQ(Line(L"OSMajor = GT,-1", false), L"OSMajor OS=6 GT INI=-1 --> NG\n");
  EXPECT_EQ(Line(L"OSMajor = LT,-1", true), L"OSMajor OS=6 LT INI=-1 --> OK\n");
  EXPECT_EQ(Line(L"Processors = LT,99999999999", true),
            L"Processors OS=2 LT INI=2147483647 --> OK\n");
  EXPECT_EQ(Line(L"OSMajor = NE,6", false), L"OSMajor OS=6 NE INI=6 --> NG\n");
  EXPECT_EQ(Line(L"OSMajor = LE,6", true), L"OSMajor OS=6 LE INI=6 --> OK\n");
}

TEST_F(NumericCriteria, BitIsAnEightBitEqualityCriterion) {
  EXPECT_EQ(Line(L"Bit = EQ,320", true), L"Bit OS=64 EQ INI=64 --> OK\n");
  EXPECT_EQ(Line(L"Bit = EQ,-1", false), L"Bit OS=64 EQ INI=255 --> NG\n");
  EXPECT_EQ(Line(L"Bit = ne,32", true), L"Bit OS=64 NE INI=32 --> OK\n");
  EXPECT_EQ(Line(L"Bit = GT,32", false),
            L"ERROR: Operator GT is invalid for Bit in section CRITERIA1\n");
}

}  // namespace
}  // namespace dorvanta
