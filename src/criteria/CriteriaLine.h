// Decides one line of a CRITERIAx section.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "criteria/CompareOp.h"
#include "criteria/CriterionResult.h"
#include "facts/SystemFacts.h"
#include "run/RunContext.h"

namespace dorvanta {

// How a key's line is compared.
enum class CriterionKind {
  Number,            // <operator>,<decimal number>
  Text,              // <operator>,<text>: the whole fact
  FirstChars,        // <operator>,<n>,<text>: the fact's first n characters
  HardwareId,        // <operator>,<hardware ID>: a present device has it
  HardwareIdPrefix,  // <operator>,<hardware ID>: a present device's ID begins with it
  FileExists,        // <operator>,<path>: a file or folder is there
};

// Where the facts listing shows a key's fact.
enum class FactGroup {
  None,  // the device and file keys, which test no fact of the record
  OsAndProcessor,
  Languages,
  LocationAndDmi,
};

// The fact of the record that a key compares: a number or a text.
struct RecordFact {
  std::uint32_t (*ReadNumber)(const SystemFactsRecord& record) = nullptr;
  void (*WriteNumber)(SystemFactsRecord& record, std::uint32_t value) = nullptr;
  std::wstring SystemFactsRecord::*Text = nullptr;
};

// One row of the key table, for a front end that reads rule files or writes
// and reads the facts of a machine.
struct CriterionKey {
  std::wstring_view Key;  // as the documentation spells it; lines match it in any letter case
  CriterionKind Kind;
  OperatorSet Operators;
  // Number keys: the low bits of the INI number that are compared (the
  // comparison is unsigned in that width), and the largest value of the fact.
  std::uint32_t IniMask = 0;
  std::uint32_t FactMax = 0;
  FactGroup Group = FactGroup::None;
  RecordFact Fact;
  // An action may change what the key tests (a program that installs the file
  // makes it exist), so that a walk which carries no action out cannot know it
  // once the actions of an earlier pair would have run.
  bool ActionsMayChange = false;
};

// The key table, in lookup order.
std::span<const CriterionKey> CriterionKeys();

// The row of a key as a line writes it (any letter case); null for no key.
const CriterionKey* FindCriterionKey(std::wstring_view key);

// Evaluates the line against the context's facts and reports it; it holds only
// when its criterion does (a malformed line has been reported and does not hold).
// `earlierActions`, in a walk that carries no action out, is the first pair
// whose actions would have run before the line: a key that actions may change
// is then unknown, with that pair as the reason.
CriterionResult EvaluateCriteriaLine(RunContext& context, const std::wstring& section,
                                     const std::wstring& line,
                                     std::optional<int> earlierActions = std::nullopt);

}  // namespace dorvanta
