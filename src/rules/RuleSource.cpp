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

std::uint32_t SectionNumbers::NumberOf(std::wstring_view lines) {
  const auto found = numbers_.find(lines);
  if (found != numbers_.end()) return found->second;
  const auto number = static_cast<std::uint32_t>(numbers_.size());
  numbers_.emplace(std::wstring(lines), number);
  return number;
}

KeptRules::KeptRules(Profile profile, SectionNumbers* numbers) : profile_(std::move(profile)) {
  std::vector<wchar_t> buffer(kSectionBufferSize);
  for (int x = 1; x <= kMaxSectionPairs; ++x) {
    for (const PairSide side : {PairSide::Criteria, PairSide::Actions}) {
      const Profile::FilledSection filled = profile_.FillSection(WalkSectionName(side, x), buffer);
      Filled kept{std::wstring(buffer.data(), filled.Placed), filled.Length, std::nullopt};
      if (numbers != nullptr && side == PairSide::Criteria) {
        kept.Number = numbers->NumberOf(std::wstring_view(buffer.data(), filled.Placed));
      }
      pairs_.push_back(std::move(kept));
    }
  }
}

std::uint32_t KeptRules::ReadPairSection(PairSide side, int pair, std::span<wchar_t> buffer) {
  if (buffer.size() != kSectionBufferSize) {
    return profile_.ReadSection(WalkSectionName(side, pair), buffer);
  }
  const Filled& filled = pairs_.at(PairSectionIndex(side, pair));
  std::copy(filled.Characters.begin(), filled.Characters.end(), buffer.begin());
  return filled.Length;
}

std::optional<std::uint32_t> KeptRules::CriteriaNumber(int pair) const {
  return pairs_.at(PairSectionIndex(PairSide::Criteria, pair)).Number;
}

}  // namespace dorvanta
