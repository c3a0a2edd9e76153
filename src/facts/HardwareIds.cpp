#include "facts/HardwareIds.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "facts/FactSource.h"
#include "platform/Devices.h"

namespace dorvanta {
namespace {

wchar_t FoldAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

bool SameIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](wchar_t x, wchar_t y) { return FoldAscii(x) == FoldAscii(y); });
}

bool EntryMatches(std::wstring_view entry, std::wstring_view id, bool prefixMatch) {
  if (prefixMatch)
    return entry.size() >= id.size() && SameIgnoringAsciiCase(entry.substr(0, id.size()), id);
  return SameIgnoringAsciiCase(entry, id);
}

// The present devices as last read; empty until the first search.
std::optional<std::vector<platform::PresentDevice>>& KeptDevices() {
  static std::optional<std::vector<platform::PresentDevice>> devices;
  return devices;
}

}  // namespace

bool FindHardwareId(std::optional<std::wstring_view> id, bool prefixMatch) {
  if (!id) return false;
  std::optional<std::vector<platform::PresentDevice>>& kept = KeptDevices();
  if (!kept) kept = CurrentFactSource().PresentDevices();
  const std::vector<platform::PresentDevice>& devices = *kept;
  return std::any_of(devices.begin(), devices.end(), [&](const platform::PresentDevice& device) {
    return std::any_of(
        device.HardwareIds.begin(), device.HardwareIds.end(),
        [&](const std::wstring& entry) { return EntryMatches(entry, *id, prefixMatch); });
  });
}

void ForgetPresentDevices() { KeptDevices().reset(); }

}  // namespace dorvanta
