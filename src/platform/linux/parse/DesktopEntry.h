// The text of a freedesktop desktop entry (launcher) file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dorvanta::platform::linux_impl {

struct DesktopEntry {
  std::string Name;
  std::string Comment;
  std::string Program;                 // the file the launcher starts
  std::vector<std::string> Arguments;  // one word each
  std::string Icon;                    // no Icon key when empty
};

// One argument of the Exec key, quoted where the Desktop Entry Specification
// requires it ("%" doubled so that it is no field code).
std::string QuoteExecArgument(std::string_view argument);

// A string value with the key-file escapes (\\, \n, \t, \r, and \s for a leading blank).
std::string EscapeStringValue(std::string_view value);

// Whether the value can stand in the file: the escapes carry tab, line feed and
// carriage return, and no other control character (0x00 to 0x1F, 0x7F) may stand
// in a value.
bool CanBeWritten(std::string_view value);

// The whole file: "[Desktop Entry]" with Type, Name, Comment, Exec and Icon.
std::string DesktopEntryText(const DesktopEntry& entry);

}  // namespace dorvanta::platform::linux_impl
