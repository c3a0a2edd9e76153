#include "criteria/CriteriaLine.h"

#include <array>
#include <optional>
#include <string_view>

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
  std::wstring_view Key;
  Check Run;
};

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

// Looked up top to bottom with the upper-cased key.
constexpr std::array kKeys{
    KeyEntry{L"OSMAJOR", &FactCheck<&CheckLongCriterion, &SystemFactsRecord::OsMajor>},
    KeyEntry{L"OSMINOR", &FactCheck<&CheckLongCriterion, &SystemFactsRecord::OsMinor>},
    KeyEntry{L"BIT", &FactCheck<&CheckByteCriterion, &SystemFactsRecord::OsBits>},
    KeyEntry{L"PROCESSORS", &FactCheck<&CheckLongCriterion, &SystemFactsRecord::Processors>},
    KeyEntry{L"PROCESSORTYPE", &FactCheck<&CheckLongCriterion, &SystemFactsRecord::ProcessorType>},
    KeyEntry{L"PROCESSORREVISION",
             &FactCheck<&CheckLongCriterion, &SystemFactsRecord::ProcessorRevision>},
    KeyEntry{L"PROCESSORLEVEL",
             &FactCheck<&CheckLongCriterion, &SystemFactsRecord::ProcessorLevel>},
    KeyEntry{L"PROCESSORMODEL",
             &FactCheck<&CheckLongCriterion, &SystemFactsRecord::ProcessorModel>},
    KeyEntry{L"PROCESSORSTEPPING",
             &FactCheck<&CheckLongCriterion, &SystemFactsRecord::ProcessorStepping>},
    KeyEntry{L"USERDEFAULTUI", &FactCheck<&CheckWordCriterion, &SystemFactsRecord::UserDefaultUi>},
    KeyEntry{L"USERDEFAULTPRI",
             &FactCheck<&CheckWordCriterion, &SystemFactsRecord::UserDefaultUiPrimary>},
    KeyEntry{L"USERDEFAULTSEC",
             &FactCheck<&CheckWordCriterion, &SystemFactsRecord::UserDefaultUiSub>},
    KeyEntry{L"SYSDEFAULTUI", &FactCheck<&CheckWordCriterion, &SystemFactsRecord::SysDefaultUi>},
    KeyEntry{L"SYSDEFAULTUIPRI",
             &FactCheck<&CheckWordCriterion, &SystemFactsRecord::SysDefaultUiPrimary>},
    KeyEntry{L"SYSDEFAULTUISEC",
             &FactCheck<&CheckWordCriterion, &SystemFactsRecord::SysDefaultUiSub>},
    KeyEntry{L"SYSDEFAULT", &FactCheck<&CheckWordCriterion, &SystemFactsRecord::SysDefault>},
    KeyEntry{L"SYSDEFAULTPRI",
             &FactCheck<&CheckWordCriterion, &SystemFactsRecord::SysDefaultPrimary>},
    KeyEntry{L"SYSDEFAULTSEC", &FactCheck<&CheckWordCriterion, &SystemFactsRecord::SysDefaultSub>},
    KeyEntry{L"CURRENTLOCATION",
             &FactCheck<&CheckTextCriterion, &SystemFactsRecord::CurrentLocation>},
    KeyEntry{L"DMIMACHINETYPE",
             &FactCheck<&CheckTextCriterion, &SystemFactsRecord::DmiMachineType>},
    KeyEntry{L"DMIPANUMBER",
             &FactCheck<&CheckFirstCharsCriterion, &SystemFactsRecord::DmiPaNumber>},
    KeyEntry{L"DMIVENDOR", &FactCheck<&CheckTextCriterion, &SystemFactsRecord::DmiVendor>},
    KeyEntry{L"HWID", &HardwareId<false>},
    KeyEntry{L"HWIDLEFT", &HardwareId<true>},
    KeyEntry{L"FILEEXISTS", &CheckFileExistsCriterion},
};

}  // namespace

CriterionResult EvaluateCriteriaLine(const std::wstring& section, const std::wstring& line) {
  const std::optional<SectionLine> split = SplitSectionLine(line, section);
  if (!split) return Refused();
  const std::wstring lookup = UpperAscii(split->Key);
  for (const KeyEntry& entry : kKeys) {
    if (lookup != entry.Key) continue;
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
