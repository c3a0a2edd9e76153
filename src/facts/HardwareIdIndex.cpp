#include "facts/HardwareIdIndex.h"

#include <algorithm>

namespace dorvanta {
namespace {

wchar_t Fold(wchar_t c) {
  return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Below, equal to or above zero as the folded entry sorts before, with or after
// `id` folded; with prefixMatch an entry that begins with `id` is equal to it.
int CompareFolded(std::wstring_view entry, std::wstring_view id, bool prefixMatch) {
  const std::size_t common = std::min(entry.size(), id.size());
  for (std::size_t i = 0; i < common; ++i) {
    const wchar_t wanted = Fold(id[i]);
    if (entry[i] != wanted) return entry[i] < wanted ? -1 : 1;
  }
  if (entry.size() == id.size()) return 0;
  if (entry.size() < id.size()) return -1;
  return prefixMatch ? 0 : 1;
}

}  // namespace

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
      sorted_.push_back(Entry{offset, id.size()});
      std::transform(id.begin(), id.end(), folded_.begin() + static_cast<std::ptrdiff_t>(offset),
                     Fold);
      offset += id.size();
    }
  }
  // Texts already folded sort by their characters' values, as CompareFolded
  // orders them.
  std::sort(sorted_.begin(), sorted_.end(), [this](Entry a, Entry b) { return At(a) < At(b); });
}

bool HardwareIdIndex::Contains(std::wstring_view id, bool prefixMatch) const {
  const auto first = std::lower_bound(sorted_.begin(), sorted_.end(), id,
                                      [&](Entry entry, std::wstring_view wanted) {
                                        return CompareFolded(At(entry), wanted, prefixMatch) < 0;
                                      });
  return first != sorted_.end() && CompareFolded(At(*first), id, prefixMatch) == 0;
}

}  // namespace dorvanta
