// The command line of a dvtool command: options and the words between them.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace dorvanta::tool {

struct OptionSpec {
  std::set<std::wstring> Flags;   // options without a value, such as --json
  std::set<std::wstring> Valued;  // options with one, such as -o FILE or --facts=FILE
  // Options with a value that may be given more than once, such as --facts in plan.
  std::set<std::wstring> Repeated{};
};

struct Arguments {
  std::set<std::wstring> Flags;
  std::map<std::wstring, std::wstring> Values;
  std::vector<std::wstring> Words;
  std::map<std::wstring, std::vector<std::wstring>> Lists{};  // of Repeated, in the given order

  [[nodiscard]] bool Has(const std::wstring& flag) const { return Flags.contains(flag); }
  [[nodiscard]] std::optional<std::wstring> Value(const std::wstring& option) const;
  // Every value of a Repeated option; none when it is not given.
  [[nodiscard]] std::vector<std::wstring> All(const std::wstring& option) const;
};

struct ParsedArguments {
  std::optional<Arguments> Parsed;
  std::wstring Error;  // why not, when not
};

// "--" ends the options; every later argument is a word. An option given twice
// is an error unless it is Repeated, and so is one the command does not know.
ParsedArguments ParseArguments(std::span<const std::wstring> arguments, const OptionSpec& spec);

}  // namespace dorvanta::tool
