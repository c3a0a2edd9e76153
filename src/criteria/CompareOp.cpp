#include "criteria/CompareOp.h"

#include <array>

#include "common/Text.h"
#include "report/Report.h"

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

void ReportMissingComma(const std::wstring& section, const std::wstring& key) {
  Report(L"ERROR: Missing ',' in section %s (key: %s)!\n", section, key);
}

void ReportInvalidOperator(const std::wstring& word, const std::wstring& key,
                           const std::wstring& section) {
  Report(L"ERROR: Operator %s is invalid for %s in section %s\n", word, key, section);
}

bool ReportVerdict(bool holds) {
  Report(L"%s", holds ? L" --> OK\n" : L" --> NG\n");
  return holds;
}

bool ReportPresence(const CriterionValue& split, bool present, const std::wstring& subject,
                    const std::wstring& section, const std::wstring& key) {
  const std::optional<CompareOp> op = ParseCompareOp(split.Operator, OperatorSet::EqualityOnly);
  if (!op) {
    ReportInvalidOperator(split.Operator, key, section);
    return false;
  }
  const bool holds = (*op == CompareOp::EQ) == present;
  Report(L"%s %s %s (%s)", key, subject, present ? L"exists" : L"does not exist", split.Operator);
  return ReportVerdict(holds);
}

}  // namespace dorvanta
