// The search of the present devices for a hardware ID.
#pragma once

#include <optional>
#include <string_view>

#include "facts/FactSource.h"
#include "facts/HardwareIdIndex.h"

namespace dorvanta {

// The hardware IDs of a fact source's present devices, read and indexed at the
// first search and kept for later ones (a read that failed or stopped early
// included) until Forget; or those the source lends, which never change.
class KeptDevices {
 public:
  explicit KeptDevices(FactSource& source) : source_(source) {}

  // True when a present device has a hardware ID equal to `id` (prefixMatch
  // off) or beginning with it (prefixMatch on), letters A..Z compared without
  // case. An absent ID, and a device list that cannot be read, give false.
  // Reports nothing.
  bool FindHardwareId(std::optional<std::wstring_view> id, bool prefixMatch);

  // Makes the next search read the present devices afresh. Called before every
  // action line: an action may install a driver or plug a device in.
  void Forget() { kept_.reset(); }

 private:
  // The source's index when it lends one, else that of the devices read and kept.
  const HardwareIdIndex& Index();

  FactSource& source_;
  std::optional<HardwareIdIndex> kept_;
};

}  // namespace dorvanta
