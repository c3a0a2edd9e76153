// What one criteria line came to, for the walk and for anyone who watches it.
#pragma once

#include <string>
#include <utility>

namespace dorvanta {

enum class Verdict { Holds, Fails, Unknown };

struct CriterionResult {
  std::wstring Key;       // as written, trimmed; empty when the line has no "="
  std::wstring Operator;  // the operator word, upper-cased
  std::wstring Operand;   // the INI side as the result line shows it
  std::wstring Fact;      // the machine's side as the result line shows it
  Verdict Outcome = Verdict::Fails;
  // The line was refused with an error report instead of a result line.
  bool Malformed = false;
  // In a walk that carries no action out: the pair whose actions would have
  // run before the line and may change what it tests, which is why it is
  // unknown; 0 for none.
  int EarlierActions = 0;

  [[nodiscard]] bool Holds() const { return Outcome == Verdict::Holds; }
};

// A line refused with an error report; `op` is its operator word where it was read.
inline CriterionResult Refused(std::wstring op = std::wstring()) {
  CriterionResult result;
  result.Operator = std::move(op);
  result.Malformed = true;
  return result;
}

}  // namespace dorvanta
