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

KeptRules::KeptRules(Profile profile) : profile_(std::move(profile)) {
  std::vector<wchar_t> buffer(kSectionBufferSize);
  for (int x = 1; x <= kMaxSectionPairs; ++x) {
    for (const PairSide side : {PairSide::Criteria, PairSide::Actions}) {
      std::wstring name = PairSectionName(side, x);
      const Profile::FilledSection filled = profile_.FillSection(name, buffer);
      pairs_.emplace(std::move(name),
                     Filled{std::wstring(buffer.data(), filled.Placed), filled.Length});
    }
  }
}

std::uint32_t KeptRules::ReadSection(const std::wstring& section, std::span<wchar_t> buffer) {
  const auto pair = pairs_.find(section);
  if (pair == pairs_.end() || buffer.size() != kSectionBufferSize)
    return profile_.ReadSection(section, buffer);
  std::copy(pair->second.Characters.begin(), pair->second.Characters.end(), buffer.begin());
  return pair->second.Length;
}

}  // namespace dorvanta
