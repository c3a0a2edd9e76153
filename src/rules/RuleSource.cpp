#include "rules/RuleSource.h"

#include <algorithm>
#include <vector>

#include "platform/ProfileReader.h"
#include "rules/PairName.h"
#include "rules/PairWalk.h"

namespace dorvanta {

std::uint32_t RuleFile::ReadSection(const std::wstring& section, std::span<wchar_t> buffer) {
  return platform::ReadProfileSection(iniPath_, section, buffer);
}

namespace {

std::size_t PairIndex(PairSide side, int pair) {
  return static_cast<std::size_t>(2 * (pair - 1) + (side == PairSide::Actions ? 1 : 0));
}

}  // namespace

KeptRules::KeptRules(Profile profile) : profile_(std::move(profile)) {
  std::vector<wchar_t> buffer(kSectionBufferSize);
  for (int x = 1; x <= kMaxSectionPairs; ++x) {
    for (const PairSide side : {PairSide::Criteria, PairSide::Actions}) {
      const Profile::FilledSection filled = profile_.FillSection(WalkSectionName(side, x), buffer);
      pairs_.push_back(Filled{std::wstring(buffer.data(), filled.Placed), filled.Length});
    }
  }
}

std::uint32_t KeptRules::ReadPairSection(PairSide side, int pair, std::span<wchar_t> buffer) {
  if (buffer.size() != kSectionBufferSize) {
    return profile_.ReadSection(WalkSectionName(side, pair), buffer);
  }
  const Filled& filled = pairs_.at(PairIndex(side, pair));
  std::copy(filled.Characters.begin(), filled.Characters.end(), buffer.begin());
  return filled.Length;
}

}  // namespace dorvanta
