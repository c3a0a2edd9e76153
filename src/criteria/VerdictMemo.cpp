#include "criteria/VerdictMemo.h"

#include <algorithm>
#include <cstdint>

namespace dorvanta {

std::size_t VerdictMemo::Hash::operator()(std::wstring_view lines) const {
  // FNV-1a over the units of the head, the tail and the length.
  constexpr std::size_t kPart = 16;
  std::uint64_t hash = 14695981039346656037ULL;
  const auto mix = [&hash](std::uint64_t unit) { hash = (hash ^ unit) * 1099511628211ULL; };
  const std::size_t head = std::min(lines.size(), kPart);
  const std::size_t tail = std::max(head, lines.size() - std::min(lines.size(), kPart));
  for (std::size_t i = 0; i < head; ++i) mix(static_cast<std::uint32_t>(lines[i]));
  for (std::size_t i = tail; i < lines.size(); ++i) mix(static_cast<std::uint32_t>(lines[i]));
  mix(lines.size());
  return static_cast<std::size_t>(hash);
}

std::optional<Verdict>& VerdictMemo::Slot(std::wstring_view lines, bool afterActions) {
  Kept& kept = afterActions ? after_ : before_;
  const auto found = kept.find(lines);
  if (found != kept.end()) return found->second;
  return kept.emplace(std::wstring(lines), std::nullopt).first->second;
}

}  // namespace dorvanta
