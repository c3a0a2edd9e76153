#include "tool/Spelling.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "common/Text.h"
#include "report/Format.h"

namespace dorvanta::tool {
namespace {

std::size_t EditDistance(std::wstring_view a, std::wstring_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::wstring Suggestion(std::wstring_view word, std::span<const std::wstring_view> names,
                        std::wstring_view open, std::wstring_view close) {
  const std::wstring upper = UpperAscii(word);
  std::wstring_view best;
  std::size_t bestDistance = std::max<std::size_t>(2, upper.size() / 3) + 1;
  for (const std::wstring_view name : names) {
    const std::size_t distance = EditDistance(upper, UpperAscii(name));
    if (distance < bestDistance) {
      best = name;
      bestDistance = distance;
    }
  }
  return best.empty() ? std::wstring() : Format(L"; did you mean %s%s%s?", open, best, close);
}

std::optional<std::wstring_view> SameLetters(std::wstring_view word,
                                             std::span<const std::wstring_view> names) {
  const auto found = std::find_if(names.begin(), names.end(), [&](std::wstring_view name) {
    return EqualsIgnoringAsciiCase(name, word);
  });
  return found == names.end() ? std::nullopt : std::optional<std::wstring_view>(*found);
}

}  // namespace dorvanta::tool
