#include <optional>

#include "facts/FactSources.h"
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

OsSources ReadOsSources() {
  return OsSources{platform::QueryOsVersion(), platform::QueryProcessorInfo(),
                   platform::QueryVersionWord()};
}

void ApplyOsSources(const OsSources& sources, SystemFactsRecord& record) {
  if (sources.Version) record.CsdVersion = sources.Version->CsdVersion;
  const platform::ProcessorInfo& processor = sources.Processor;
  record.OsBits = BitsOfArchitecture(processor.Architecture);
  record.Processors = processor.NumberOfProcessors;
  record.ProcessorType = processor.ProcessorType;
  record.ProcessorRevision = processor.ProcessorRevision;
  record.ProcessorLevel = processor.ProcessorLevel;
  record.ProcessorModel = static_cast<std::uint8_t>(processor.ProcessorRevision >> 8);
  record.ProcessorStepping = static_cast<std::uint8_t>(processor.ProcessorRevision & 0xFF);
  // The criteria compare the packed version word's bytes, not the version the
  // report shows.
  record.OsMajor = sources.VersionWord & 0xFF;
  record.OsMinor = (sources.VersionWord >> 8) & 0xFF;
}

void GatherOsFacts() {
  Report(L"OS Information:\n---------------\n");
  const OsSources sources = ReadOsSources();
  if (!sources.Version) ReportAndExit(1, L"ERROR: %s\n", kOsVersionFailure);
  ApplyOsSources(sources, SystemFacts);
  const SystemFactsRecord& facts = SystemFacts;
  Report(L"OS Major = %ld\n", sources.Version->Major);
  Report(L"OS Minor = %ld\n", sources.Version->Minor);
  Report(L"Service Pack (CSD) Ver (empty if no SP installed) = %s\n", facts.CsdVersion);
  Report(L"OS %d bit\n", facts.OsBits);
  Report(L"%ld Processor(s)\n", facts.Processors);
  Report(L"Processor Type: %u\n", facts.ProcessorType);
  Report(L"Processor Revision: %lu\n", facts.ProcessorRevision);
  Report(L"Processor Level: %u\n", facts.ProcessorLevel);
  Report(L"Processor Model: %u\n", facts.ProcessorModel);
  Report(L"Processor Stepping: %u\n", facts.ProcessorStepping);
}

}  // namespace dorvanta
