#include "paths/PathResolver.h"

#include <gtest/gtest.h>

#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "fake/FakeShell.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

using platform::FolderLookup;
using platform::FolderLookupStatus;

constexpr int kWindows = 0x24;
constexpr int kSystem = 0x25;

class PathResolverTest : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override {
    fake::Reset();
    paths_.Folders[kWindows] = FolderLookup{FolderLookupStatus::Found, L"C:\\WINDOWS"};
    paths_.Folders[kSystem] = FolderLookup{FolderLookupStatus::Found, L"C:\\WINDOWS\\system32"};
    paths_.Environment[L"SystemRoot"] = L"C:\\WINDOWS";
  }
  fake::PathState& paths_ = fake::Shell().Paths;
  fake::State& platform_ = fake::Platform();
};

TEST_F(PathResolverTest, FolderTableKeepsItsNumbersAndLetterCase) {
  EXPECT_EQ(CsidlFromName(L"CSIDL_ADMINTOOLS"), 0x30);
  EXPECT_EQ(CsidlFromName(L"CSIDL_BITBUCKET"), 0x0A);
  EXPECT_EQ(CsidlFromName(L"CSIDL_PERSONAL"), 5);
  EXPECT_EQ(CsidlFromName(L"CSIDL_PROGRAM_FILES"), 0x26);
  EXPECT_EQ(CsidlFromName(L"CSIDL_PROGRAM_FILES_COMMON"), 0x2B);
  EXPECT_EQ(CsidlFromName(L"CSIDL_COMMON_PROGRAMS"), 0x17);
  EXPECT_EQ(CsidlFromName(L"csidl_windows"), -1);
  EXPECT_EQ(CsidlFromName(L" CSIDL_WINDOWS"), -1);
  EXPECT_EQ(CsidlFromName(L"CSIDL_WINDOW"), -1);
  EXPECT_EQ(CsidlFromName(L""), -1);
}

TEST_F(PathResolverTest, TokenIsReplacedAtEveryPlaceBeforeExpansion) {
  paths_.Environment[L"USERNAME"] = L"[CSIDL_WINDOWS]";
  EXPECT_EQ(ResolvePath(run_.Context, L"[CSIDL_SYSTEM]\\a.exe;[CSIDL_SYSTEM]\\b.exe"),
            L"C:\\WINDOWS\\system32\\a.exe;C:\\WINDOWS\\system32\\b.exe");
  // A token inside a variable's value is never resolved.
  EXPECT_EQ(ResolvePath(run_.Context, L"[CSIDL_SYSTEM]\\%USERNAME%.ini"),
            L"C:\\WINDOWS\\system32\\[CSIDL_WINDOWS].ini");
  EXPECT_EQ(paths_.FolderLookups, (std::vector<int>{kSystem, kSystem}));
  EXPECT_EQ(platform_.Stdout, L"");
}

TEST_F(PathResolverTest, OnlyTheTokenOfTheFirstBracketsIsResolved) {
  EXPECT_EQ(ResolvePath(run_.Context, L"[CSIDL_SYSTEM]\\a.exe [CSIDL_WINDOWS]\\b.exe"),
            L"C:\\WINDOWS\\system32\\a.exe [CSIDL_WINDOWS]\\b.exe");
  // The first "]" is searched from the start of the path.
  EXPECT_EQ(ResolvePath(run_.Context, L"x]y\\[CSIDL_WINDOWS]\\z"), L"x]y\\[CSIDL_WINDOWS]\\z");
  EXPECT_EQ(ResolvePath(run_.Context, L"[[CSIDL_WINDOWS]]"), L"[C:\\WINDOWS]");
  EXPECT_EQ(ResolvePath(run_.Context, L"a[[[CSIDL_SYSTEM]\\b"), L"a[[C:\\WINDOWS\\system32\\b");
  EXPECT_EQ(paths_.FolderLookups, (std::vector<int>{kSystem, kWindows, kSystem}));
}

TEST_F(PathResolverTest, UnknownOrMisspelledTokensOnlyExpand) {
  EXPECT_EQ(ResolvePath(run_.Context, L"[csidl_windows]\\%SystemRoot%\\notepad.exe"),
            L"[csidl_windows]\\C:\\WINDOWS\\notepad.exe");
  EXPECT_EQ(ResolvePath(run_.Context, L"[ CSIDL_WINDOWS ]\\x"), L"[ CSIDL_WINDOWS ]\\x");
  EXPECT_EQ(ResolvePath(run_.Context, L"[]\\x[]"), L"[]\\x[]");
  EXPECT_EQ(ResolvePath(run_.Context, L"plain\\path.exe"), L"plain\\path.exe");
  EXPECT_EQ(ResolvePath(run_.Context, L""), L"");
  EXPECT_TRUE(paths_.FolderLookups.empty());
  EXPECT_EQ(platform_.Stdout, L"");
}

TEST_F(PathResolverTest, FolderFailuresReportAndGiveNothing) {
  paths_.Folders[0x0A] = FolderLookup{FolderLookupStatus::NoPath, {}};
  EXPECT_EQ(ResolvePath(run_.Context, L"[CSIDL_BITBUCKET]\\x"), L"");
  EXPECT_EQ(ResolvePath(run_.Context, L"%SystemRoot%[CSIDL_COOKIES]"), L"");
  EXPECT_EQ(platform_.Stdout,
            L"ERROR: Could not get path for CSIDL_BITBUCKET!\n"
            L"ERROR: Could not get CSIDL CSIDL_COOKIES!\n");
  EXPECT_TRUE(paths_.Expansions.empty());
}

TEST_F(PathResolverTest, ExpansionBeyondTheSystemLimitReportsAndGivesNothing) {
  paths_.Environment[L"BIG"] = std::wstring(20000, L'b');
  EXPECT_EQ(ResolvePath(run_.Context, L"%BIG%"), std::wstring(20000, L'b'));
  EXPECT_EQ(ResolvePath(run_.Context, L"[CSIDL_WINDOWS]\\%BIG%%BIG%"), L"");
  EXPECT_EQ(platform_.Stdout,
            L"ERROR: Could not expand environment variables in [CSIDL_WINDOWS]\\%BIG%%BIG%!\n");
}

TEST_F(PathResolverTest, LongTextsStayWhole) {
  const std::wstring longFolder = L"D:\\" + std::wstring(700, L'f');
  paths_.Folders[kWindows] = FolderLookup{FolderLookupStatus::Found, longFolder};
  const std::wstring tail = L"\\" + std::wstring(3000, L't') + L".exe";
  EXPECT_EQ(ResolvePath(run_.Context, L"[CSIDL_WINDOWS]" + tail + L"[CSIDL_WINDOWS]"),
            longFolder + tail + longFolder);
  // Ten thousand "[" and no "]": no token.
  const std::wstring brackets(10000, L'[');
  EXPECT_EQ(ResolvePath(run_.Context, brackets), brackets);
  EXPECT_EQ(ResolvePath(run_.Context, brackets + L"CSIDL_WINDOWS]"),
            std::wstring(9999, L'[') + longFolder);
}

}  // namespace
}  // namespace dorvanta
