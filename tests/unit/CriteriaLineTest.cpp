#include "criteria/CriteriaLine.h"

#include <gtest/gtest.h>

#include "CriteriaLineFixture.h"

namespace dorvanta {
namespace {

using CriteriaLine = tests::CriteriaLineFixture;

TEST_F(CriteriaLine, KeysMatchInAnyCaseAndPrintAsWritten) {
  EXPECT_EQ(Line(L"osmajor=ge,6", true), L"osmajor OS=6 GE INI=6 --> OK\n");
  EXPECT_EQ(Line(L"OSMajor = ge, 6", true), L"OSMajor OS=6 GE INI=6 --> OK\n");
  EXPECT_EQ(Line(L"\tOsMajor\t=\tGE\t,\t6\t", true), L"OsMajor OS=6 GE INI=6 --> OK\n");
  EXPECT_EQ(Line(L"Processors = ge , 2", true), L"Processors OS=2 GE INI=2 --> OK\n");
  EXPECT_EQ(Line(L"ProcessorRevision=EQ,3592", true),
            L"ProcessorRevision OS=3592 EQ INI=3592 --> OK\n");
  EXPECT_EQ(Line(L"processormodel=GT,13", true), L"processormodel OS=14 GT INI=13 --> OK\n");
}

TEST_F(CriteriaLine, MalformedLinesAndUnknownKeys) {
  EXPECT_EQ(Line(L"OSMajor GE 6", false),
            L"ERROR: Missing '=' in section CRITERIA1 (line: OSMajor GE 6)!\n");
  EXPECT_EQ(Line(L"= EQ,6", false), L"ERROR: Unknown key: \"\" in section \"CRITERIA1\"\n");
  EXPECT_EQ(Line(L"OS Major = GE,6", false),
            L"ERROR: Unknown key: \"OS Major\" in section \"CRITERIA1\"\n");
  EXPECT_EQ(Line(L"OSMajor = GE", false),
            L"ERROR: Missing ',' in section CRITERIA1 (key: OSMajor)!\n");
  EXPECT_EQ(Line(L"OSMajor =", false),
            L"ERROR: Missing ',' in section CRITERIA1 (key: OSMajor)!\n");
  EXPECT_EQ(Line(L"OSMajor = ,6", false),
            L"ERROR: Operator  is invalid for OSMajor in section CRITERIA1\n");
  EXPECT_EQ(Line(L"OSMajor = >=,6", false),
            L"ERROR: Operator >= is invalid for OSMajor in section CRITERIA1\n");
}

}  // namespace
}  // namespace dorvanta
