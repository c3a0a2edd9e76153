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
    const auto same = [&](const std::wstring& name, std::vector<wchar_t>& got,
                          std::uint32_t length) {
      std::vector<wchar_t> expected(size, L'#');
      ASSERT_EQ(length, profile.ReadSection(name, expected)) << name << " in " << size;
      EXPECT_EQ(got, expected) << name << " in " << size;  // what lies beyond untouched
    };
    for (int pair = 1; pair <= 4; ++pair) {
      for (const PairSide side : {PairSide::Criteria, PairSide::Actions}) {
        std::vector<wchar_t> got(size, L'#');
        const std::uint32_t length = kept.ReadPairSection(side, pair, got);
        same(PairSectionName(side, pair), got, length);
      }
    }
    for (const wchar_t* name : {L"Criteria1", L"Other", L"CRITERIA257"}) {
      std::vector<wchar_t> got(size, L'#');
      const std::uint32_t length = kept.ReadSection(name, got);
      same(name, got, length);
    }
  }
}

}  // namespace
}  // namespace dorvanta
