#include "platform/linux/parse/LocaleSources.h"

#include "platform/linux/parse/Blanks.h"

namespace dorvanta::platform::linux_impl {

std::string MessagesLocaleName(const char* lcAll, const char* lcMessages, const char* lang) {
  for (const char* name : {lcAll, lcMessages, lang}) {
    if (name != nullptr && *name != '\0') return name;
  }
  return "C";
}

std::string ParseLocaleConfLang(std::string_view content) {
  std::string value;
  while (!content.empty()) {
    const std::size_t newline = content.find('\n');
    std::string_view line = TrimBlanks(content.substr(0, newline));
    content = newline == std::string_view::npos ? std::string_view() : content.substr(newline + 1);
    if (line.starts_with("export ")) line = TrimBlanks(line.substr(7));
    if (!line.starts_with("LANG=")) continue;
    line = TrimBlanks(line.substr(5));
    if (line.size() >= 2 && (line.front() == '"' || line.front() == '\'') &&
        line.back() == line.front()) {
      line = line.substr(1, line.size() - 2);
    }
    value = std::string(line);  // a later assignment wins, as in the shell
  }
  return value;
}

bool IsPosixLocaleName(std::string_view name) {
  const std::string_view language = name.substr(0, name.find_first_of(".@"));
  return language == "C" || language == "POSIX";
}

}  // namespace dorvanta::platform::linux_impl
