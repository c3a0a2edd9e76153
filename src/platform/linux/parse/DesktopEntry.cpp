#include "platform/linux/parse/DesktopEntry.h"

#include <algorithm>

namespace dorvanta::platform::linux_impl {
namespace {

constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

}  // namespace

std::string QuoteExecArgument(std::string_view argument) {
  const bool quote = argument.empty() || argument.find_first_of(kReserved) != std::string::npos;
  std::string out;
  if (quote) out.push_back('"');
  for (const char c : argument) {
    if (c == '%') {
      out.append("%%");
      continue;
    }
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out.push_back('\\');
    out.push_back(c);
  }
  if (quote) out.push_back('"');
  return out;
}

std::string EscapeStringValue(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    switch (c) {
      case '\\':
        out.append("\\\\");
        break;
      case '\n':
        out.append("\\n");
        break;
      case '\t':
        out.append("\\t");
        break;
      case '\r':
        out.append("\\r");
        break;
      case ' ':
        out.append(i == 0 ? "\\s" : " ");
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

bool CanBeWritten(std::string_view value) {
  return std::none_of(value.begin(), value.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7f;
  });
}

std::string DesktopEntryText(const DesktopEntry& entry) {
  std::string exec = QuoteExecArgument(entry.Program);
  for (const std::string& argument : entry.Arguments) {
    exec.push_back(' ');
    exec.append(QuoteExecArgument(argument));
  }
  std::string text = "[Desktop Entry]\nType=Application\n";
  text.append("Name=").append(EscapeStringValue(entry.Name)).push_back('\n');
  text.append("Comment=").append(EscapeStringValue(entry.Comment)).push_back('\n');
  // The Exec value is a string too: its backslashes are escaped once more.
  text.append("Exec=").append(EscapeStringValue(exec)).push_back('\n');
  if (!entry.Icon.empty())
    text.append("Icon=").append(EscapeStringValue(entry.Icon)).push_back('\n');
  return text;
}

}  // namespace dorvanta::platform::linux_impl
