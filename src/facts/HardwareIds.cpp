#include "facts/HardwareIds.h"

#include <algorithm>
#include <string>

#include "common/Text.h"

namespace dorvanta {
namespace {

bool EntryMatches(std::wstring_view entry, std::wstring_view id, bool prefixMatch) {
  if (prefixMatch)
    return entry.size() >= id.size() && EqualsIgnoringAsciiCase(entry.substr(0, id.size()), id);
  return EqualsIgnoringAsciiCase(entry, id);
}

}  // namespace

bool KeptDevices::FindHardwareId(std::optional<std::wstring_view> id, bool prefixMatch) {
  if (!id) return false;
  const std::vector<platform::PresentDevice>& devices = Devices();
  return std::any_of(devices.begin(), devices.end(), [&](const platform::PresentDevice& device) {
    return std::any_of(
        device.HardwareIds.begin(), device.HardwareIds.end(),
        [&](const std::wstring& entry) { return EntryMatches(entry, *id, prefixMatch); });
  });
}

const std::vector<platform::PresentDevice>& KeptDevices::Devices() {
  if (const std::vector<platform::PresentDevice>* lent = source_.LentDevices()) return *lent;
  if (!kept_) kept_ = source_.PresentDevices();
  return *kept_;
}

}  // namespace dorvanta
