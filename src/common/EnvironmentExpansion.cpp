#include "common/EnvironmentExpansion.h"

namespace dorvanta {

std::optional<std::wstring> ExpandPercentReferences(std::wstring_view text,
                                                    const VariableLookup& lookup) {
  std::wstring result;
  // Appends `part` when the result stays within the limit.
  const auto append = [&result](std::wstring_view part) {
    if (part.size() >= kExpansionLimit - result.size()) return false;
    result.append(part);
    return true;
  };
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t open = text.find(L'%', from);
    const std::size_t close = open == std::wstring_view::npos ? open : text.find(L'%', open + 1);
    if (close == std::wstring_view::npos) break;
    if (!append(text.substr(from, open - from))) return std::nullopt;
    const std::wstring_view name = text.substr(open + 1, close - open - 1);
    const std::optional<std::wstring> value = name.empty() ? std::nullopt : lookup(name);
    if (!append(value ? std::wstring_view(*value) : text.substr(open, close - open + 1))) {
      return std::nullopt;
    }
    from = close + 1;
  }
  if (!append(text.substr(from))) return std::nullopt;
  return result;
}

}  // namespace dorvanta
