#include <gtest/gtest.h>

#include "fake/FakeLanguage.h"
#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

class LanguageFacts : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override { fake::Reset(); }
};

TEST_F(LanguageFacts, SplitsEachIdentifierAndReportsTheBlock) {
  fake::Language().UserDefaultUi = 1031;
  fake::Language().SystemDefaultUi = 2057;
  fake::Language().SystemDefault = 0xFC0C;
  fake::Language().Location.Iso2 = L"DE";
  EXPECT_TRUE(GatherLanguageFacts(run_.Context));

  EXPECT_EQ(fake::Platform().Stdout,
            L"\nLanguage Information:\n---------------------\n"
            L"UserDefaultUI Lang ID         = 1031 (0x407)\n"
            L"UserDefaultUI Primary Lang ID = 7 (0x7)\n"
            L"UserDefaultUI Sub Lang ID     = 1 (0x1)\n"
            L"SysDefaultUI Lang ID          = 2057 (0x809)\n"
            L"SysDefaultUI Primary Lang ID  = 9 (0x9)\n"
            L"SysDefaultUI Sub Lang ID      = 2 (0x2)\n"
            L"SysDefault Lang ID (non UNICODE)         = 64524 (0xfc0c)\n"
            L"SysDefault Primary Lang ID (non UNICODE) = 12 (0xc)\n"
            L"SysDefault Sub Lang ID (non UNICODE)     = 63 (0x3f)\n"
            L"Current Location = DE\n");
  EXPECT_EQ(run_.Context.Facts.UserDefaultUiPrimary, 7);
  EXPECT_EQ(run_.Context.Facts.UserDefaultUiSub, 1);
  EXPECT_EQ(run_.Context.Facts.SysDefaultUi, 2057);
  EXPECT_EQ(run_.Context.Facts.SysDefaultSub, 63);
  EXPECT_EQ(run_.Context.Facts.CurrentLocation, L"DE");
}

TEST_F(LanguageFacts, LongLocationCodeIsKeptWhole) {
  fake::Language().Location.Iso2 = L"ABCDEFGHIJKLMNOPQRST";
  EXPECT_TRUE(GatherLanguageFacts(run_.Context));
  EXPECT_EQ(run_.Context.Facts.CurrentLocation, L"ABCDEFGHIJKLMNOPQRST");
}

TEST_F(LanguageFacts, MissingLocationEndsTheRunAfterTheLanguageLines) {
  struct Case {
    platform::UserLocation::Status Status;
    const wchar_t* Message;
  };
  for (const Case& c :
       {Case{platform::UserLocation::Status::NoGeoId, L"ERROR: GEOID not available!\n"},
        Case{platform::UserLocation::Status::NoIso2Code,
             L"ERROR: Could not get GEO_ISO2 info!\n"}}) {
    SetUp();
    fake::Language().Location = platform::UserLocation{c.Status, {}};
    EXPECT_FALSE(GatherLanguageFacts(run_.Context)) << "the run went on";
    const std::wstring& out = fake::Platform().Stdout;
    EXPECT_NE(out.find(L"SysDefault Sub Lang ID (non UNICODE)     = 1 (0x1)\n"),
              std::wstring::npos);
    EXPECT_TRUE(out.ends_with(c.Message)) << out;
    EXPECT_EQ(out.find(L"Current Location"), std::wstring::npos);
  }
}

}  // namespace
}  // namespace dorvanta
