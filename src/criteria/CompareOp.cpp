#include "criteria/CompareOp.h"

#include <array>

#include "common/Text.h"

namespace dorvanta {

std::optional<CriterionValue> SplitCriterionValue(std::wstring_view value) {
  const std::size_t comma = value.find(L',');
  if (comma == std::wstring_view::npos) return std::nullopt;
  return CriterionValue{UpperAscii(Trim(value.substr(0, comma))), Trim(value.substr(comma + 1))};
}

std::optional<CompareOp> ParseCompareOp(std::wstring_view word, OperatorSet accepted) {
  struct Entry {
    std::wstring_view Word;
    CompareOp Op;
  };
  static constexpr std::array<Entry, 6> kWords{{{L"LT", CompareOp::LT},
                                                {L"EQ", CompareOp::EQ},
                                                {L"NE", CompareOp::NE},
                                                {L"GT", CompareOp::GT},
                                                {L"GE", CompareOp::GE},
                                                {L"LE", CompareOp::LE}}};
  for (const Entry& entry : kWords) {
    if (word != entry.Word) continue;
    if (accepted == OperatorSet::EqualityOnly && entry.Op != CompareOp::EQ &&
        entry.Op != CompareOp::NE) {
      return std::nullopt;
    }
    return entry.Op;
  }
  return std::nullopt;
}

}  // namespace dorvanta
