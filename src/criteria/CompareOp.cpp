#include "criteria/CompareOp.h"

#include <algorithm>
#include <array>

#include "common/Text.h"

namespace dorvanta {

std::optional<CriterionValue> SplitCriterionValue(std::wstring_view value) {
  const std::size_t comma = value.find(L',');
  if (comma == std::wstring_view::npos) return std::nullopt;
  return CriterionValue{UpperAscii(Trim(value.substr(0, comma))), Trim(value.substr(comma + 1))};
}

namespace {

struct OperatorEntry {
  std::wstring_view Word;
  CompareOp Op;
};

constexpr std::array kOperators{
    OperatorEntry{L"LT", CompareOp::LT}, OperatorEntry{L"EQ", CompareOp::EQ},
    OperatorEntry{L"NE", CompareOp::NE}, OperatorEntry{L"GT", CompareOp::GT},
    OperatorEntry{L"GE", CompareOp::GE}, OperatorEntry{L"LE", CompareOp::LE},
};

}  // namespace

std::optional<CompareOp> ReadCompareOp(std::wstring_view word) {
  const auto* const found =
      std::find_if(kOperators.begin(), kOperators.end(),
                   [&](const OperatorEntry& entry) { return entry.Word == word; });
  return found == kOperators.end() ? std::nullopt : std::optional<CompareOp>(found->Op);
}

std::wstring_view CompareOpWord(CompareOp op) {
  const auto* const found =
      std::find_if(kOperators.begin(), kOperators.end(),
                   [&](const OperatorEntry& entry) { return entry.Op == op; });
  return found == kOperators.end() ? std::wstring_view() : found->Word;
}

bool Accepts(OperatorSet accepted, CompareOp op) {
  return accepted == OperatorSet::All || op == CompareOp::EQ || op == CompareOp::NE;
}

std::vector<std::wstring_view> OperatorWords(OperatorSet accepted) {
  std::vector<std::wstring_view> words;
  for (const OperatorEntry& entry : kOperators) {
    if (Accepts(accepted, entry.Op)) words.push_back(entry.Word);
  }
  return words;
}

std::optional<CompareOp> ParseCompareOp(std::wstring_view word, OperatorSet accepted) {
  const std::optional<CompareOp> op = ReadCompareOp(word);
  if (!op || !Accepts(accepted, *op)) return std::nullopt;
  return op;
}

}  // namespace dorvanta
