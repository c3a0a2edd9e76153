#include "facts/FactSources.h"
#include "facts/SystemFacts.h"
#include "facts/WmiQuery.h"
#include "report/Report.h"

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
void GatherDmiFacts() {
  Report(L"\nDMI Information:\n----------------\n");
  SystemFacts.DmiMachineType = WmiQuery(kProductClass, L"Name");
  Report(L"Machine Type = %s\n", SystemFacts.DmiMachineType);
  SystemFacts.DmiPaNumber = WmiQuery(kProductClass, L"Version");
  Report(L"PA Number = %s\n", SystemFacts.DmiPaNumber);
  SystemFacts.DmiVendor = WmiQuery(kProductClass, L"Vendor");
  Report(L"Vendor = %s\n", SystemFacts.DmiVendor);
}

}  // namespace dorvanta
