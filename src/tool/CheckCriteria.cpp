#include "tool/CheckCriteria.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <span>
#include <string_view>

#include "common/Text.h"
#include "report/Format.h"
#include "tool/CheckPaths.h"
#include "tool/Spelling.h"

namespace dorvanta::tool {
namespace {

// "LT, EQ, NE, GT, GE or LE".
std::wstring OperatorList(OperatorSet accepted) {
  const std::vector<std::wstring_view> words = OperatorWords(accepted);
  std::wstring list;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) list += i + 1 == words.size() ? L" or " : L", ";
    list += words[i];
  }
  return list;
}

std::uint32_t Bits(std::uint32_t mask) {
  std::uint32_t bits = 0;
  for (; mask != 0; mask >>= 1U) ++bits;
  return bits;
}

}  // namespace

void CriteriaCheck::Line(const std::wstring& key, const std::wstring& value) {
  const CriterionKey* const entry = FindCriterionKey(key);
  if (entry == nullptr) {
    const std::span<const CriterionKey> keys = CriterionKeys();
    std::vector<std::wstring_view> names;
    std::transform(keys.begin(), keys.end(), std::back_inserter(names),
                   [](const CriterionKey& k) { return k.Key; });
    findings_.Add(
        FindingKind::UnknownKey,
        Format(L"unknown key \"%s\": the line never holds, so neither does its pair", key) +
            Suggestion(key, names));
    return;
  }
  const std::optional<CriterionValue> split = SplitCriterionValue(value);
  if (!split) {
    findings_.Add(
        FindingKind::MissingComma,
        Format(L"%s needs <operator>,<value>: without the comma the line never holds", key));
    return;
  }
  std::wstring operand = split->Operand;
  std::wstring count;
  if (entry->Kind == CriterionKind::FirstChars) {
    const std::optional<CriterionValue> rest = SplitCriterionValue(operand);
    if (!rest) {
      findings_.Add(FindingKind::MissingComma,
                    Format(L"%s needs <operator>,<n>,<text>: without the second comma the line "
                           L"never holds",
                           key));
      return;
    }
    count = rest->Operator;
    operand = rest->Operand;
  }
  const std::optional<CompareOp> op = ReadCompareOp(split->Operator);
  if (!op || !Accepts(entry->Operators, *op)) {
    const std::wstring valid = OperatorList(entry->Operators);
    findings_.Add(FindingKind::InvalidOperator,
                  op ? Format(L"operator %s is not valid for %s: the line never holds; use %s",
                              split->Operator, key, valid)
                     : Format(L"\"%s\" is no operator for %s: the line never holds; use %s",
                              split->Operator, key, valid));
    return;
  }
  switch (entry->Kind) {
    case CriterionKind::Number:
      Number(*entry, key, *op, operand);
      break;
    case CriterionKind::Text:
      Together(UpperAscii(key), key, *op, UpperAscii(operand), true);
      break;
    case CriterionKind::FirstChars:
      FirstChars(key, *op, count, operand);
      break;
    case CriterionKind::HardwareId:
    case CriterionKind::HardwareIdPrefix:
      HardwareId(entry->Kind == CriterionKind::HardwareIdPrefix, key, operand);
      Together(UpperAscii(key), key, *op, UpperAscii(operand), false);
      break;
    case CriterionKind::FileExists:
      CheckPath(operand, findings_);
      Together(UpperAscii(key), key, *op, operand, false);
      break;
  }
}

void CriteriaCheck::Number(const CriterionKey& entry, const std::wstring& key, CompareOp op,
                           const std::wstring& operand) {
  const DecimalReading reading = ReadDecimal(operand);
  ReportNumberFault(reading, operand, L"the value", FindingKind::NoCleanNumber, findings_);
  const std::uint32_t compared = static_cast<std::uint32_t>(reading.Value) & entry.IniMask;
  if (reading.Fault == NumberFault::None &&
      (reading.Clamped || reading.Value < 0 ||
       compared != static_cast<std::uint32_t>(reading.Value))) {
    findings_.Add(FindingKind::NumberBeyondWidth,
                  Format(L"%s compares %s as an unsigned number of %u bits: the run compares "
                         L"with %u; write that value if it is meant",
                         key, operand, Bits(entry.IniMask), compared));
  }
  const std::wstring what = Format(L"%s %s %u", key, CompareOpWord(op), compared);
  const Limit limit{findings_.Line(), op, compared, {}};
  const Contradictions::NumberGroup group{entry.FactMax};
  if (!Contradictions::CanHold(group, limit)) {
    findings_.Add(FindingKind::NeverHolds,
                  Format(L"%s never holds (the fact is a number from 0 to %u): neither does its "
                         L"pair",
                         what, entry.FactMax));
  }
  ReportContradiction(contradictions_.Add(UpperAscii(key), group, limit), what);
}

void CriteriaCheck::FirstChars(const std::wstring& key, CompareOp op, const std::wstring& count,
                               const std::wstring& text) {
  const DecimalReading reading = ReadDecimal(count);
  ReportNumberFault(reading, count, L"the count", FindingKind::NoCleanNumber, findings_);
  const std::int32_t n = reading.Value;
  const std::wstring compared = UpperAscii(text);
  const std::size_t room = n > 0 ? static_cast<std::size_t>(n) : 0;
  if (op == CompareOp::EQ && compared.size() > room) {
    findings_.Add(FindingKind::NeverHolds,
                  Format(L"%s compares the first %d characters with \"%s\", which is longer: the "
                         L"line never holds; make n the length of the text",
                         key, n, compared));
    return;
  }
  Together(UpperAscii(key) + L"," + std::to_wstring(n), key, op, compared, true);
}

void CriteriaCheck::Together(const std::wstring& group, const std::wstring& key, CompareOp op,
                             const std::wstring& value, bool singleValued) {
  ReportContradiction(contradictions_.Add(group, Contradictions::TextGroup{singleValued},
                                          Limit{findings_.Line(), op, 0, value}),
                      Format(L"%s %s %s", key, CompareOpWord(op), value));
}

void CriteriaCheck::ReportContradiction(const std::vector<std::size_t>& lines,
                                        const std::wstring& what) {
  if (lines.empty()) return;
  std::wstring list;
  for (const std::size_t line : lines) {
    list += (list.empty() ? L"" : L", ") + std::to_wstring(line);
  }
  findings_.Add(FindingKind::NeverHolds,
                Format(L"%s can never hold together with line%s %s of the same key: the pair "
                       L"never holds; remove the contradiction",
                       what, lines.size() == 1 ? L"" : L"s", list));
}

// A hardware ID is an enumerator (letters, digits, '_'), a backslash and the
// device part: PCI\VEN_8086&DEV_1234, USB\VID_046D&PID_C52B, ACPI\PNP0A08.
// A prefix (HWIDLeft) may end right after the backslash.
void CriteriaCheck::HardwareId(bool prefix, const std::wstring& key, const std::wstring& id) {
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
  findings_.Add(FindingKind::NoHardwareId,
                Format(L"%s value \"%s\" is no hardware ID (an enumerator such as PCI, USB, ACPI "
                       L"or HID, a backslash and the device part, e.g. PCI\\VEN_8086&DEV_1234)",
                       key, id) +
                    hint + L"; \"dvtool facts\" lists the IDs of a machine");
}

}  // namespace dorvanta::tool
