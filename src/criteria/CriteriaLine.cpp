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

// Checks that read their fact from the record when the line is evaluated.
template <auto Field>
CriterionResult LongFact(const std::wstring& value, const std::wstring& section,
                         const std::wstring& key) {
  return CheckLongCriterion(value, SystemFacts.*Field, section, key);
}

template <auto Field>
CriterionResult ByteFact(const std::wstring& value, const std::wstring& section,
                         const std::wstring& key) {
  return CheckByteCriterion(value, SystemFacts.*Field, section, key);
}

template <auto Field>
CriterionResult WordFact(const std::wstring& value, const std::wstring& section,
                         const std::wstring& key) {
  return CheckWordCriterion(value, SystemFacts.*Field, section, key);
}

template <auto Field>
CriterionResult TextFact(const std::wstring& value, const std::wstring& section,
                         const std::wstring& key) {
  return CheckTextCriterion(value, SystemFacts.*Field, section, key);
}

template <auto Field>
CriterionResult FirstCharsFact(const std::wstring& value, const std::wstring& section,
                               const std::wstring& key) {
  return CheckFirstCharsCriterion(value, SystemFacts.*Field, section, key);
}

template <bool PrefixMatch>
CriterionResult HardwareId(const std::wstring& value, const std::wstring& section,
                           const std::wstring& key) {
  return CheckHardwareIdCriterion(value, section, key, PrefixMatch);
}

// Looked up top to bottom with the upper-cased key.
constexpr std::array kKeys{
    KeyEntry{L"OSMAJOR", &LongFact<&SystemFactsRecord::OsMajor>},
    KeyEntry{L"OSMINOR", &LongFact<&SystemFactsRecord::OsMinor>},
    KeyEntry{L"BIT", &ByteFact<&SystemFactsRecord::OsBits>},
    KeyEntry{L"PROCESSORS", &LongFact<&SystemFactsRecord::Processors>},
    KeyEntry{L"PROCESSORTYPE", &LongFact<&SystemFactsRecord::ProcessorType>},
    KeyEntry{L"PROCESSORREVISION", &LongFact<&SystemFactsRecord::ProcessorRevision>},
    KeyEntry{L"PROCESSORLEVEL", &LongFact<&SystemFactsRecord::ProcessorLevel>},
    KeyEntry{L"PROCESSORMODEL", &LongFact<&SystemFactsRecord::ProcessorModel>},
    KeyEntry{L"PROCESSORSTEPPING", &LongFact<&SystemFactsRecord::ProcessorStepping>},
    KeyEntry{L"USERDEFAULTUI", &WordFact<&SystemFactsRecord::UserDefaultUi>},
    KeyEntry{L"USERDEFAULTPRI", &WordFact<&SystemFactsRecord::UserDefaultUiPrimary>},
    KeyEntry{L"USERDEFAULTSEC", &WordFact<&SystemFactsRecord::UserDefaultUiSub>},
    KeyEntry{L"SYSDEFAULTUI", &WordFact<&SystemFactsRecord::SysDefaultUi>},
    KeyEntry{L"SYSDEFAULTUIPRI", &WordFact<&SystemFactsRecord::SysDefaultUiPrimary>},
    KeyEntry{L"SYSDEFAULTUISEC", &WordFact<&SystemFactsRecord::SysDefaultUiSub>},
    KeyEntry{L"SYSDEFAULT", &WordFact<&SystemFactsRecord::SysDefault>},
    KeyEntry{L"SYSDEFAULTPRI", &WordFact<&SystemFactsRecord::SysDefaultPrimary>},
    KeyEntry{L"SYSDEFAULTSEC", &WordFact<&SystemFactsRecord::SysDefaultSub>},
    KeyEntry{L"CURRENTLOCATION", &TextFact<&SystemFactsRecord::CurrentLocation>},
    KeyEntry{L"DMIMACHINETYPE", &TextFact<&SystemFactsRecord::DmiMachineType>},
    KeyEntry{L"DMIPANUMBER", &FirstCharsFact<&SystemFactsRecord::DmiPaNumber>},
    KeyEntry{L"DMIVENDOR", &TextFact<&SystemFactsRecord::DmiVendor>},
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
