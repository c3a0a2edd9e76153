#include <optional>

#include "facts/FactSources.h"
#include "facts/SystemFacts.h"
#include "platform/OsInfo.h"
#include "report/Report.h"
#include "run/RunContext.h"

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

bool GatherOsFacts(RunContext& context) {
  ReportSink& sink = context.Sink;
  Report(sink, L"OS Information:\n---------------\n");
  const OsSources sources = ReadOsSources();
  if (!sources.Version) {
    Report(sink, L"ERROR: %s\n", kOsVersionFailure);
    return false;
  }
  ApplyOsSources(sources, context.Facts);
  const SystemFactsRecord& facts = context.Facts;
  Report(sink, L"OS Major = %ld\n", sources.Version->Major);
  Report(sink, L"OS Minor = %ld\n", sources.Version->Minor);
  Report(sink, L"Service Pack (CSD) Ver (empty if no SP installed) = %s\n", facts.CsdVersion);
  Report(sink, L"OS %d bit\n", facts.OsBits);
  Report(sink, L"%ld Processor(s)\n", facts.Processors);
  Report(sink, L"Processor Type: %u\n", facts.ProcessorType);
  Report(sink, L"Processor Revision: %lu\n", facts.ProcessorRevision);
  Report(sink, L"Processor Level: %u\n", facts.ProcessorLevel);
  Report(sink, L"Processor Model: %u\n", facts.ProcessorModel);
  Report(sink, L"Processor Stepping: %u\n", facts.ProcessorStepping);
  return true;
}

}  // namespace dorvanta
