#include "platform/linux/parse/EnvironmentExpansion.h"

namespace dorvanta::platform::linux_impl {

std::wstring ExpandPercentReferences(std::wstring_view text, const VariableLookup& lookup) {
  std::wstring result;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t open = text.find(L'%', from);
    const std::size_t close = open == std::wstring_view::npos ? open : text.find(L'%', open + 1);
    if (close == std::wstring_view::npos) break;
    result.append(text.substr(from, open - from));
    const std::wstring_view name = text.substr(open + 1, close - open - 1);
    const std::optional<std::wstring> value = name.empty() ? std::nullopt : lookup(name);
    if (value) {
      result.append(*value);
    } else {
      result.append(text.substr(open, close - open + 1));
    }
    from = close + 1;
  }
  result.append(text.substr(from));
  return result;
}

}  // namespace dorvanta::platform::linux_impl
