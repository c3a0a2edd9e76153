// The verdicts that walks over one machine's facts have reached, by the lines
// of the criteria section and whether actions would have run before it: over
// the same facts a pair's verdict depends on nothing else, so a walk of another
// rule file need not evaluate a section that an earlier walk has.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "criteria/CriterionResult.h"

namespace dorvanta {

class VerdictMemo {
 public:
  // The verdict kept for the section's lines in that state; an empty one, to
  // be set, when there is none yet.
  std::optional<Verdict>& Slot(std::wstring_view lines, bool afterActions);

 private:
  // Sections of a rule file differ soon after their start or shortly before
  // their end: those parts and the length are hashed, not the whole, which is
  // compared on a match.
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::wstring_view lines) const;
  };
  using Kept = std::unordered_map<std::wstring, std::optional<Verdict>, Hash, std::equal_to<>>;

  Kept before_;  // no actions would have run before the section
  Kept after_;
};

}  // namespace dorvanta
