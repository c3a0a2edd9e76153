// The facts about the machine, gathered once at start-up and only read afterwards.
#pragma once

#include <cstdint>
#include <string>

namespace dorvanta {

struct SystemFactsRecord {
  std::uint32_t OsMajor = 0;
  std::uint32_t OsMinor = 0;
  std::wstring CsdVersion;
  std::uint8_t OsBits = 0;
  std::uint32_t Processors = 0;
  std::uint32_t ProcessorType = 0;
  std::uint16_t ProcessorRevision = 0;
  std::uint16_t ProcessorLevel = 0;
  std::uint8_t ProcessorModel = 0;
  std::uint8_t ProcessorStepping = 0;

  std::uint16_t UserDefaultUi = 0;
  std::uint16_t UserDefaultUiPrimary = 0;
  std::uint16_t UserDefaultUiSub = 0;
  std::uint16_t SysDefaultUi = 0;
  std::uint16_t SysDefaultUiPrimary = 0;
  std::uint16_t SysDefaultUiSub = 0;
  std::uint16_t SysDefault = 0;
  std::uint16_t SysDefaultPrimary = 0;
  std::uint16_t SysDefaultSub = 0;
  std::wstring CurrentLocation;

  std::wstring DmiMachineType;
  std::wstring DmiPaNumber;
  std::wstring DmiVendor;
};

class RunContext;

// The gatherers fill the context's facts from the machine and report them.

// Fills the OS and processor facts and reports the "OS Information" block.
// False, after the error report, when the OS version cannot be read: the run
// then ends with exit code 1.
[[nodiscard]] bool GatherOsFacts(RunContext& context);

// Fills the nine language facts and the location and reports the "Language
// Information" block. False, after the error report, when the user's location
// is unavailable: the run then ends with exit code 1.
[[nodiscard]] bool GatherLanguageFacts(RunContext& context);

// Fills the three DMI texts from the management service and reports the "DMI
// Information" block; a failed query leaves its text empty.
void GatherDmiFacts(RunContext& context);

}  // namespace dorvanta
