// The names of the numbered section pairs: CRITERIA<n> and ACTION<n>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dorvanta {

enum class PairSide { Criteria, Actions };

// The name the walk reads for the pair: "CRITERIA7", "ACTION7".
std::wstring PairSectionName(PairSide side, int pair);

// The place of a pair's section (pair 1 .. kMaxSectionPairs) in a table of
// them all: CRITERIA1, ACTION1, CRITERIA2, ...
std::size_t PairSectionIndex(PairSide side, int pair);

// The name of a pair the walk reads (1 .. kMaxSectionPairs), made once.
const std::wstring& WalkSectionName(PairSide side, int pair);

struct PairName {
  PairSide Side;
  std::uint32_t Pair;  // as written: 0 and numbers beyond the walk's last pair included
};

// The side whose word ("CRITERIA", "ACTION") the name begins with, in any
// letter case.
std::optional<PairSide> PairSideOf(std::wstring_view name);

// The pair a section name names, matched as the walk's names match (without
// regard to the letter case of A..Z), the number in plain decimal digits
// without leading zeros, at most nine; nothing for any other name.
std::optional<PairName> ReadPairName(std::wstring_view name);

}  // namespace dorvanta
