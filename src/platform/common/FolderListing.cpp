#include <algorithm>
#include <type_traits>

#include "common/Encoding.h"
#include "platform/FileSystem.h"

namespace dorvanta::platform {
namespace {

// A name as the program's wide text: bytes are UTF-8, code units are kept.
template <typename Units>
std::wstring Wide(Units name) {
  if constexpr (std::is_same_v<Units, std::string_view>) {
    return DecodeUtf8(name);
  } else {
    return std::wstring(name);
  }
}

}  // namespace

std::wstring FolderListing::Name(std::size_t index) const { return Wide(At(names_.at(index))); }

std::wstring FolderListing::Path(std::size_t index) const { return prefix_ + Name(index); }

std::vector<std::wstring> FolderListing::Paths() const {
  std::vector<std::wstring> paths;
  paths.reserve(size());
  for (std::size_t index = 0; index < size(); ++index) paths.push_back(Path(index));
  return paths;
}

void FolderListing::Add(NativeName name) {
  names_.push_back(
      Span{static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(name.size())});
  text_ += name;
}

void FolderListing::Sort() {
  std::sort(names_.begin(), names_.end(), [this](Span a, Span b) { return At(a) < At(b); });
}

}  // namespace dorvanta::platform
