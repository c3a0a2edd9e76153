// The verdicts that walks over one machine's facts have reached, by the number
// of the criteria section's lines (the same number for the same lines in every
// rule file kept for the command) and whether actions would have run before
// it: over the same facts a pair's verdict depends on nothing else, so a walk
// of another rule file need not evaluate a section that an earlier walk has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "criteria/CriterionResult.h"

namespace dorvanta {

class VerdictMemo {
 public:
  // For sections numbered 0 .. sections - 1.
  explicit VerdictMemo(std::size_t sections) : slots_(2 * sections) {}

  // The verdict kept for the section in that state; an empty one, to be set,
  // when there is none yet.
  std::optional<Verdict>& Slot(std::uint32_t section, bool afterActions) {
    return slots_.at(2 * std::size_t{section} + (afterActions ? 1 : 0));
  }

 private:
  std::vector<std::optional<Verdict>> slots_;
};

}  // namespace dorvanta
