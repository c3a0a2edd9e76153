// The course of the walk over the numbered pairs, which the program's walk and
// the check of a rule file both follow: pair 1, 2, ... for as long as CRITERIAx
// has lines, up to the last pair the walk reads.
#pragma once

#include <cstddef>
#include <optional>

namespace dorvanta {

// The walk reads CRITERIA1 .. CRITERIA256 and their ACTIONx.
inline constexpr int kMaxSectionPairs = 256;

// The walk reads each section into one buffer of this many characters.
inline constexpr std::size_t kSectionBufferSize = 4096;

// Where a walk over the pairs ended.
struct PairsEnd {
  // The pair it ended at; kMaxSectionPairs + 1 after the last pair.
  int Pair = kMaxSectionPairs + 1;
  // A section of that pair could not be read, and cut the walk short; otherwise
  // the pair's CRITERIAx is missing or has no lines, or every pair was walked.
  bool Cut = false;
};

// For the pairs 1 .. kMaxSectionPairs in turn: `criteria(x)` reads CRITERIAx and
// says whether it has lines (nothing when it could not be read); a pair with
// lines is handed to `walk(x)`, which returns false when a section of the pair
// could not be read. The walk ends at the first CRITERIAx without lines.
template <typename Criteria, typename Walk>
PairsEnd WalkPairs(Criteria criteria, Walk walk) {
  for (int x = 1; x <= kMaxSectionPairs; ++x) {
    const std::optional<bool> hasLines = criteria(x);
    if (!hasLines) return PairsEnd{x, true};
    if (!*hasLines) return PairsEnd{x, false};
    if (!walk(x)) return PairsEnd{x, true};
  }
  return PairsEnd{};
}

}  // namespace dorvanta
