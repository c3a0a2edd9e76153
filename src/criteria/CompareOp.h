// What every criterion kind shares: the split of the value at its first comma
// and the six operator words.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvanta {

// The relation reads fact, operator, INI value.
enum class CompareOp { LT, EQ, NE, GT, GE, LE };

// Which operator words a criterion kind accepts.
enum class OperatorSet { All, EqualityOnly };

struct CriterionValue {
  std::wstring Operator;  // trimmed and upper-cased
  std::wstring Operand;   // trimmed; later commas belong to it
};

// Splits at the first comma; empty when the value is empty or holds no comma.
std::optional<CriterionValue> SplitCriterionValue(std::wstring_view value);

// The operator an upper-cased word names, of all six.
std::optional<CompareOp> ReadCompareOp(std::wstring_view word);

// The operator's word: "LT", "EQ", ...
std::wstring_view CompareOpWord(CompareOp op);

bool Accepts(OperatorSet accepted, CompareOp op);

// The words of the set, in the order LT, EQ, NE, GT, GE, LE.
std::vector<std::wstring_view> OperatorWords(OperatorSet accepted);

// The operator for an upper-cased word, when the set accepts it.
std::optional<CompareOp> ParseCompareOp(std::wstring_view word, OperatorSet accepted);

template <typename T>
bool Holds(CompareOp op, T fact, T ini) {
  switch (op) {
    case CompareOp::LT:
      return fact < ini;
    case CompareOp::EQ:
      return fact == ini;
    case CompareOp::NE:
      return fact != ini;
    case CompareOp::GT:
      return fact > ini;
    case CompareOp::GE:
      return fact >= ini;
    case CompareOp::LE:
      return fact <= ini;
  }
  return false;
}

}  // namespace dorvanta
