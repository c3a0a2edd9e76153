#include "tool/RuleCheck.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <utility>
#include <variant>

#include "common/Text.h"
#include "criteria/CompareOp.h"
#include "criteria/CriteriaLine.h"
#include "paths/PathResolver.h"
#include "platform/Environment.h"
#include "report/Format.h"
#include "report/SectionLine.h"
#include "rules/ActionLine.h"
#include "rules/RuleDriver.h"

namespace dorvanta::tool {
namespace {

constexpr std::uint32_t kMaxPair = kMaxSectionPairs;

std::uint32_t Number(std::size_t value) { return static_cast<std::uint32_t>(value); }

// ---------------------------------------------------------------- names

// A section name the walk reads: CRITERIA<n> or ACTION<n>, n in plain decimal
// (the walk forms the names with "%d"; they match without regard to case).
struct PairName {
  // Read through the optional that ParsePairName gives, which cppcheck does not see.
  // cppcheck-suppress unusedStructMember
  bool Criteria;
  std::uint32_t Pair;  // 0 or beyond kMaxPair: never read
};

std::optional<PairName> ParsePairName(std::wstring_view name) {
  const std::wstring upper = UpperAscii(name);
  for (const bool criteria : {true, false}) {
    const std::wstring_view prefix = criteria ? L"CRITERIA" : L"ACTION";
    if (!upper.starts_with(prefix)) continue;
    const std::wstring_view digits = std::wstring_view(upper).substr(prefix.size());
    if (digits.empty() || digits.size() > 9 || (digits[0] == L'0' && digits.size() > 1) ||
        !std::all_of(digits.begin(), digits.end(),
                     [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
      return std::nullopt;
    }
    return PairName{criteria, static_cast<std::uint32_t>(ParseDecimal(digits))};
  }
  return std::nullopt;
}

std::size_t EditDistance(std::wstring_view a, std::wstring_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// "; did you mean X?" for the nearest name (compared in upper case), or nothing.
template <typename Names>
std::wstring Suggestion(std::wstring_view word, const Names& names, std::wstring_view open = {},
                        std::wstring_view close = {}) {
  const std::wstring upper = UpperAscii(word);
  std::wstring_view best;
  std::size_t bestDistance = std::max<std::size_t>(2, upper.size() / 3) + 1;
  for (const std::wstring_view name : names) {
    const std::size_t distance = EditDistance(upper, UpperAscii(name));
    if (distance < bestDistance) {
      best = name;
      bestDistance = distance;
    }
  }
  return best.empty() ? std::wstring() : Format(L"; did you mean %s%s%s?", open, best, close);
}

// ---------------------------------------------------------------- numbers

struct NumberReading {
  std::int32_t Value;  // as the run reads it
  bool Clean;          // an optional sign and digits, nothing else
  bool HasDigits;
  bool Clamped;  // beyond the signed 32-bit range
};

NumberReading ReadNumber(std::wstring_view text) {
  const std::wstring trimmed = Trim(text);
  std::size_t i = 0;
  const bool negative = !trimmed.empty() && trimmed[0] == L'-';
  if (i < trimmed.size() && (trimmed[i] == L'+' || trimmed[i] == L'-')) ++i;
  const std::size_t digitsStart = i;
  constexpr std::uint64_t kLimit = std::uint64_t{1} << 32;
  std::uint64_t magnitude = 0;
  for (; i < trimmed.size() && trimmed[i] >= L'0' && trimmed[i] <= L'9'; ++i) {
    magnitude = std::min(kLimit, magnitude * 10 + static_cast<std::uint64_t>(trimmed[i] - L'0'));
  }
  const std::uint64_t largest = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
  return {ParseDecimal(trimmed), i == trimmed.size() && i > digitsStart, i > digitsStart,
          magnitude > largest};
}

// ---------------------------------------------------------------- never together

// One line of a criteria section, as far as it limits its key's fact.
struct Limit {
  std::size_t Line;
  CompareOp Op;
  std::uint64_t Number;  // numeric keys: the INI number as compared
  std::wstring Text;     // other keys: the value as compared
};

// The lines of one key in one criteria section, which all have to hold.
struct Conjunction {
  bool Numeric;
  std::uint64_t FactMax;  // numeric: the fact lies in 0..FactMax
  bool SingleValued;      // other: the fact is one text (devices and files may be several)
  std::vector<Limit> Limits;
};

bool NumbersPossible(std::uint64_t factMax, std::span<const Limit* const> limits) {
  std::uint64_t low = 0;
  std::uint64_t high = factMax;
  std::set<std::uint64_t> excluded;
  for (const Limit* limit : limits) {
    const std::uint64_t ini = limit->Number;
    switch (limit->Op) {
      case CompareOp::LT:
        if (ini == 0) return false;
        high = std::min(high, ini - 1);
        break;
      case CompareOp::LE:
        high = std::min(high, ini);
        break;
      case CompareOp::GT:
        low = std::max(low, ini + 1);
        break;
      case CompareOp::GE:
        low = std::max(low, ini);
        break;
      case CompareOp::EQ:
        low = std::max(low, ini);
        high = std::min(high, ini);
        break;
      case CompareOp::NE:
        excluded.insert(ini);
        break;
    }
  }
  if (low > high) return false;
  const auto inside = std::distance(excluded.lower_bound(low), excluded.upper_bound(high));
  return high - low + 1 > static_cast<std::uint64_t>(inside);
}

bool ValuesPossible(bool singleValued, std::span<const Limit* const> limits) {
  std::set<std::wstring> equal;
  std::set<std::wstring> unequal;
  for (const Limit* limit : limits) {
    if (limit->Op != CompareOp::EQ) {
      unequal.insert(limit->Text);
    } else if (singleValued && !equal.empty() && !equal.contains(limit->Text)) {
      return false;  // one text cannot equal two
    } else {
      equal.insert(limit->Text);
    }
  }
  return std::none_of(equal.begin(), equal.end(),
                      [&](const std::wstring& value) { return unequal.contains(value); });
}

bool Possible(const Conjunction& conjunction, std::span<const Limit* const> limits) {
  return conjunction.Numeric ? NumbersPossible(conjunction.FactMax, limits)
                             : ValuesPossible(conjunction.SingleValued, limits);
}

// The earlier lines that the last one contradicts: those it cannot hold with
// alone, else all of them (together they leave no value). Empty when the
// lines can all hold, or when the last cannot hold even alone.
std::vector<std::size_t> Contradicted(const Conjunction& conjunction) {
  std::vector<const Limit*> all;
  std::transform(conjunction.Limits.begin(), conjunction.Limits.end(), std::back_inserter(all),
                 [](const Limit& limit) { return &limit; });
  const Limit* last = all.back();
  const std::array<const Limit*, 1> alone{last};
  if (Possible(conjunction, all) || !Possible(conjunction, alone)) return {};
  const std::span<const Limit* const> before(all.data(), all.size() - 1);
  if (!Possible(conjunction, before)) return {};  // reported at an earlier line
  std::vector<std::size_t> pairwise;
  std::vector<std::size_t> every;
  for (const Limit* earlier : before) {
    every.push_back(earlier->Line);
    const std::array<const Limit*, 2> two{earlier, last};
    if (!Possible(conjunction, two)) pairwise.push_back(earlier->Line);
  }
  return pairwise.empty() ? every : pairwise;
}

// ---------------------------------------------------------------- the checker

class Checker {
 public:
  explicit Checker(const Profile& profile) : profile_(profile) {}

  std::vector<Finding> Run() {
    const std::vector<Profile::OutlineSection> outline = profile_.Outline();
    CheckSections(outline);
    CheckWalk(outline);
    for (const Profile::OutlineSection& section : outline) {
      const std::optional<PairName> pair = ParsePairName(section.Name);
      if (!section.Read || !pair || pair->Pair == 0 || pair->Pair > kMaxPair) continue;
      section_ = section.Name;
      conjunctions_.clear();
      for (const Profile::NumberedLine& line : section.Lines) {
        line_ = line.Number;
        CheckLine(line.Text, pair->Criteria);
      }
    }
    std::stable_sort(findings_.begin(), findings_.end(),
                     [](const Finding& a, const Finding& b) { return a.Line < b.Line; });
    return std::move(findings_);
  }

 private:
  void Add(Severity level, std::wstring_view code, std::wstring message) {
    findings_.push_back(Finding{line_, level, code, section_, std::move(message)});
  }

  void At(std::size_t line, const std::wstring& section) {
    line_ = line;
    section_ = section;
  }

  // Sections the run never reads: lines before the first header, later
  // sections of a name, names outside CRITERIA1..256 and ACTION1..256.
  void CheckSections(const std::vector<Profile::OutlineSection>& outline) {
    std::map<std::wstring, std::size_t> firstHeader;
    for (const Profile::OutlineSection& section : outline) {
      if (section.HeaderLine == 0) {
        At(section.Lines.front().Number, std::wstring());
        Add(Severity::Warning, L"DV127",
            L"lines before the first section header are never read; move them into a section or "
            L"start them with ';'");
        continue;
      }
      At(section.HeaderLine, section.Name);
      const std::wstring folded = UpperAscii(section.Name);
      if (!section.Read) {
        Add(Severity::Error, L"DV106",
            Format(L"[%s] is read already at line %u (section names match without case); the run "
                   L"never reads this second one: merge its lines into the first or renumber it",
                   section.Name, Number(firstHeader[folded])));
        continue;
      }
      firstHeader.emplace(folded, section.HeaderLine);
      const std::optional<PairName> pair = ParsePairName(section.Name);
      if (pair && (pair->Pair == 0 || pair->Pair > kMaxPair)) {
        Add(Severity::Error, L"DV104",
            Format(L"[%s] is never read: the run reads the pairs 1 to 256 only; renumber it within "
                   L"1..256",
                   section.Name));
      } else if (!pair && (folded.starts_with(L"CRITERIA") || folded.starts_with(L"ACTION"))) {
        Add(Severity::Warning, L"DV128",
            Format(L"[%s] is never read: the run reads sections named CRITERIAn and ACTIONn, n "
                   L"written in plain digits without blanks or leading zeros",
                   section.Name));
      } else if (!pair) {
        Add(Severity::Note, L"DV128",
            Format(L"[%s] is no CRITERIAn or ACTIONn section; the run does not read it",
                   section.Name));
      }
    }
  }

  // The walk: where it stops, which pairs it never reaches, sections that do
  // not fit the section buffer.
  void CheckWalk(const std::vector<Profile::OutlineSection>& outline) {
    std::map<std::uint32_t, const Profile::OutlineSection*> criteria;
    std::map<std::uint32_t, const Profile::OutlineSection*> actions;
    for (const Profile::OutlineSection& section : outline) {
      const std::optional<PairName> pair = ParsePairName(section.Name);
      if (!section.Read || !pair || pair->Pair == 0 || pair->Pair > kMaxPair) continue;
      (pair->Criteria ? criteria : actions).emplace(pair->Pair, &section);
      CheckBuffer(section);
    }
    const auto holdsLines = [](const auto& sections, std::uint32_t x) {
      const auto found = sections.find(x);
      return found != sections.end() && !found->second->Lines.empty();
    };
    std::uint32_t stop = 1;
    while (stop <= kMaxPair && holdsLines(criteria, stop)) ++stop;
    if (criteria.empty()) {
      At(0, std::wstring());
      Add(Severity::Warning, L"DV100",
          L"the file has no [CRITERIA1]: the run reads nothing of it; number the pairs from 1");
    }
    const std::wstring stopName = Format(L"CRITERIA%u", stop);
    const std::wstring why = criteria.contains(stop) ? Format(L"[%s] has no lines", stopName)
                                                     : Format(L"there is no [%s]", stopName);
    for (const auto& [x, section] : criteria) {
      At(section->HeaderLine, section->Name);
      if (x > stop && !section->Lines.empty()) {
        Add(Severity::Error, L"DV101",
            Format(L"pair %u is never reached: the walk stops at %s (%s); number the pairs without "
                   L"gaps",
                   x, stopName, why));
      } else if (x < stop && !holdsLines(actions, x)) {
        Add(Severity::Warning, L"DV103",
            Format(L"[%s] has no [ACTION%u] with lines: when its criteria hold, nothing runs; add "
                   L"the actions or remove the criteria",
                   section->Name, x));
      }
    }
    for (const auto& [x, section] : actions) {
      if (holdsLines(criteria, x) || section->Lines.empty()) continue;
      At(section->HeaderLine, section->Name);
      Add(Severity::Error, L"DV102",
          Format(L"[%s] has no [CRITERIA%u] with lines: its actions never run; add the criteria "
                 L"(a pair runs its actions only when every criteria line holds)",
                 section->Name, x));
    }
  }

  void CheckBuffer(const Profile::OutlineSection& section) {
    std::vector<wchar_t> buffer(kSectionBufferSize);
    if (profile_.ReadSection(section.Name, buffer) != buffer.size() - 2) return;
    At(section.HeaderLine, section.Name);
    Add(Severity::Error, L"DV105",
        Format(L"[%s] does not fit the run's section buffer of %u characters: the run stops "
               L"there with exit code 1; move some of its lines into another pair",
               section.Name, Number(kSectionBufferSize)));
  }

  void CheckLine(const std::wstring& line, bool criteria) {
    const wchar_t* what = criteria ? L"the criteria of this pair never hold" : L"it runs nothing";
    if (line.starts_with(L'#')) {
      Add(Severity::Error, L"DV108",
          Format(L"'#' starts no comment for the run: the line is read as a %s and %s; start "
                 L"comments with ';'",
                 criteria ? L"criterion" : L"action", what));
      return;
    }
    if (line.find(L'=') == std::wstring::npos) {
      Add(Severity::Error, L"DV107",
          Format(L"line without '=': the run reports it and %s; write key = value, or start a "
                 L"comment with ';'",
                 what));
      return;
    }
    const std::optional<SectionLine> split = SplitSectionLine(line, section_);
    if (!split) return;
    if (criteria) {
      CheckCriterion(split->Key, split->Value);
    } else {
      CheckAction(split->Key, split->Value);
    }
  }

  // ------------------------------------------------------------ criteria

  void CheckCriterion(const std::wstring& key, const std::wstring& value) {
    const std::span<const CriterionKey> keys = CriterionKeys();
    const std::wstring upper = UpperAscii(key);
    const auto entry = std::find_if(keys.begin(), keys.end(), [&](const CriterionKey& k) {
      return EqualsIgnoringAsciiCase(k.Key, key);
    });
    if (entry == keys.end()) {
      std::vector<std::wstring_view> names;
      std::transform(keys.begin(), keys.end(), std::back_inserter(names),
                     [](const CriterionKey& k) { return k.Key; });
      Add(Severity::Error, L"DV109",
          Format(L"unknown key \"%s\": the line never holds, so neither does its pair", key) +
              Suggestion(key, names));
      return;
    }
    const std::optional<CriterionValue> split = SplitCriterionValue(value);
    if (!split) {
      Add(Severity::Error, L"DV112",
          Format(L"%s needs <operator>,<value>: without the comma the line never holds", key));
      return;
    }
    std::wstring operand = split->Operand;
    std::wstring count;
    if (entry->Kind == CriterionKind::FirstChars) {
      const std::size_t comma = operand.find(L',');
      if (comma == std::wstring::npos) {
        Add(Severity::Error, L"DV112",
            Format(L"%s needs <operator>,<n>,<text>: without the second comma the line never "
                   L"holds",
                   key));
        return;
      }
      count = Trim(std::wstring_view(operand).substr(0, comma));
      operand = Trim(std::wstring_view(operand).substr(comma + 1));
    }
    const std::optional<CompareOp> op = ParseCompareOp(split->Operator, entry->Operators);
    if (!op) {
      const bool isOperator = ParseCompareOp(split->Operator, OperatorSet::All).has_value();
      const wchar_t* valid =
          entry->Operators == OperatorSet::All ? L"LT, EQ, NE, GT, GE or LE" : L"EQ or NE";
      if (isOperator) {
        Add(Severity::Error, L"DV111",
            Format(L"operator %s is not valid for %s: the line never holds; use %s",
                   split->Operator, key, valid));
      } else {
        Add(Severity::Error, L"DV111",
            Format(L"\"%s\" is no operator for %s: the line never holds; use %s", split->Operator,
                   key, valid));
      }
      return;
    }
    switch (entry->Kind) {
      case CriterionKind::Number:
        CheckNumberCriterion(*entry, key, *op, operand);
        break;
      case CriterionKind::Text:
        Together(upper, key, *op, UpperAscii(operand), true);
        break;
      case CriterionKind::FirstChars:
        CheckFirstChars(upper, key, *op, count, operand);
        break;
      case CriterionKind::HardwareId:
      case CriterionKind::HardwareIdPrefix:
        CheckHardwareId(entry->Kind == CriterionKind::HardwareIdPrefix, key, operand);
        Together(upper, key, *op, UpperAscii(operand), false);
        break;
      case CriterionKind::FileExists:
        CheckPath(operand);
        Together(upper, key, *op, operand, false);
        break;
    }
  }

  // Reports a number that is none, or that the run reads otherwise than written;
  // the value as the run reads it.
  std::int32_t CheckNumber(std::wstring_view text, std::wstring_view what,
                           std::wstring_view code = L"DV113") {
    const NumberReading reading = ReadNumber(text);
    if (reading.Clean) return reading.Value;
    const std::wstring written = Trim(text);
    if (reading.HasDigits) {
      Add(Severity::Error, code,
          Format(L"%s \"%s\" has text after its number: the run reads it as %d; write a plain "
                 L"decimal number",
                 what, written, reading.Value));
    } else {
      Add(Severity::Error, code,
          Format(L"%s \"%s\" is no number: the run reads it as %d; write a plain decimal number",
                 what, written, reading.Value));
    }
    return reading.Value;
  }

  void CheckNumberCriterion(const CriterionKey& entry, const std::wstring& key, CompareOp op,
                            const std::wstring& operand) {
    const std::int32_t value = CheckNumber(operand, L"the value");
    const std::uint32_t compared = static_cast<std::uint32_t>(value) & entry.IniMask;
    const NumberReading reading = ReadNumber(operand);
    if (reading.Clean &&
        (reading.Clamped || value < 0 || compared != static_cast<std::uint32_t>(value))) {
      Add(Severity::Warning, L"DV114",
          Format(L"%s compares %s as an unsigned number of %u bits: the run compares with %u; "
                 L"write that value if it is meant",
                 key, Trim(operand),
                 Number(entry.IniMask == 0xFFU     ? 8
                        : entry.IniMask == 0xFFFFU ? 16
                                                   : 32),
                 compared));
    }
    Conjunction& conjunction =
        conjunctions_.try_emplace(UpperAscii(key), Conjunction{true, entry.FactMax, true, {}})
            .first->second;
    conjunction.Limits.push_back(Limit{line_, op, compared, std::wstring()});
    const std::array<const Limit*, 1> alone{&conjunction.Limits.back()};
    if (!Possible(conjunction, alone)) {
      Add(Severity::Error, L"DV125",
          Format(L"%s %s %u never holds (the fact is a number from 0 to %u): neither does its pair",
                 key, OperatorWord(op), compared, entry.FactMax));
    }
    ReportContradiction(conjunction, Format(L"%s %s %u", key, OperatorWord(op), compared));
  }

  void CheckFirstChars(const std::wstring& upper, const std::wstring& key, CompareOp op,
                       const std::wstring& count, const std::wstring& text) {
    const std::int32_t n = CheckNumber(count, L"the count");
    const std::wstring compared = UpperAscii(text);
    const std::size_t room = n > 0 ? static_cast<std::size_t>(n) : 0;
    if (op == CompareOp::EQ && compared.size() > room) {
      Add(Severity::Error, L"DV125",
          Format(L"%s compares the first %d characters with \"%s\", which is longer: the line "
                 L"never holds; make n the length of the text",
                 key, n, compared));
      return;
    }
    Together(upper + L"," + std::to_wstring(n), key, op, compared, true);
  }

  void Together(const std::wstring& group, const std::wstring& key, CompareOp op,
                const std::wstring& value, bool singleValued) {
    Conjunction& conjunction =
        conjunctions_.try_emplace(group, Conjunction{false, 0, singleValued, {}}).first->second;
    conjunction.Limits.push_back(Limit{line_, op, 0, value});
    ReportContradiction(conjunction, Format(L"%s %s %s", key, OperatorWord(op), value));
  }

  void ReportContradiction(const Conjunction& conjunction, const std::wstring& what) {
    const std::vector<std::size_t> lines = Contradicted(conjunction);
    if (lines.empty()) return;
    std::wstring list;
    for (const std::size_t line : lines) {
      list += (list.empty() ? L"" : L", ") + std::to_wstring(line);
    }
    Add(Severity::Error, L"DV125",
        Format(L"%s can never hold together with line%s %s of the same key: the pair never "
               L"holds; remove the contradiction",
               what, lines.size() == 1 ? L"" : L"s", list));
  }

  static const wchar_t* OperatorWord(CompareOp op) {
    static constexpr std::array<const wchar_t*, 6> kWords{L"LT", L"EQ", L"NE", L"GT", L"GE", L"LE"};
    return kWords.at(static_cast<std::size_t>(op));
  }

  // A hardware ID is an enumerator (letters, digits, '_'), a backslash and the
  // device part: PCI\VEN_8086&DEV_1234, USB\VID_046D&PID_C52B, ACPI\PNP0A08.
  // A prefix (HWIDLeft) may end right after the backslash.
  void CheckHardwareId(bool prefix, const std::wstring& key, const std::wstring& id) {
    const std::size_t slash = id.find(L'\\');
    const bool enumerator =
        slash != std::wstring::npos && slash > 0 &&
        std::all_of(id.begin(), id.begin() + static_cast<std::ptrdiff_t>(slash), [](wchar_t c) {
          return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') ||
                 c == L'_';
        });
    const bool blanks = std::any_of(id.begin(), id.end(), IsWhiteSpace);
    if (enumerator && !blanks && (prefix || slash + 1 < id.size())) return;
    const std::wstring hint =
        id.find(L'/') != std::wstring::npos ? L"; hardware IDs use a backslash, not '/'" : L"";
    Add(Severity::Warning, L"DV115",
        Format(L"%s value \"%s\" is no hardware ID (an enumerator such as PCI, USB, ACPI or HID, a "
               L"backslash and the device part, e.g. PCI\\VEN_8086&DEV_1234)",
               key, id) +
            hint + L"; \"dvtool facts\" lists the IDs of a machine");
  }

  // ------------------------------------------------------------ actions

  void CheckAction(const std::wstring& name, const std::wstring& value) {
    const std::span<const std::wstring_view> names = ActionNames();
    if (std::find(names.begin(), names.end(), name) != names.end()) {
      const std::vector<std::wstring> pieces = Pieces(value);
      if (name == names[0]) {
        CheckExecute(pieces);
      } else {
        CheckShortcut(pieces);
      }
      return;
    }
    const auto sameLetters = std::find_if(names.begin(), names.end(), [&](std::wstring_view n) {
      return UpperAscii(n) == UpperAscii(name);
    });
    if (sameLetters != names.end()) {
      Add(Severity::Error, L"DV110",
          Format(L"\"%s\" is not an action: action names are case-sensitive; write %s", name,
                 *sameLetters));
      return;
    }
    Add(Severity::Error, L"DV110",
        Format(L"unknown action \"%s\": the run reports it and does nothing", name) +
            Suggestion(name, names));
  }

  // The parameters: cut at every comma, each trimmed.
  static std::vector<std::wstring> Pieces(std::wstring_view value) {
    std::vector<std::wstring> pieces;
    for (;;) {
      const std::size_t comma = value.find(L',');
      pieces.push_back(Trim(value.substr(0, comma)));
      if (comma == std::wstring_view::npos) return pieces;
      value.remove_prefix(comma + 1);
    }
  }

  void CheckExecute(const std::vector<std::wstring>& pieces) {
    const std::wstring mode = UpperAscii(pieces[0]);
    if (mode != L"WAIT" && mode != L"NOWAIT") {
      Add(Severity::Error, L"DV116",
          Format(L"Execute's first parameter is WAIT or NOWAIT, not \"%s\": the run starts "
                 L"nothing; write Execute = WAIT, <program>[, <parameters>]",
                 pieces[0]));
      return;
    }
    if (pieces.size() > 3) {
      Add(Severity::Error, L"DV117",
          Format(L"Execute takes 3 parameters but this line has %u: every comma separates, also "
                 L"one in the parameters (\"%s\"), and the run starts nothing; put the command "
                 L"into a script and execute that",
                 Number(pieces.size()), pieces[2] + L"," + pieces[3]));
      return;
    }
    if (pieces.size() < 2 || pieces[1].empty()) {
      Add(Severity::Error, L"DV118",
          L"Execute needs the program as its second parameter: the run starts nothing");
      return;
    }
    CheckPath(pieces[1]);
    if (pieces.size() == 3) CheckParameters(pieces[2]);
  }

  void CheckShortcut(const std::vector<std::wstring>& pieces) {
    if (pieces.size() > 5) {
      Add(Severity::Error, L"DV119",
          Format(L"DesktopShortcut takes 5 parameters (name, target, parameters, icon, icon "
                 L"number) but this line has %u: the run creates nothing; remove the commas too "
                 L"many",
                 Number(pieces.size())));
      return;
    }
    const auto piece = [&](std::size_t i) {
      return i < pieces.size() ? pieces[i] : std::wstring();
    };
    if (piece(0).empty() || piece(1).empty() || piece(2).empty()) {
      Add(Severity::Error, L"DV121",
          L"DesktopShortcut needs a name, a target and parameters (\"[NONE]\" for none): the run "
          L"creates nothing");
      return;
    }
    CheckPath(piece(0));
    CheckPath(piece(1));
    CheckParameters(piece(2));
    if (!piece(3).empty()) CheckPath(piece(3));
    if (pieces.size() == 5) {
      const std::int32_t number = CheckNumber(piece(4), L"the icon number", L"DV120");
      if (number == kNoIcon && !piece(3).empty()) {
        Add(Severity::Error, L"DV121",
            L"an icon file needs an icon number other than -1: the run creates nothing");
      }
    } else if (!piece(3).empty()) {
      Add(Severity::Error, L"DV121",
          L"an icon file needs an icon number as the fifth parameter: the run creates nothing");
    }
  }

  static constexpr std::int32_t kNoIcon = -1;

  // ------------------------------------------------------------ paths

  void CheckPath(const std::wstring& path) {
    const std::wstring_view token = FindFolderToken(path);
    if (!token.empty() && CsidlFromName(token) < 0) {
      std::vector<std::wstring_view> names;
      const std::span<const FolderToken> folders = FolderTokens();
      std::transform(folders.begin(), folders.end(), std::back_inserter(names),
                     [](const FolderToken& folder) { return folder.Name; });
      const auto sameLetters = std::find_if(names.begin(), names.end(), [&](std::wstring_view n) {
        return UpperAscii(n) == UpperAscii(token);
      });
      if (sameLetters != names.end()) {
        Add(Severity::Error, L"DV122",
            Format(L"folder token [%s] is not resolved: folder names are case-sensitive; write "
                   L"[%s]",
                   std::wstring(token), *sameLetters));
      } else if (UpperAscii(token).starts_with(L"CSIDL_")) {
        Add(Severity::Error, L"DV122",
            Format(L"unknown folder token [%s]: the run leaves it in the path as written",
                   std::wstring(token)) +
                Suggestion(token, names, L"[", L"]"));
      }
    }
    for (std::size_t open = path.find(L'%'); open != std::wstring::npos;) {
      const std::size_t close = path.find(L'%', open + 1);
      if (close == std::wstring::npos) break;
      const std::wstring reference = path.substr(open, close - open + 1);
      const std::optional<std::wstring> expanded = platform::ExpandEnvironmentReferences(reference);
      if (close > open + 1 && expanded == reference) {
        Add(Severity::Warning, L"DV124",
            Format(L"%s is not set here: where it is not set either, the run leaves it in the path "
                   L"as written",
                   reference));
        open = close;
      } else {
        open = path.find(L'%', close + 1);
      }
    }
  }

  void CheckParameters(const std::wstring& parameters) {
    const std::wstring_view token = FindFolderToken(parameters);
    if (token.empty() || CsidlFromName(token) < 0) return;
    Add(Severity::Warning, L"DV123",
        Format(L"folder token [%s] in the parameters is not resolved: the program gets it as "
               L"written; write the folder's path, or execute a script that works it out",
               std::wstring(token)));
  }

  const Profile& profile_;
  std::vector<Finding> findings_;
  std::size_t line_ = 0;
  std::wstring section_;
  std::map<std::wstring, Conjunction> conjunctions_;
};

}  // namespace

std::wstring_view SeverityName(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return L"error";
    case Severity::Warning:
      return L"warning";
    case Severity::Note:
      return L"note";
  }
  return L"note";
}

std::vector<Finding> CheckRuleFile(const Profile& profile) { return Checker(profile).Run(); }

}  // namespace dorvanta::tool
