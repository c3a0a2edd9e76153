#include "facts/HardwareIdIndex.h"

#include <algorithm>

#include "common/Text.h"

namespace dorvanta {
HardwareIdIndex::HardwareIdIndex(const std::vector<platform::PresentDevice>& devices) {
  std::size_t ids = 0;
  std::size_t characters = 0;
  for (const platform::PresentDevice& device : devices) {
    ids += device.HardwareIds.size();
    for (const std::wstring& id : device.HardwareIds) characters += id.size();
  }
  sorted_.reserve(ids);
  folded_.resize(characters);
  std::size_t offset = 0;
  for (const platform::PresentDevice& device : devices) {
    for (const std::wstring& id : device.HardwareIds) {
      std::transform(id.begin(), id.end(), folded_.begin() + static_cast<std::ptrdiff_t>(offset),
                     [](wchar_t c) { return UpperAscii(c); });
      sorted_.push_back(std::wstring_view(folded_).substr(offset, id.size()));
      offset += id.size();
    }
  }
  std::sort(sorted_.begin(), sorted_.end());
}

bool HardwareIdIndex::Contains(std::wstring_view id, bool prefixMatch) const {
  const std::wstring wanted = UpperAscii(id);
  // The IDs that begin with `wanted` follow each other, from the first that
  // does not sort before it.
  const auto first = std::lower_bound(sorted_.begin(), sorted_.end(), std::wstring_view(wanted));
  if (first == sorted_.end()) return false;
  return prefixMatch ? first->starts_with(wanted) : *first == wanted;
}

}  // namespace dorvanta
