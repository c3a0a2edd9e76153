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
  for (const platform::PresentDevice& device : devices) {
    for (const std::wstring& id : device.HardwareIds) {
      sorted_.push_back(Entry{folded_.size(), id.size()});
      std::transform(id.begin(), id.end(), std::back_inserter(folded_), Fold);
    }
  }
  std::sort(sorted_.begin(), sorted_.end(),
            [this](Entry a, Entry b) { return CompareFolded(At(a), At(b), false) < 0; });
}

bool HardwareIdIndex::Contains(std::wstring_view id, bool prefixMatch) const {
  const auto first = std::lower_bound(sorted_.begin(), sorted_.end(), id,
                                      [&](Entry entry, std::wstring_view wanted) {
                                        return CompareFolded(At(entry), wanted, prefixMatch) < 0;
                                      });
  return first != sorted_.end() && CompareFolded(At(*first), id, prefixMatch) == 0;
}

}  // namespace dorvanta
