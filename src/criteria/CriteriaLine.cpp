#include "criteria/CriteriaLine.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>

#include "common/Text.h"
#include "criteria/FileExistsCriterion.h"
#include "criteria/HardwareIdCriteria.h"
#include "criteria/NumericCriteria.h"
#include "criteria/TextCriteria.h"
#include "report/Format.h"
#include "report/Report.h"
#include "report/SectionLine.h"

namespace dorvanta {
namespace {

// `unknownBecause`, when not empty, is why the fact cannot be known here; only
// the checks of keys that actions may change are handed one.
using Check = CriterionResult (*)(RunContext& context, const std::wstring& value,
                                  const std::wstring& section, const std::wstring& key,
                                  const std::wstring& unknownBecause);

struct KeyEntry {
  CriterionKey Info;
  Check Run;
};

// The largest value of a numeric field of the record.
template <auto Field>
constexpr std::uint32_t FactMax() {
  using Type = std::remove_cvref_t<decltype(std::declval<SystemFactsRecord>().*Field)>;
  return std::numeric_limits<Type>::max();
}

// A check of the fact in `Field`, read from the context's record when the line is evaluated.
template <auto Compare, auto Field>
CriterionResult FactCheck(RunContext& context, const std::wstring& value,
                          const std::wstring& section, const std::wstring& key,
                          const std::wstring& /*unknownBecause*/) {
  return Compare(context.Sink, value, context.Facts.*Field, section, key);
}

template <bool PrefixMatch>
CriterionResult HardwareId(RunContext& context, const std::wstring& value,
                           const std::wstring& section, const std::wstring& key,
                           const std::wstring& /*unknownBecause*/) {
  return CheckHardwareIdCriterion(context, value, section, key, PrefixMatch);
}

// The numeric field of the record, read and written as 32 bits.
template <auto Field>
constexpr RecordFact NumberField() {
  using Type = std::remove_cvref_t<decltype(std::declval<SystemFactsRecord>().*Field)>;
  return {[](const SystemFactsRecord& r) -> std::uint32_t { return r.*Field; },
          [](SystemFactsRecord& r, std::uint32_t v) { r.*Field = static_cast<Type>(v); }};
}

// Rows of the table: a 32-bit comparison of all six operators, the equality
// of 16 or 8 bits, the texts, and the device and file kinds (the file's one
// that actions may change).
template <auto Field>
constexpr KeyEntry Long(std::wstring_view key) {
  return {{key, CriterionKind::Number, OperatorSet::All, 0xFFFFFFFFU, FactMax<Field>(),
           FactGroup::OsAndProcessor, NumberField<Field>()},
          &FactCheck<&CheckLongCriterion, Field>};
}

template <auto Field>
constexpr KeyEntry Word(std::wstring_view key) {
  return {{key, CriterionKind::Number, OperatorSet::EqualityOnly, 0xFFFFU, FactMax<Field>(),
           FactGroup::Languages, NumberField<Field>()},
          &FactCheck<&CheckWordCriterion, Field>};
}

template <auto Field>
constexpr KeyEntry Byte(std::wstring_view key) {
  return {{key, CriterionKind::Number, OperatorSet::EqualityOnly, 0xFFU, FactMax<Field>(),
           FactGroup::OsAndProcessor, NumberField<Field>()},
          &FactCheck<&CheckByteCriterion, Field>};
}

template <auto Compare, auto Field>
constexpr KeyEntry Text(std::wstring_view key, CriterionKind kind) {
  return {{key, kind, OperatorSet::EqualityOnly, 0, 0, FactGroup::LocationAndDmi,
           RecordFact{nullptr, nullptr, Field}},
          &FactCheck<Compare, Field>};
}

constexpr KeyEntry Other(std::wstring_view key, CriterionKind kind, Check run,
                         bool actionsMayChange = false) {
  return {
      {key, kind, OperatorSet::EqualityOnly, 0, 0, FactGroup::None, RecordFact{}, actionsMayChange},
      run};
}

using Facts = SystemFactsRecord;

// Looked up top to bottom, letter case ignored; the names as the documentation spells them.
constexpr std::array kKeys{
    Long<&Facts::OsMajor>(L"OSMajor"),
    Long<&Facts::OsMinor>(L"OSMinor"),
    Byte<&Facts::OsBits>(L"Bit"),
    Long<&Facts::Processors>(L"Processors"),
    Long<&Facts::ProcessorType>(L"ProcessorType"),
    Long<&Facts::ProcessorRevision>(L"ProcessorRevision"),
    Long<&Facts::ProcessorLevel>(L"ProcessorLevel"),
    Long<&Facts::ProcessorModel>(L"ProcessorModel"),
    Long<&Facts::ProcessorStepping>(L"ProcessorStepping"),
    Word<&Facts::UserDefaultUi>(L"UserDefaultUI"),
    Word<&Facts::UserDefaultUiPrimary>(L"UserDefaultPri"),
    Word<&Facts::UserDefaultUiSub>(L"UserDefaultSec"),
    Word<&Facts::SysDefaultUi>(L"SysDefaultUI"),
    Word<&Facts::SysDefaultUiPrimary>(L"SysDefaultUIPri"),
    Word<&Facts::SysDefaultUiSub>(L"SysDefaultUISec"),
    Word<&Facts::SysDefault>(L"SysDefault"),
    Word<&Facts::SysDefaultPrimary>(L"SysDefaultPri"),
    Word<&Facts::SysDefaultSub>(L"SysDefaultSec"),
    Text<&CheckTextCriterion, &Facts::CurrentLocation>(L"CurrentLocation", CriterionKind::Text),
    Text<&CheckTextCriterion, &Facts::DmiMachineType>(L"DMIMachineType", CriterionKind::Text),
    Text<&CheckFirstCharsCriterion, &Facts::DmiPaNumber>(L"DMIPANumber", CriterionKind::FirstChars),
    Text<&CheckTextCriterion, &Facts::DmiVendor>(L"DMIVendor", CriterionKind::Text),
    Other(L"HWID", CriterionKind::HardwareId, &HardwareId<false>),
    Other(L"HWIDLeft", CriterionKind::HardwareIdPrefix, &HardwareId<true>),
    Other(L"FileExists", CriterionKind::FileExists, &CheckFileExistsCriterion, true),
};

}  // namespace

std::span<const CriterionKey> CriterionKeys() {
  static const auto kKeyInfo = [] {
    std::array<CriterionKey, std::tuple_size_v<decltype(kKeys)>> info{};
    std::transform(kKeys.begin(), kKeys.end(), info.begin(),
                   [](const KeyEntry& entry) { return entry.Info; });
    return info;
  }();
  return kKeyInfo;
}

const CriterionKey* FindCriterionKey(std::wstring_view key) {
  const std::span<const CriterionKey> keys = CriterionKeys();
  const auto entry = std::find_if(keys.begin(), keys.end(), [&](const CriterionKey& k) {
    return EqualsIgnoringAsciiCase(k.Key, key);
  });
  return entry == keys.end() ? nullptr : &*entry;
}

CriterionResult EvaluateCriteriaLine(RunContext& context, const std::wstring& section,
                                     const std::wstring& line, std::optional<int> earlierActions) {
  std::optional<SectionLine> split = SplitSectionLine(context.Sink, line, section);
  if (!split) return Refused();

  for (const KeyEntry& entry : kKeys) {
    if (!EqualsIgnoringAsciiCase(split->Key, entry.Info.Key)) continue;
    const bool changed = entry.Info.ActionsMayChange && earlierActions.has_value();
    const std::wstring unknownBecause =
        changed ? Format(L"unknown: pair %d's actions would run first and may change it",
                         *earlierActions)
                : std::wstring();
    CriterionResult result = entry.Run(context, split->Value, section, split->Key, unknownBecause);
    result.Key = std::move(split->Key);
    if (changed && result.Outcome == Verdict::Unknown) result.EarlierActions = *earlierActions;
    return result;
  }
  Report(context.Sink, L"ERROR: Unknown key: \"%s\" in section \"%s\"\n", split->Key, section);
  CriterionResult unknown = Refused();
  unknown.Key = split->Key;
  return unknown;
}

}  // namespace dorvanta
