#include "criteria/TextCriteria.h"

#include <gtest/gtest.h>

#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

class TextCriteria : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override { fake::Reset(); }

  static std::wstring Out() { return fake::Platform().Stdout; }
};

TEST_F(TextCriteria, WholeTextComparesBothSidesUpperCased) {
  EXPECT_TRUE(
      CheckTextCriterion(run_.Sink, L"eq, de", L"DE", L"CRITERIA1", L"CurrentLocation").Holds());
  EXPECT_EQ(Out(), L"CurrentLocation OS=DE EQ INI=DE --> OK\n");

  SetUp();
  EXPECT_TRUE(
      CheckTextCriterion(run_.Sink, L"EQ,dell inc.", L"Dell Inc.", L"CRITERIA1", L"DMIVendor")
          .Holds());
  EXPECT_EQ(Out(),
            L"DMIVendor OS=Dell Inc. EQ INI=DELL INC. --> OK\n");  // fact printed as gathered
  EXPECT_FALSE(CheckTextCriterion(run_.Sink, L"NE,DELL INC.", L"Dell Inc.", L"S", L"K").Holds());
  EXPECT_TRUE(CheckTextCriterion(run_.Sink, L"NE,Dell  Inc.", L"Dell Inc.", L"S", L"K")
                  .Holds());  // inner blanks count
  EXPECT_FALSE(CheckTextCriterion(run_.Sink, L"EQ,\u00C9", L"\u00E9", L"S", L"K")
                   .Holds());  // only a..z are folded
  EXPECT_TRUE(CheckTextCriterion(run_.Sink, L"EQ,", L"", L"S", L"K").Holds());
}

TEST_F(TextCriteria, WholeTextMessages) {
  EXPECT_FALSE(
      CheckTextCriterion(run_.Sink, L"EQ", L"DE", L"CRITERIA2", L"CurrentLocation").Holds());
  EXPECT_FALSE(CheckTextCriterion(run_.Sink, L"", L"DE", L"CRITERIA2", L"CurrentLocation").Holds());
  EXPECT_FALSE(
      CheckTextCriterion(run_.Sink, L"lt,DE", L"DE", L"CRITERIA2", L"CurrentLocation").Holds());
  EXPECT_EQ(Out(),
            L"ERROR: Missing ',' in section CRITERIA2 (key: CurrentLocation)!\n"
            L"ERROR: Missing ',' in section CRITERIA2 (key: CurrentLocation)!\n"
            L"ERROR: Operator LT is invalid for CurrentLocation in section CRITERIA2\n");
}

TEST_F(TextCriteria, FirstCharactersCutOnlyTheFact) {
  EXPECT_TRUE(
      CheckFirstCharsCriterion(run_.Sink, L"EQ,5,ab123", L"AB123XY", L"S", L"DMIPANumber").Holds());
  EXPECT_FALSE(CheckFirstCharsCriterion(run_.Sink, L"EQ,5,AB123X", L"AB123XY", L"S", L"DMIPANumber")
                   .Holds());
  EXPECT_TRUE(
      CheckFirstCharsCriterion(run_.Sink, L"ne , 5 , AB123X", L"ab123xy", L"S", L"DMIPANumber")
          .Holds());
  EXPECT_TRUE(
      CheckFirstCharsCriterion(run_.Sink, L"EQ,20,ab123xy", L"AB123XY", L"S", L"DMIPANumber")
          .Holds());
  EXPECT_EQ(Out(),
            L"DMIPANumber (first 5 characters) OS=AB123 EQ INI=AB123 --> OK\n"
            L"DMIPANumber (first 5 characters) OS=AB123 EQ INI=AB123X --> NG\n"
            L"DMIPANumber (first 5 characters) OS=AB123 NE INI=AB123X --> OK\n"
            L"DMIPANumber (first 20 characters) OS=AB123XY EQ INI=AB123XY --> OK\n");
}

TEST_F(TextCriteria, FirstCharactersCountsOfNothing) {
  EXPECT_TRUE(CheckFirstCharsCriterion(run_.Sink, L"EQ,0,", L"AB", L"S", L"K").Holds());
  EXPECT_FALSE(CheckFirstCharsCriterion(run_.Sink, L"EQ,abc,X", L"XY", L"S", L"K").Holds());
  EXPECT_TRUE(CheckFirstCharsCriterion(run_.Sink, L"EQ,-3,", L"XY", L"S", L"K").Holds());
  EXPECT_FALSE(CheckFirstCharsCriterion(run_.Sink, L"EQ,1,a,b", L"A,b", L"S", L"K").Holds());
  EXPECT_EQ(Out(),
            L"K (first 0 characters) OS= EQ INI= --> OK\n"
            L"K (first 0 characters) OS= EQ INI=X --> NG\n"
            L"K (first -3 characters) OS= EQ INI= --> OK\n"
            L"K (first 1 characters) OS=A EQ INI=A,B --> NG\n");
}

TEST_F(TextCriteria, FirstCharactersMessagesInOrderOfPrecedence) {
  EXPECT_FALSE(
      CheckFirstCharsCriterion(run_.Sink, L"LT", L"X", L"CRITERIA3", L"DMIPANumber").Holds());
  EXPECT_FALSE(
      CheckFirstCharsCriterion(run_.Sink, L"LT,", L"X", L"CRITERIA3", L"DMIPANumber").Holds());
  EXPECT_FALSE(
      CheckFirstCharsCriterion(run_.Sink, L"EQ,5", L"X", L"CRITERIA3", L"DMIPANumber").Holds());
  EXPECT_FALSE(
      CheckFirstCharsCriterion(run_.Sink, L"lt,5,X", L"X", L"CRITERIA3", L"DMIPANumber").Holds());
  EXPECT_EQ(Out(),
            L"ERROR: Missing first ',' in section CRITERIA3 (key: DMIPANumber)!\n"
            L"ERROR: Missing second ',' in section CRITERIA3 (key: DMIPANumber)!\n"
            L"ERROR: Missing second ',' in section CRITERIA3 (key: DMIPANumber)!\n"
            L"ERROR: Operator LT is invalid for DMIPANumber in section CRITERIA3\n");
}

}  // namespace
}  // namespace dorvanta
