// Criteria lines over every key on the fake platform. The facts, the present
// devices and the existing paths come from the input: numbers from its end,
// texts from the values of its lines. Every line is evaluated as written and,
// with its value, under each key of the table.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "criteria/CriteriaLine.h"
#include "fake/FakeDevices.h"
#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "report/Report.h"

namespace {

constexpr std::array<std::wstring_view, 26> kKeys{L"OSMajor",
                                                  L"OSMinor",
                                                  L"Bit",
                                                  L"Processors",
                                                  L"ProcessorType",
                                                  L"ProcessorRevision",
                                                  L"ProcessorLevel",
                                                  L"ProcessorModel",
                                                  L"ProcessorStepping",
                                                  L"UserDefaultUI",
                                                  L"UserDefaultPri",
                                                  L"UserDefaultSec",
                                                  L"SysDefaultUI",
                                                  L"SysDefaultUIPri",
                                                  L"SysDefaultUISec",
                                                  L"SysDefault",
                                                  L"SysDefaultPri",
                                                  L"SysDefaultSec",
                                                  L"CurrentLocation",
                                                  L"DMIMachineType",
                                                  L"DMIPANumber",
                                                  L"DMIVendor",
                                                  L"HWID",
                                                  L"HWIDLeft",
                                                  L"FileExists",
                                                  L"NoSuchKey"};

std::u16string ToUtf16Units(std::wstring_view text) {
  std::u16string units;
  for (const wchar_t c : text) units.push_back(static_cast<char16_t>(c));
  return units;
}

const std::wstring& Pick(const std::vector<std::wstring>& texts, std::uint8_t index) {
  return texts[index % texts.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dorvanta;
  fake::Reset();
  fake::FakeRun run;
  FuzzedDataProvider input(data, size);

  SystemFactsRecord& facts = run.Context.Facts;
  facts.OsMajor = input.ConsumeIntegral<std::uint32_t>();
  facts.OsMinor = input.ConsumeIntegral<std::uint32_t>();
  facts.OsBits = input.ConsumeIntegral<std::uint8_t>();
  facts.Processors = input.ConsumeIntegral<std::uint32_t>();
  facts.ProcessorType = input.ConsumeIntegral<std::uint32_t>();
  facts.ProcessorRevision = input.ConsumeIntegral<std::uint16_t>();
  facts.ProcessorLevel = input.ConsumeIntegral<std::uint16_t>();
  facts.ProcessorModel = input.ConsumeIntegral<std::uint8_t>();
  facts.ProcessorStepping = input.ConsumeIntegral<std::uint8_t>();
  for (std::uint16_t* word :
       {&facts.UserDefaultUi, &facts.UserDefaultUiPrimary, &facts.UserDefaultUiSub,
        &facts.SysDefaultUi, &facts.SysDefaultUiPrimary, &facts.SysDefaultUiSub, &facts.SysDefault,
        &facts.SysDefaultPrimary, &facts.SysDefaultSub}) {
    *word = input.ConsumeIntegral<std::uint16_t>();
  }
  const std::uint8_t locationPick = input.ConsumeIntegral<std::uint8_t>();
  const std::uint8_t machinePick = input.ConsumeIntegral<std::uint8_t>();
  const std::uint8_t numberPick = input.ConsumeIntegral<std::uint8_t>();
  const std::uint8_t vendorPick = input.ConsumeIntegral<std::uint8_t>();
  const std::uint8_t deviceMode = input.ConsumeIntegral<std::uint8_t>();
  const std::vector<std::uint8_t> rawIds =
      input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 64));
  const std::vector<std::wstring> lines = fuzz::RemainingLines(input);
  std::vector<std::wstring> values;
  for (const std::wstring& line : lines) values.push_back(fuzz::AfterFirst(line, L','));
  facts.CurrentLocation = Pick(values, locationPick);
  facts.DmiMachineType = Pick(values, machinePick);
  facts.DmiPaNumber = Pick(values, numberPick);
  facts.DmiVendor = Pick(values, vendorPick);

  fake::DevicesState& devices = fake::Devices();
  devices.OpenFails = (deviceMode & 1) != 0;
  std::vector<std::u16string> ids;
  for (const std::wstring& value : values) ids.push_back(ToUtf16Units(value));
  devices.Devices.push_back(fake::DeviceWithIds(ids));
  fake::FakeDevice raw;
  for (const std::uint8_t byte : rawIds) raw.HardwareIds.push_back(static_cast<std::byte>(byte));
  if ((deviceMode & 2) != 0) raw.Error = deviceMode >> 2;
  raw.ErrorRequiredBytes = deviceMode;
  devices.Devices.insert((deviceMode & 4) != 0 ? devices.Devices.begin() : devices.Devices.end(),
                         raw);
  for (const std::wstring& value : values) {
    if ((deviceMode & 8) != 0) fake::Platform().ExistingPaths.insert(value);
  }

  for (const std::wstring& line : lines) {
    EvaluateCriteriaLine(run.Context, L"CRITERIA1", line);
    const std::wstring value = fuzz::AfterFirst(line, L'=');
    for (const std::wstring_view key : kKeys) {
      EvaluateCriteriaLine(run.Context, L"CRITERIA1", std::wstring(key) + L"=" + value);
    }
  }
  return 0;
}
