// The rule for every file dvtool writes: never one of the command's inputs, and
// never an existing file that holds something other than what the command
// writes, so that a slip of the command line cannot cost a user's file.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "platform/OutputFile.h"

namespace dorvanta::tool {

// A file the command reads.
struct CommandInput {
  std::wstring Path;
  std::wstring_view Role;  // "the rule file"
};

// What the command writes, and how to tell an existing file that holds one
// written by dvtool, which may be replaced: from its first bytes (at most
// kOutputStartLimit of them).
struct OutputKind {
  std::wstring_view Name;  // "a record"
  bool (*WrittenByDvtool)(std::string_view start);
};

inline constexpr std::size_t kOutputStartLimit = std::size_t{1} << 20;

struct GuardedOutput {
  platform::OutputFile File;  // open and empty, ready to be written
  // When there is no File: why the path is refused (nothing was written), or
  // else the system's reason why it could not be opened.
  std::wstring Refusal;
  std::wstring Failure;
};

// Opens `path` for a document of `kind`. Refused when it is one of `inputs`
// (the same file however it is named), when another run holds it open, and
// when it is a file that holds something other than an empty file or a
// document of `kind` written by dvtool; what it holds is then left as it was.
GuardedOutput OpenGuardedOutput(const std::wstring& path, std::span<const CommandInput> inputs,
                                const OutputKind& kind);

}  // namespace dorvanta::tool
