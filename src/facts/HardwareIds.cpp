#include "facts/HardwareIds.h"

namespace dorvanta {

bool KeptDevices::FindHardwareId(std::optional<std::wstring_view> id, bool prefixMatch) {
  return id && Index().Contains(*id, prefixMatch);
}

const HardwareIdIndex& KeptDevices::Index() {
  if (const HardwareIdIndex* lent = source_.LentHardwareIds()) return *lent;
  if (!kept_) kept_.emplace(source_.PresentDevices());
  return *kept_;
}

}  // namespace dorvanta
