#include "platform/linux/parse/ShellWords.h"

namespace dorvanta::platform::linux_impl {

std::optional<std::vector<std::wstring>> SplitShellWords(std::wstring_view text) {
  std::vector<std::wstring> words;
  std::wstring word;
  bool inWord = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L' ' || c == L'\t' || c == L'\n') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else if (c == L'\'' || c == L'"') {
      const std::size_t close = text.find(c, i + 1);
      if (close == std::wstring_view::npos) return std::nullopt;
      word.append(text.substr(i + 1, close - i - 1));
      inWord = true;
      i = close;
    } else {
      word.push_back(c);
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace dorvanta::platform::linux_impl
