// dvtool's commands, their help and their exit codes.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "tool/Arguments.h"

namespace dorvanta::tool {

inline constexpr int kExitOk = 0;
// check: the rule file has errors. test: a case failed. run: what the
// exit-code class says.
inline constexpr int kExitFindings = 1;
// A usage error, or an input that could not be read.
inline constexpr int kExitUsage = 2;

struct Command {
  std::wstring_view Name;
  std::wstring_view Summary;  // one line for the command list
  std::wstring_view Help;     // the text of "dvtool <command> --help"
  OptionSpec Options;
  int (*Run)(const Arguments& arguments);
  // The command reads its words itself: it gets them all as Words, and only
  // --help and -h ask for its help.
  bool OwnWords = false;
};

// Every command, in the order of the help text.
std::span<const Command> Commands();

// Writes "dvtool <command>: <message>" and the hint to the command's help to
// standard error and gives the usage exit code.
int UsageError(std::wstring_view command, std::wstring_view message);

}  // namespace dorvanta::tool
