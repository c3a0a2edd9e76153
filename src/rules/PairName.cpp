#include "rules/PairName.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "common/Text.h"
#include "rules/PairWalk.h"

namespace dorvanta {
namespace {

struct SideWord {
  PairSide Side;
  std::wstring_view Word;
};

constexpr std::array kSides{SideWord{PairSide::Criteria, L"CRITERIA"},
                            SideWord{PairSide::Actions, L"ACTION"}};

constexpr std::size_t kMostDigits = 9;

std::wstring_view SideWordOf(PairSide side) {
  return std::find_if(kSides.begin(), kSides.end(),
                      [&](const SideWord& entry) { return entry.Side == side; })
      ->Word;
}

}  // namespace

std::wstring PairSectionName(PairSide side, int pair) {
  std::array<char, 16> digits{};
  const char* const begin = digits.data();
  const char* const end = std::to_chars(digits.data(), digits.data() + digits.size(), pair).ptr;
  const std::wstring_view word = SideWordOf(side);
  std::wstring name;
  name.reserve(word.size() + static_cast<std::size_t>(end - begin));
  name.append(word).append(begin, end);
  return name;
}

std::size_t PairSectionIndex(PairSide side, int pair) {
  return std::size_t{2} * static_cast<std::size_t>(pair - 1) + (side == PairSide::Actions ? 1 : 0);
}

const std::wstring& WalkSectionName(PairSide side, int pair) {
  static const std::array<std::wstring, std::size_t{2}* kMaxSectionPairs> kNames = [] {
    std::array<std::wstring, std::size_t{2} * kMaxSectionPairs> names;
    for (int x = 1; x <= kMaxSectionPairs; ++x) {
      for (const PairSide named : {PairSide::Criteria, PairSide::Actions}) {
        names.at(PairSectionIndex(named, x)) = PairSectionName(named, x);
      }
    }
    return names;
  }();
  return kNames.at(PairSectionIndex(side, pair));
}

std::optional<PairSide> PairSideOf(std::wstring_view name) {
  const auto* const found = std::find_if(kSides.begin(), kSides.end(), [&](const SideWord& side) {
    return name.size() >= side.Word.size() &&
           EqualsIgnoringAsciiCase(name.substr(0, side.Word.size()), side.Word);
  });
  return found == kSides.end() ? std::nullopt : std::optional<PairSide>(found->Side);
}

std::optional<PairName> ReadPairName(std::wstring_view name) {
  const std::optional<PairSide> side = PairSideOf(name);
  if (!side) return std::nullopt;
  const std::wstring_view digits = name.substr(SideWordOf(*side).size());
  const bool plain =
      !digits.empty() && digits.size() <= kMostDigits &&
      (digits[0] != L'0' || digits.size() == 1) &&
      std::all_of(digits.begin(), digits.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
  if (!plain) return std::nullopt;
  return PairName{*side, static_cast<std::uint32_t>(ParseDecimal(digits))};
}

}  // namespace dorvanta
