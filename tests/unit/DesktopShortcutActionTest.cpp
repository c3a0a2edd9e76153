#include "actions/ActionRequest.h"
#include "actions/DesktopShortcutAction.h"

#include <gtest/gtest.h>

#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "fake/FakeShell.h"
#include "fake/FakeShortcut.h"
#include "report/Report.h"
#include "rules/ActionLine.h"

namespace dorvanta {
namespace {

using platform::FolderLookup;
using platform::FolderLookupStatus;

const std::wstring kMandatory =
    L"ERROR: Action DesktopShortcut parameter 1, 2 and 3 are mandatory (parameter 3 has to be "
    L"\"[NONE]\" if empty) or could not resolve CSIDL!\n";
const std::wstring kIconNumber =
    L"ERROR: Action DesktopShortcut parameter 5 requires a valid parameter 6!\n";

class DesktopShortcutTest : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override {
    fake::Reset();
    fake::Shell().Paths.Folders[0x19] = FolderLookup{FolderLookupStatus::Found, L"C:\\Desk"};
    fake::Shell().Paths.Folders[0x26] = FolderLookup{FolderLookupStatus::Found, L"C:\\PF"};
    fake::Shell().Paths.Folders[0x0A] = FolderLookup{FolderLookupStatus::NoPath, {}};
  }
  void Shortcut(const std::wstring& value) {
    RunDesktopShortcutAction(run_.Context, value, L"ACTION1", MachineExecutor());
  }
  const std::vector<platform::ShortcutRequest>& requests_ = fake::Shortcuts().Requests;
  fake::State& platform_ = fake::Platform();
};

TEST_F(DesktopShortcutTest, CompleteLineWritesTheLinkWithItsOwnPathAsDescription) {
  RunActionLine(
      run_.Context,
      L"DesktopShortcut = [CSIDL_COMMON_DESKTOPDIRECTORY]\\App, [CSIDL_PROGRAM_FILES]\\App\\a.exe,"
      L" [NONE], [CSIDL_PROGRAM_FILES]\\App\\a.exe, 0",
      L"ACTION1", MachineExecutor());
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].LinkFile, L"C:\\Desk\\App.lnk");
  EXPECT_EQ(requests_[0].Description, L"C:\\Desk\\App.lnk");
  EXPECT_EQ(requests_[0].Target, L"C:\\PF\\App\\a.exe");
  EXPECT_EQ(requests_[0].Arguments, L"");
  EXPECT_EQ(requests_[0].IconFile, L"C:\\PF\\App\\a.exe");
  EXPECT_EQ(requests_[0].IconIndex, 0);
  EXPECT_EQ(platform_.Stdout,
            L"Create  Shortcut C:\\Desk\\App.lnk for C:\\PF\\App\\a.exe  Icon in "
            L"C:\\PF\\App\\a.exe #0\nShortcut created.\n\n");
}

TEST_F(DesktopShortcutTest, SuffixIsAddedUnlessPresentInAnyCase) {
  Shortcut(L"a, t.exe, [NONE]");
  Shortcut(L"b.LnK, t.exe, [NONE]");
  Shortcut(L"c.lnk.txt, t.exe, [NONE]");
  fake::Shortcuts().Suffix = L".desktop";
  Shortcut(L"d.Desktop, t.exe, [NONE]");
  Shortcut(L"e.lnk, t.exe, [NONE]");
  ASSERT_EQ(requests_.size(), 5u);
  EXPECT_EQ(requests_[0].LinkFile, L"a.lnk");
  EXPECT_EQ(requests_[1].LinkFile, L"b.LnK");
  EXPECT_EQ(requests_[2].LinkFile, L"c.lnk.txt.lnk");
  EXPECT_EQ(requests_[3].LinkFile, L"d.Desktop");
  EXPECT_EQ(requests_[4].LinkFile, L"e.lnk.desktop");
}

TEST_F(DesktopShortcutTest, OnlyUpperCaseNoneMeansNoArguments) {
  Shortcut(L"a, t.exe, [NONE]");
  EXPECT_EQ(platform_.Stdout, L"Create  Shortcut a.lnk for t.exe \nShortcut created.\n\n");
  Shortcut(L"a, t.exe, [none]");
  Shortcut(L"a, t.exe, /x [CSIDL_PROGRAM_FILES] %TEMP%");
  ASSERT_EQ(requests_.size(), 3u);
  EXPECT_EQ(requests_[0].Arguments, L"");
  EXPECT_EQ(requests_[1].Arguments, L"[none]");
  EXPECT_EQ(requests_[2].Arguments, L"/x [CSIDL_PROGRAM_FILES] %TEMP%");  // never resolved
}

TEST_F(DesktopShortcutTest, MandatoryAndIconNumberChecks) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"", kMandatory},
      {L"a, t.exe", kMandatory},
      {L"a, t.exe, ", kMandatory},
      {L", t.exe, [NONE]", kMandatory},
      {L"a, , [NONE]", kMandatory},
      // An empty name with four or five pieces ends the action without a word.
      {L", t.exe, [NONE], i.ico", L""},
      {L", t.exe, [NONE], i.ico, 1", L""},
      {L"a, t.exe, [NONE], i.ico", kIconNumber},
      {L"a, t.exe, [NONE], i.ico, -1", kIconNumber},
      {L"a, t.exe, [NONE], i.ico, 1, x",
       L"ERROR: Action DesktopShortcut only supports 6 "
       L"parameters!\n"},
      {L"a, t.exe, [NONE], i.ico, 1,",
       L"ERROR: Action DesktopShortcut only supports 6 "
       L"parameters!\n"},
  };
  for (const auto& [value, message] : cases) {
    platform_.Stdout.clear();
    Shortcut(value);
    EXPECT_EQ(platform_.Stdout, message) << "value: " << value.size();
  }
  EXPECT_TRUE(requests_.empty());
}

TEST_F(DesktopShortcutTest, FailedFolderTokens) {
  const std::wstring noPath = L"ERROR: Could not get path for CSIDL_BITBUCKET!\n";
  Shortcut(L"[CSIDL_BITBUCKET]\\a, t.exe, [NONE]");
  EXPECT_EQ(platform_.Stdout, noPath + kMandatory);
  platform_.Stdout.clear();
  Shortcut(L"[CSIDL_BITBUCKET]\\a, t.exe, [NONE], i.ico, 2");
  EXPECT_EQ(platform_.Stdout, noPath);
  platform_.Stdout.clear();
  // An icon that cannot be resolved leaves the shortcut without an icon.
  Shortcut(L"a, t.exe, [NONE], [CSIDL_BITBUCKET]\\i.ico, 2");
  EXPECT_EQ(platform_.Stdout,
            noPath + L"Create  Shortcut a.lnk for t.exe  Icon in  #2\nShortcut created.\n\n");
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].IconFile, L"");
}

TEST_F(DesktopShortcutTest, IconNumberReadsLikeWcstol) {
  Shortcut(L"a, t.exe, [NONE], , 7abc");
  Shortcut(L"a, t.exe, [NONE], i.ico, x");
  Shortcut(L"a, t.exe, [NONE], i.ico, 99999999999");
  ASSERT_EQ(requests_.size(), 3u);
  EXPECT_EQ(requests_[0].IconIndex, 7);
  EXPECT_EQ(requests_[1].IconIndex, 0);
  EXPECT_EQ(requests_[2].IconIndex, 2147483647);
}

TEST_F(DesktopShortcutTest, LongTextsArePassedWhole) {
  const std::wstring longName(300, L'n');
  const std::wstring longArguments(1000, L'p');
  Shortcut(longName + L", t.exe, " + longArguments);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].LinkFile, longName + L".lnk");
  EXPECT_EQ(requests_[0].Arguments, longArguments);
}

}  // namespace
}  // namespace dorvanta
