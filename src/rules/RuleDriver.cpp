#include "rules/RuleDriver.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "criteria/CriteriaLine.h"
#include "facts/HardwareIds.h"
#include "platform/ProfileReader.h"
#include "report/Report.h"
#include "rules/ActionLine.h"

namespace dorvanta {
namespace {

constexpr std::wstring_view kProcessingRule = L"------------------------------------\n";

// Reads one section into the shared buffer; ends the process when it does not fit.
std::uint32_t ReadSection(const std::wstring& iniPath, const std::wstring& section,
                          std::span<wchar_t> buffer) {
  const std::uint32_t length = platform::ReadProfileSection(iniPath, section, buffer);
  if (length == buffer.size() - 2) {
    ReportAndExit(1, L"ERROR: Section %s too big for buffer!\n", section);
  }
  return length;
}

// The part of the buffer that the reader filled.
std::span<const wchar_t> LinesOf(std::span<const wchar_t> buffer, std::uint32_t length) {
  return buffer.first(std::min<std::size_t>(length, buffer.size()));
}

// Calls `handle` for every NUL-terminated line of a section buffer, in order.
template <typename Handler>
void ForEachLine(std::span<const wchar_t> buffer, Handler handle) {
  std::size_t i = 0;
  while (i < buffer.size() && buffer[i] != L'\0') {
    std::size_t end = i;
    while (end < buffer.size() && buffer[end] != L'\0') ++end;
    handle(std::wstring(buffer.data() + i, end - i));
    i = end + 1;
  }
}

}  // namespace

void ProcessIniFile(const std::wstring& iniPath) {
  Report(L"%s", kEqualsLine);
  Report(L"Process INI File:\n");

  std::array<wchar_t, kSectionBufferSize> buffer{};
  for (int x = 1; x <= kMaxSectionPairs; ++x) {
    const std::wstring criteria = Format(L"CRITERIA%d", x);
    const std::wstring actions = Format(L"ACTION%d", x);

    const std::uint32_t criteriaLength = ReadSection(iniPath, criteria, buffer);
    Report(L"%s", kEqualsLine);
    if (criteriaLength == 0) {
      Report(L"\nSection %s empty or not existing ... stop processing!\n", criteria);
      return;
    }
    Report(L"\nProcessing %s\n%s", criteria, kProcessingRule);

    bool allMatch = true;
    ForEachLine(LinesOf(buffer, criteriaLength), [&](const std::wstring& line) {
      if (!EvaluateCriteriaLine(criteria, line)) allMatch = false;
    });
    if (!allMatch) {
      Report(L"\nNot all Criteria for %s match or error --> next criterium\n\n", criteria);
      continue;
    }
    Report(L"%s", kDashLine);
    Report(L"\nAll Criteria for %s match!\n\n", criteria);

    const std::uint32_t actionsLength = ReadSection(iniPath, actions, buffer);
    if (actionsLength == 0) {
      Report(L"\nWARNING: Section %s empty or not existing --> next criterium\n", actions);
      continue;
    }
    Report(L"\nProcessing %s\n%s", actions, kProcessingRule);
    ForEachLine(LinesOf(buffer, actionsLength), [&](const std::wstring& line) {
      ForgetPresentDevices();  // the action may change the devices present
      RunActionLine(line, actions);
    });
  }
}

}  // namespace dorvanta
