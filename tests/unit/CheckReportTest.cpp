#include "tool/CheckReport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace dorvanta::tool {
namespace {

TEST(CheckReportUri, RelativePathsStayRelativeWithSlashesAndEscapes) {
  EXPECT_EQ(ArtifactUri(L"rules.ini"), "rules.ini");
  EXPECT_EQ(ArtifactUri(L"./rules/a.ini"), "rules/a.ini");
  EXPECT_EQ(ArtifactUri(L"rules\\A b.INI"), "rules/A%20b.INI");
  EXPECT_EQ(ArtifactUri(L"../x:y#1%.ini"), "../x%3Ay%231%25.ini");
  EXPECT_EQ(ArtifactUri(L"gr\u00fcn.ini"), "gr%C3%BCn.ini");
}

TEST(CheckReportUri, AbsolutePathsBecomeFileUris) {
  EXPECT_EQ(ArtifactUri(L"/srv/rules/a.ini"), "file:///srv/rules/a.ini");
  EXPECT_EQ(ArtifactUri(L"C:\\Rules\\a.ini"), "file:///C:/Rules/a.ini");
  EXPECT_EQ(ArtifactUri(L"\\\\server\\share\\a.ini"), "file://server/share/a.ini");
}

TEST(CheckReportWorkflow, DataEscapesPercentAndLineEndsOnly) {
  EXPECT_EQ(WorkflowData("100% a,b: c\r\nd"), "100%25 a,b: c%0D%0Ad");
}

TEST(CheckReportWorkflow, PropertiesEscapeCommaAndColonToo) {
  EXPECT_EQ(WorkflowProperty("x:y,z%\n"), "x%3Ay%2Cz%25%0A");
}

TEST(CheckReportRules, EveryCodeOnceInOrderWithItsHigherSeverity) {
  const std::vector<FindingRule> rules = FindingRules();
  std::set<std::wstring_view> codes;
  for (const FindingRule& rule : rules) {
    EXPECT_TRUE(codes.insert(rule.Code).second);
    EXPECT_FALSE(rule.Help.empty());
  }
  ASSERT_EQ(rules.size(), 31U);
  EXPECT_EQ(rules.front().Code, L"DV100");
  EXPECT_EQ(rules[28].Code, L"DV128");
  EXPECT_EQ(rules[28].Level, Severity::Warning);
  EXPECT_EQ(rules.back().Code, L"DV130");
  EXPECT_EQ(rules.back().Level, Severity::Note);
}

TEST(CheckReportText, CountsPerFileAndATotalForMoreThanOne) {
  CheckReport report;
  AddCheckedFile(report, L"a.ini",
                 {MakeFinding(FindingKind::NoCleanNumber, 2, L"CRITERIA1", L"m"),
                  MakeFinding(FindingKind::VariableInParameters, 3, L"ACTION1", L"p")});
  EXPECT_EQ(CheckText(report),
            L"a.ini:2: error DV113: m\na.ini:3: warning DV129: p\n"
            L"a.ini: 1 error, 1 warning, 0 notes\n");
  AddCheckedFile(report, L"b.ini", {MakeFinding(FindingKind::NoFirstPair, 0, L"", L"n")});
  EXPECT_EQ(CheckText(report),
            L"a.ini:2: error DV113: m\na.ini:3: warning DV129: p\n"
            L"a.ini: 1 error, 1 warning, 0 notes\n"
            L"b.ini: warning DV100: n\nb.ini: 0 errors, 1 warning, 0 notes\n"
            L"2 files: 1 error, 2 warnings, 0 notes\n");
  EXPECT_EQ(report.Total.Warnings, 2U);
}

}  // namespace
}  // namespace dorvanta::tool
