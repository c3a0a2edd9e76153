#include "criteria/FileExistsCriterion.h"

#include <gtest/gtest.h>

#include "criteria/CriteriaLine.h"
#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "fake/FakeShell.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

using platform::FolderLookup;
using platform::FolderLookupStatus;

class FileExistsTest : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override {
    fake::Reset();
    fake::Shell().Paths.Environment[L"SystemRoot"] = L"C:\\WINDOWS";
    fake::Shell().Paths.Folders[0x26] =
        FolderLookup{FolderLookupStatus::Found, L"C:\\Program Files"};
    platform_.ExistingPaths = {L"C:\\WINDOWS\\notepad.exe", L"C:\\Windows",
                               L"C:\\Program Files\\App"};
  }
  bool Line(const std::wstring& line) {
    return EvaluateCriteriaLine(run_.Context, L"CRITERIA1", line).Holds();
  }
  fake::State& platform_ = fake::Platform();
};

TEST_F(FileExistsTest, ResultLineShowsTheResolvedPathAndWhatTheFileSystemSaid) {
  EXPECT_TRUE(Line(L"FileExists = EQ, %SystemRoot%\\notepad.exe"));
  EXPECT_TRUE(Line(L"fileexists = eq , [CSIDL_PROGRAM_FILES]\\App"));
  EXPECT_FALSE(Line(L"FileExists = NE,C:\\Windows"));
  EXPECT_TRUE(Line(L"FileExists = ne, C:\\nothing\\here.txt"));
  EXPECT_FALSE(Line(L"FileExists = EQ,C:\\a=b.txt"));
  EXPECT_EQ(platform_.Stdout,
            L"FileExists C:\\WINDOWS\\notepad.exe exists (EQ) --> OK\n"
            L"fileexists C:\\Program Files\\App exists (EQ) --> OK\n"
            L"FileExists C:\\Windows exists (NE) --> NG\n"
            L"FileExists C:\\nothing\\here.txt does not exist (NE) --> OK\n"
            L"FileExists C:\\a=b.txt does not exist (EQ) --> NG\n");
}

TEST_F(FileExistsTest, AnUnresolvablePathIsFalseWithoutAResultLine) {
  fake::Shell().Paths.Folders[0x0A] = FolderLookup{FolderLookupStatus::NoPath, {}};
  EXPECT_FALSE(Line(L"FileExists = NE,"));
  EXPECT_EQ(platform_.Stdout, L"");
  EXPECT_FALSE(Line(L"FileExists = NE,[CSIDL_BITBUCKET]\\x"));
  EXPECT_FALSE(Line(L"FileExists = GT,[CSIDL_BITBUCKET]\\x"));
  EXPECT_EQ(platform_.Stdout,
            L"ERROR: Could not get path for CSIDL_BITBUCKET!\n"
            L"ERROR: Could not get path for CSIDL_BITBUCKET!\n");
}

TEST_F(FileExistsTest, MalformedValuesAndOtherOperators) {
  EXPECT_FALSE(Line(L"FileExists = EQ"));
  EXPECT_FALSE(Line(L"FileExists = GT,C:\\Windows"));
  EXPECT_FALSE(Line(L"FileExists = LE,C:\\Windows"));
  EXPECT_EQ(platform_.Stdout,
            L"ERROR: Missing ',' in section CRITERIA1 (key: FileExists)!\n"
            L"ERROR: Operator GT is invalid for FileExists in section CRITERIA1\n"
            L"ERROR: Operator LE is invalid for FileExists in section CRITERIA1\n");
}

}  // namespace
}  // namespace dorvanta
