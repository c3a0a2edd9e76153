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
#include "facts/SystemFacts.h"
#include "report/Report.h"
#include "report/SectionLine.h"

namespace dorvanta {
namespace {

using Check = CriterionResult (*)(const std::wstring& value, const std::wstring& section,
                                  const std::wstring& key);

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

// A check of the fact in `Field`, read from the record when the line is evaluated.
template <auto Compare, auto Field>
CriterionResult FactCheck(const std::wstring& value, const std::wstring& section,
                          const std::wstring& key) {
  return Compare(value, SystemFacts.*Field, section, key);
}

template <bool PrefixMatch>
CriterionResult HardwareId(const std::wstring& value, const std::wstring& section,
                           const std::wstring& key) {
  return CheckHardwareIdCriterion(value, section, key, PrefixMatch);
}

// Rows of the table: a 32-bit comparison of all six operators, the equality
// of 16 or 8 bits, and the text, device and file kinds.
template <auto Field>
constexpr KeyEntry Long(std::wstring_view key) {
  return {{key, CriterionKind::Number, OperatorSet::All, 0xFFFFFFFFU, FactMax<Field>()},
          &FactCheck<&CheckLongCriterion, Field>};
}

template <auto Field>
constexpr KeyEntry Word(std::wstring_view key) {
  return {{key, CriterionKind::Number, OperatorSet::EqualityOnly, 0xFFFFU, FactMax<Field>()},
          &FactCheck<&CheckWordCriterion, Field>};
}

template <auto Field>
constexpr KeyEntry Byte(std::wstring_view key) {
  return {{key, CriterionKind::Number, OperatorSet::EqualityOnly, 0xFFU, FactMax<Field>()},
          &FactCheck<&CheckByteCriterion, Field>};
}

constexpr KeyEntry Other(std::wstring_view key, CriterionKind kind, Check run) {
  return {{key, kind, OperatorSet::EqualityOnly}, run};
}

using Facts = SystemFactsRecord;

// Looked up top to bottom with the upper-cased key.
constexpr std::array kKeys{
    Long<&Facts::OsMajor>(L"OSMAJOR"),
    Long<&Facts::OsMinor>(L"OSMINOR"),
    Byte<&Facts::OsBits>(L"BIT"),
    Long<&Facts::Processors>(L"PROCESSORS"),
    Long<&Facts::ProcessorType>(L"PROCESSORTYPE"),
    Long<&Facts::ProcessorRevision>(L"PROCESSORREVISION"),
    Long<&Facts::ProcessorLevel>(L"PROCESSORLEVEL"),
    Long<&Facts::ProcessorModel>(L"PROCESSORMODEL"),
    Long<&Facts::ProcessorStepping>(L"PROCESSORSTEPPING"),
    Word<&Facts::UserDefaultUi>(L"USERDEFAULTUI"),
    Word<&Facts::UserDefaultUiPrimary>(L"USERDEFAULTPRI"),
    Word<&Facts::UserDefaultUiSub>(L"USERDEFAULTSEC"),
    Word<&Facts::SysDefaultUi>(L"SYSDEFAULTUI"),
    Word<&Facts::SysDefaultUiPrimary>(L"SYSDEFAULTUIPRI"),
    Word<&Facts::SysDefaultUiSub>(L"SYSDEFAULTUISEC"),
    Word<&Facts::SysDefault>(L"SYSDEFAULT"),
    Word<&Facts::SysDefaultPrimary>(L"SYSDEFAULTPRI"),
    Word<&Facts::SysDefaultSub>(L"SYSDEFAULTSEC"),
    Other(L"CURRENTLOCATION", CriterionKind::Text,
          &FactCheck<&CheckTextCriterion, &Facts::CurrentLocation>),
    Other(L"DMIMACHINETYPE", CriterionKind::Text,
          &FactCheck<&CheckTextCriterion, &Facts::DmiMachineType>),
    Other(L"DMIPANUMBER", CriterionKind::FirstChars,
          &FactCheck<&CheckFirstCharsCriterion, &Facts::DmiPaNumber>),
    Other(L"DMIVENDOR", CriterionKind::Text, &FactCheck<&CheckTextCriterion, &Facts::DmiVendor>),
    Other(L"HWID", CriterionKind::HardwareId, &HardwareId<false>),
    Other(L"HWIDLEFT", CriterionKind::HardwareIdPrefix, &HardwareId<true>),
    Other(L"FILEEXISTS", CriterionKind::FileExists, &CheckFileExistsCriterion),
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

CriterionResult EvaluateCriteriaLine(const std::wstring& section, const std::wstring& line) {
  const std::optional<SectionLine> split = SplitSectionLine(line, section);
  if (!split) return Refused();
  const std::wstring lookup = UpperAscii(split->Key);
  for (const KeyEntry& entry : kKeys) {
    if (lookup != entry.Info.Key) continue;
    CriterionResult result = entry.Run(split->Value, section, split->Key);
    result.Key = split->Key;
    return result;
  }
  Report(L"ERROR: Unknown key: \"%s\" in section \"%s\"\n", split->Key, section);
  CriterionResult unknown = Refused();
  unknown.Key = split->Key;
  return unknown;
}

}  // namespace dorvanta
