#include "facts/SystemFacts.h"
#include "facts/WmiQuery.h"
#include "report/Report.h"

namespace dorvanta {

void GatherDmiFacts() {
  Report(L"\nDMI Information:\n----------------\n");
  const std::wstring productClass = L"Win32_ComputerSystemProduct";
  SystemFacts.DmiMachineType = WmiQuery(productClass, L"Name");
  Report(L"Machine Type = %s\n", SystemFacts.DmiMachineType);
  SystemFacts.DmiPaNumber = WmiQuery(productClass, L"Version");
  Report(L"PA Number = %s\n", SystemFacts.DmiPaNumber);
  SystemFacts.DmiVendor = WmiQuery(productClass, L"Vendor");
  Report(L"Vendor = %s\n", SystemFacts.DmiVendor);
}

}  // namespace dorvanta
