// The hardware IDs of a device list, kept in order for searches by the whole ID
// or by its beginning, letters a..z taken as A..Z and nothing else folded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Devices.h"

namespace dorvanta {

class HardwareIdIndex {
 public:
  explicit HardwareIdIndex(const std::vector<platform::PresentDevice>& devices);
  // The sorted IDs point into the folded text: the index stays where it was made.
  HardwareIdIndex(const HardwareIdIndex&) = delete;
  HardwareIdIndex& operator=(const HardwareIdIndex&) = delete;
  ~HardwareIdIndex() = default;

  // True when a device has an ID equal to `id` (prefixMatch off) or beginning
  // with it (prefixMatch on).
  [[nodiscard]] bool Contains(std::wstring_view id, bool prefixMatch) const;

 private:
  std::wstring folded_;                    // every ID, a..z as A..Z, one after another
  std::vector<std::wstring_view> sorted_;  // the IDs in folded_, in order
};

}  // namespace dorvanta
