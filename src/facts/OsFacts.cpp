#include <optional>

#include "facts/SystemFacts.h"
#include "platform/OsInfo.h"
#include "report/Report.h"

namespace dorvanta {

namespace {

std::uint8_t BitsOfArchitecture(std::uint16_t architecture) {
  switch (architecture) {
    case platform::kArchitectureIntel:
      return 32;
    case platform::kArchitectureIa64:
    case platform::kArchitectureAmd64:
    case platform::kArchitectureArm64:
      return 64;
    default:
      return 0;
  }
}

}  // namespace

void GatherOsFacts() {
  Report(L"OS Information:\n---------------\n");

  const std::optional<platform::OsVersion> version = platform::QueryOsVersion();
  if (!version) ReportAndExit(1, L"ERROR: Could not get OS version!\n");
  SystemFacts.OsMajor = version->Major;
  SystemFacts.OsMinor = version->Minor;
  SystemFacts.CsdVersion = version->CsdVersion;
  Report(L"OS Major = %ld\n", SystemFacts.OsMajor);
  Report(L"OS Minor = %ld\n", SystemFacts.OsMinor);
  Report(L"Service Pack (CSD) Ver (empty if no SP installed) = %s\n", SystemFacts.CsdVersion);

  const platform::ProcessorInfo processor = platform::QueryProcessorInfo();
  SystemFacts.OsBits = BitsOfArchitecture(processor.Architecture);
  Report(L"OS %d bit\n", SystemFacts.OsBits);
  SystemFacts.Processors = processor.NumberOfProcessors;
  Report(L"%ld Processor(s)\n", SystemFacts.Processors);
  SystemFacts.ProcessorType = processor.ProcessorType;
  Report(L"Processor Type: %u\n", SystemFacts.ProcessorType);
  SystemFacts.ProcessorRevision = processor.ProcessorRevision;
  Report(L"Processor Revision: %lu\n", SystemFacts.ProcessorRevision);
  SystemFacts.ProcessorLevel = processor.ProcessorLevel;
  Report(L"Processor Level: %u\n", SystemFacts.ProcessorLevel);
  SystemFacts.ProcessorModel = static_cast<std::uint8_t>(SystemFacts.ProcessorRevision >> 8);
  Report(L"Processor Model: %u\n", SystemFacts.ProcessorModel);
  SystemFacts.ProcessorStepping = static_cast<std::uint8_t>(SystemFacts.ProcessorRevision & 0xFF);
  Report(L"Processor Stepping: %u\n", SystemFacts.ProcessorStepping);

  // The criteria compare the packed version word's bytes, not the values printed above.
  const std::uint32_t word = platform::QueryVersionWord();
  SystemFacts.OsMajor = word & 0xFF;
  SystemFacts.OsMinor = (word >> 8) & 0xFF;
}

}  // namespace dorvanta
