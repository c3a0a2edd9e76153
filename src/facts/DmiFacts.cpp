#include "facts/FactSources.h"
#include "facts/SystemFacts.h"
#include "facts/WmiQuery.h"
#include "report/Report.h"
#include "run/RunContext.h"

namespace dorvanta {
namespace {

constexpr wchar_t kProductClass[] = L"Win32_ComputerSystemProduct";

}  // namespace

DmiSources ReadDmiSources() {
  return DmiSources{platform::ReadWmiProperty(kProductClass, L"Name"),
                    platform::ReadWmiProperty(kProductClass, L"Version"),
                    platform::ReadWmiProperty(kProductClass, L"Vendor")};
}

std::wstring DescribeDmiFailure(const platform::WmiFailure& failure, const std::wstring& property) {
  return DescribeWmiFailure(failure, kProductClass, property);
}

// Each query is made and reported before the next one is made.
void GatherDmiFacts(RunContext& context) {
  ReportSink& sink = context.Sink;
  SystemFactsRecord& facts = context.Facts;
  Report(sink, L"\nDMI Information:\n----------------\n");
  facts.DmiMachineType = WmiQuery(sink, kProductClass, L"Name");
  Report(sink, L"Machine Type = %s\n", facts.DmiMachineType);
  facts.DmiPaNumber = WmiQuery(sink, kProductClass, L"Version");
  Report(sink, L"PA Number = %s\n", facts.DmiPaNumber);
  facts.DmiVendor = WmiQuery(sink, kProductClass, L"Vendor");
  Report(sink, L"Vendor = %s\n", facts.DmiVendor);
}

}  // namespace dorvanta
