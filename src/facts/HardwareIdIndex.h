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

  // True when a device has an ID equal to `id` (prefixMatch off) or beginning
  // with it (prefixMatch on).
  [[nodiscard]] bool Contains(std::wstring_view id, bool prefixMatch) const;

 private:
  struct Entry {
    std::size_t Offset;
    std::size_t Length;
  };
  [[nodiscard]] std::wstring_view At(Entry entry) const {
    return std::wstring_view(folded_).substr(entry.Offset, entry.Length);
  }

  std::wstring folded_;        // every ID, a..z as A..Z, one after another
  std::vector<Entry> sorted_;  // the IDs of folded_, in order
};

}  // namespace dorvanta
