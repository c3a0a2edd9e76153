#include "criteria/HardwareIdCriteria.h"

#include <gtest/gtest.h>

#include "criteria/CriteriaLine.h"
#include "facts/HardwareIds.h"
#include "fake/FakeDevices.h"
#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

class HardwareIdCriteria : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override {
    fake::Reset();
    fake::Devices().Devices.push_back(
        fake::DeviceWithIds({u"ACPI\\IFX0101", u"PCI\\VEN08&DEV15&SUBSYS_000815&ETC&ETC"}));
  }

  static std::wstring Out() { return fake::Platform().Stdout; }
};

TEST_F(HardwareIdCriteria, ResultLineFollowsTheSearchAndTheOperator) {
  EXPECT_TRUE(
      CheckHardwareIdCriterion(run_.Context, L"EQ, ACPI\\IFX0101", L"S", L"HWID", false).Holds());
  EXPECT_FALSE(
      CheckHardwareIdCriterion(run_.Context, L"NE,ACPI\\IFX0101", L"S", L"HWID", false).Holds());
  EXPECT_FALSE(
      CheckHardwareIdCriterion(run_.Context, L"EQ,ACPI\\IFX0102", L"S", L"HWID", false).Holds());
  EXPECT_FALSE(
      CheckHardwareIdCriterion(run_.Context, L"ne , pci\\ven08&dev15", L"S", L"HwIdLeft", true)
          .Holds());
  EXPECT_FALSE(CheckHardwareIdCriterion(run_.Context, L"EQ,", L"S", L"HWID", false).Holds());
  EXPECT_EQ(Out(),
            L"HWID ACPI\\IFX0101 exists (EQ) --> OK\n"
            L"HWID ACPI\\IFX0101 exists (NE) --> NG\n"
            L"HWID ACPI\\IFX0102 does not exist (EQ) --> NG\n"
            L"HwIdLeft pci\\ven08&dev15 exists (NE) --> NG\n"
            L"HWID  does not exist (EQ) --> NG\n");
}

TEST_F(HardwareIdCriteria, MalformedValues) {
  EXPECT_FALSE(CheckHardwareIdCriterion(run_.Context, L"EQ", L"CRITERIA4", L"HWID", false).Holds());
  EXPECT_EQ(fake::Devices().Opens, 0);
  EXPECT_FALSE(
      CheckHardwareIdCriterion(run_.Context, L"GE,ACPI\\IFX0101", L"CRITERIA4", L"HWID", false)
          .Holds());
  EXPECT_EQ(fake::Devices().Opens, 1);  // the search ran before the operator was checked
  EXPECT_EQ(Out(),
            L"ERROR: Missing ',' in section CRITERIA4 (key: HWID)!\n"
            L"ERROR: Operator GE is invalid for HWID in section CRITERIA4\n");
}

TEST_F(HardwareIdCriteria, FailedReadGivesTheSameVerdictOnEveryLine) {
  // The walk stops at the second device: the third is never seen.
  fake::Devices().Devices = {fake::DeviceWithIds({u"X"}), fake::FakeDevice{{}, 5u},
                             fake::DeviceWithIds({u"Y"})};
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_TRUE(EvaluateCriteriaLine(run_.Context, L"CRITERIA1", L"HWID = EQ,X").Holds());
    EXPECT_TRUE(EvaluateCriteriaLine(run_.Context, L"CRITERIA1", L"HWIDLeft = NE,Y").Holds());
  }
  EXPECT_EQ(fake::Devices().Opens, 1);
  run_.Context.Devices.Forget();
  fake::Devices().OpenFails = true;
  EXPECT_FALSE(EvaluateCriteriaLine(run_.Context, L"CRITERIA1", L"HWID = EQ,X").Holds());
  EXPECT_TRUE(EvaluateCriteriaLine(run_.Context, L"CRITERIA1", L"HWID = NE,X").Holds());
  EXPECT_EQ(fake::Devices().Opens, 2);
  EXPECT_EQ(Out(),
            L"HWID X exists (EQ) --> OK\n"
            L"HWIDLeft Y does not exist (NE) --> OK\n"
            L"HWID X exists (EQ) --> OK\n"
            L"HWIDLeft Y does not exist (NE) --> OK\n"
            L"HWID X does not exist (EQ) --> NG\n"
            L"HWID X does not exist (NE) --> OK\n");
}

TEST_F(HardwareIdCriteria, KeyTableReachesEveryNewFactAndCheck) {
  run_.Context.Facts.UserDefaultUi = 1031;
  run_.Context.Facts.UserDefaultUiPrimary = 7;
  run_.Context.Facts.UserDefaultUiSub = 1;
  run_.Context.Facts.SysDefaultUi = 2057;
  run_.Context.Facts.SysDefaultUiPrimary = 9;
  run_.Context.Facts.SysDefaultUiSub = 2;
  run_.Context.Facts.SysDefault = 3084;
  run_.Context.Facts.SysDefaultPrimary = 12;
  run_.Context.Facts.SysDefaultSub = 3;
  run_.Context.Facts.CurrentLocation = L"DE";
  run_.Context.Facts.DmiMachineType = L"Wine";
  run_.Context.Facts.DmiPaNumber = L"1.0";
  run_.Context.Facts.DmiVendor = L"The Wine Project";
  for (const wchar_t* line :
       {L"UserDefaultUI = EQ,66567", L"userdefaultpri = EQ,7", L"USERDEFAULTSEC=EQ,1",
        L"SysDefaultUI = EQ,2057", L"SysDefaultUIPri = EQ,9", L"SysDefaultUISec = EQ,2",
        L"SysDefault = EQ,3084", L"SysDefaultPri = EQ,12", L"SysDefaultSec = EQ,3",
        L"CurrentLocation = EQ,de", L"DMIMachineType = EQ,WINE", L"DMIPANumber = EQ,1,1",
        L"DMIVendor = EQ,the wine project", L"HWID = EQ,acpi\\ifx0101",
        L"HWIDLeft = EQ,PCI\\VEN08"}) {
    EXPECT_TRUE(EvaluateCriteriaLine(run_.Context, L"CRITERIA1", line).Holds()) << line << "\n"
                                                                                << Out();
  }
  EXPECT_FALSE(
      EvaluateCriteriaLine(run_.Context, L"CRITERIA1", L"UserDefaultUI = LE,1031").Holds());
  EXPECT_FALSE(EvaluateCriteriaLine(run_.Context, L"CRITERIA1", L"DMIPANumbers = EQ,1,1").Holds());
  EXPECT_FALSE(EvaluateCriteriaLine(run_.Context, L"CRITERIA1", L"HWID = EQ,PCI\\VEN08").Holds());
  EXPECT_NE(Out().find(L"UserDefaultUI OS=1031 EQ INI=1031 --> OK\n"), std::wstring::npos);
  EXPECT_NE(Out().find(L"DMIPANumber (first 1 characters) OS=1 EQ INI=1 --> OK\n"),
            std::wstring::npos);
}

}  // namespace
}  // namespace dorvanta
