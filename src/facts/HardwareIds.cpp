#include "facts/HardwareIds.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "common/Text.h"
#include "facts/FactSource.h"
#include "platform/Devices.h"

namespace dorvanta {
namespace {

bool EntryMatches(std::wstring_view entry, std::wstring_view id, bool prefixMatch) {
  if (prefixMatch)
    return entry.size() >= id.size() && EqualsIgnoringAsciiCase(entry.substr(0, id.size()), id);
  return EqualsIgnoringAsciiCase(entry, id);
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
