#include "rules/RuleSource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/PairWalk.h"

namespace dorvanta {
namespace {

// The kept sections are what the profile reader hands out: every pair's, one
// too big for the walk's buffer, missing ones, names in another letter case
// and other buffer sizes alike.
TEST(KeptRules, HandsOutEverySectionAsTheProfileReaderDoes) {
  std::string text =
      "[CRITERIA1]\nOSMajor = GE,10\nBit = EQ,64\n[ACTION1]\nExecute = WAIT, a.exe\n";
  text += "[CRITERIA2]\n";
  for (int line = 0; line < 400; ++line)
    text += "HWIDLeft = EQ,PCI\\VEN_8086&DEV_" + std::to_string(line) + "\n";
  text += "[criteria3]\nBit = EQ,32\n[Other]\nkey = value\n";
  const Profile profile(text);
  KeptRules kept{Profile(text)};
  for (const std::size_t size : {kSectionBufferSize, std::size_t{64}}) {
    for (const wchar_t* name : {L"CRITERIA1", L"ACTION1", L"CRITERIA2", L"ACTION2", L"CRITERIA3",
                                L"Criteria1", L"Other", L"CRITERIA257"}) {
      std::vector<wchar_t> expected(size, L'#');
      std::vector<wchar_t> got(size, L'#');
      const std::uint32_t length = profile.ReadSection(name, expected);
      ASSERT_EQ(kept.ReadSection(name, got), length) << name << " in " << size;
      EXPECT_EQ(got, expected) << name << " in " << size;  // what lies beyond untouched
    }
  }
}

}  // namespace
}  // namespace dorvanta
