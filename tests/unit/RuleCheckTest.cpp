#include "tool/RuleCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dorvanta::tool {
namespace {

// "<line> <code>" for each finding on the file.
std::vector<std::string> Findings(const std::string& file) {
  std::vector<std::string> out;
  for (const Finding& finding : CheckRuleFile(Profile(file))) {
    out.push_back(std::to_string(finding.Line) + " " +
                  std::string(finding.Code.begin(), finding.Code.end()));
  }
  return out;
}

using Codes = std::vector<std::string>;

TEST(RuleCheckNeverTogether, NumbersAreComparedInTheKeysUnsignedWidth) {
  // -1 is 4294967295 to a 32-bit key: GT never holds, LT holds for every fact.
  EXPECT_EQ(Findings("[CRITERIA1]\nOSMajor=GT,-1\nOSMinor=LT,-1\nOSMinor=EQ,6\n[ACTION1]\nx=1\n"),
            (Codes{"2 DV114", "2 DV125", "3 DV114", "6 DV110"}));
  // Bit compares 8 bits: 320 is 64, which NE,64 contradicts.
  EXPECT_EQ(Findings("[CRITERIA1]\nBit=EQ,320\nBit=NE,64\n[ACTION1]\nExecute=WAIT,a\n"),
            (Codes{"2 DV114", "3 DV125"}));
  // An 8-bit fact widened to 32 bits is never above 255.
  EXPECT_EQ(Findings("[CRITERIA1]\nProcessorModel=GE,256\n[ACTION1]\nExecute=WAIT,a\n"),
            (Codes{"2 DV125"}));
}

TEST(RuleCheckNeverTogether, RangesThatDoNotMeetAndExcludedValues) {
  EXPECT_EQ(Findings("[CRITERIA1]\nOSMajor=GE,6\nosmajor=lt,6\n[ACTION1]\nExecute=WAIT,a\n"),
            (Codes{"3 DV125"}));
  // Only the last of 6..6 minus 6 leaves nothing; GE,5 LE,7 NE,5 NE,6 NE,7 does
  // so only together, and once reported the key is not reported again.
  EXPECT_EQ(Findings("[CRITERIA1]\nOSMajor=GE,5\nOSMajor=LE,7\nOSMajor=NE,5\nOSMajor=NE,6\n"
                     "OSMajor=NE,7\nOSMajor=EQ,9\n[ACTION1]\nExecute=WAIT,a\n"),
            (Codes{"6 DV125"}));
  // Other keys and other sections do not meet.
  EXPECT_EQ(Findings("[CRITERIA1]\nOSMajor=EQ,6\nOSMinor=EQ,7\n[ACTION1]\nExecute=WAIT,a\n"
                     "[CRITERIA2]\nOSMajor=EQ,10\n[ACTION2]\nExecute=WAIT,a\n"),
            Codes{});
}

TEST(RuleCheckNeverTogether, TextsDevicesAndFiles) {
  // A text fact has one value; INI texts compare upper-cased.
  EXPECT_EQ(Findings("[CRITERIA1]\nCurrentLocation=EQ,de\nCurrentLocation=NE,DE\n"
                     "DMIVendor=EQ,A\nDMIVendor=EQ,B\n[ACTION1]\nExecute=WAIT,a\n"),
            (Codes{"3 DV125", "5 DV125"}));
  // Two devices or files may be present at once; only EQ with NE of one contradicts.
  EXPECT_EQ(Findings("[CRITERIA1]\nHWID=EQ,PCI\\A\nHWID=EQ,PCI\\B\nFileExists=EQ,a\n"
                     "FileExists=EQ,b\nFileExists=NE,a\n[ACTION1]\nExecute=WAIT,a\n"),
            (Codes{"6 DV125"}));
  // DMIPANumber: texts of other lengths n are not compared; a text longer than n never matches.
  EXPECT_EQ(Findings("[CRITERIA1]\nDMIPANumber=EQ,2,AB\nDMIPANumber=EQ,3,ABC\n"
                     "DMIPANumber=EQ,2,ABC\n[ACTION1]\nExecute=WAIT,a\n"),
            (Codes{"4 DV125"}));
}

TEST(RuleCheckWalk, AnEmptyCriteriaSectionStopsTheWalkLikeAMissingOne) {
  EXPECT_EQ(
      Findings("[CRITERIA1]\nBit=EQ,64\n[ACTION1]\nExecute=WAIT,a\n[CRITERIA2]\n; none\n"
               "[ACTION2]\nExecute=WAIT,a\n[CRITERIA3]\nBit=EQ,64\n[ACTION3]\nExecute=WAIT,a\n"
               "[ACTION5]\nExecute=WAIT,a\n[ACTION6]\n"),
      (Codes{"7 DV102", "9 DV101", "13 DV102"}));
  EXPECT_EQ(Findings("[ACTION1]\nExecute=WAIT,a\n"), (Codes{"0 DV100", "1 DV102"}));
}

TEST(RuleCheckNeverTogether, ExcludedValuesCountOnlyWithinTheRange) {
  // NE,3 lies outside 5..6 and leaves 6; NE,6 then leaves nothing, with every
  // line before it, as none contradicts it alone.
  EXPECT_EQ(Findings("[CRITERIA1]\nOSMajor=NE,3\nOSMajor=GE,5\nOSMajor=LE,6\nOSMajor=NE,5\n"
                     "[ACTION1]\nExecute=WAIT,a\n"),
            Codes{});
  EXPECT_EQ(Findings("[CRITERIA1]\nOSMajor=NE,3\nOSMajor=GE,5\nOSMajor=LE,6\nOSMajor=NE,5\n"
                     "OSMajor=NE,6\n[ACTION1]\nExecute=WAIT,a\n"),
            (Codes{"6 DV125"}));
  // A value excluded before the range narrows to it still counts.
  EXPECT_EQ(Findings("[CRITERIA1]\nOSMajor=NE,6\nOSMajor=GE,6\nOSMajor=LE,6\n"
                     "[ACTION1]\nExecute=WAIT,a\n"),
            (Codes{"4 DV125"}));
}

TEST(RuleCheckNeverTogether, ReportsTheLinesTheLastOneContradicts) {
  const std::vector<Finding> findings =
      CheckRuleFile(Profile("[CRITERIA1]\nOSMajor=GE,5\nOSMajor=LE,7\nOSMajor=NE,5\nOSMajor=NE,6\n"
                            "OSMajor=NE,7\n[ACTION1]\nExecute=WAIT,a\n"));
  ASSERT_EQ(findings.size(), 1U);
  EXPECT_NE(
      findings[0].Message.find(L"OSMajor NE 7 can never hold together with lines 2, 3, 4, 5 "),
      std::wstring::npos);
  const std::vector<Finding> pairwise = CheckRuleFile(Profile(
      "[CRITERIA1]\nOSMajor=GE,5\nOSMajor=NE,9\nOSMajor=LT,5\n[ACTION1]\nExecute=WAIT,a\n"));
  ASSERT_EQ(pairwise.size(), 1U);
  EXPECT_NE(pairwise[0].Message.find(L"with line 2 of"), std::wstring::npos);
}

TEST(RuleCheckFile, Utf16WithoutByteOrderMarkIsOneNamelessSection) {
  // Read as 8-bit text, every header's name ends at its first NUL: the one
  // header names the nameless section, which the walk never reads.
  std::string utf16;
  for (const char c :
       std::string("[CRITERIA1]\r\nOSMajor=GE,6\r\n[ACTION1]\r\nExecute=WAIT,a\r\n")) {
    utf16 += c;
    utf16 += '\0';
  }
  EXPECT_EQ(Findings(utf16), (Codes{"0 DV100"}));
  // A header without a name after lines before the first header.
  EXPECT_EQ(Findings("x=1\n[]\ny=2\n"), (Codes{"0 DV100", "1 DV127"}));
}

TEST(RuleCheckFile, EveryKindHasItsCodeAndSeverity) {
  const Finding misspelt = MakeFinding(FindingKind::PairNameMisspelled, 3, L"CRITERIA 1", L"m");
  EXPECT_EQ(misspelt.Code, L"DV128");
  EXPECT_EQ(misspelt.Level, Severity::Warning);
  const Finding other = MakeFinding(FindingKind::OtherSection, 3, L"General", L"m");
  EXPECT_EQ(other.Code, L"DV128");
  EXPECT_EQ(other.Level, Severity::Note);
  EXPECT_EQ(MakeFinding(FindingKind::NoFirstPair, 0, L"", L"m").Code, L"DV100");
  EXPECT_EQ(MakeFinding(FindingKind::SystemReaderDiffers, 0, L"", L"m").Code, L"DV126");
}

}  // namespace
}  // namespace dorvanta::tool
