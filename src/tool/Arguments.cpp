#include "tool/Arguments.h"

#include "report/Format.h"

namespace dorvanta::tool {

std::optional<std::wstring> Arguments::Value(const std::wstring& option) const {
  const auto found = Values.find(option);
  if (found == Values.end()) return std::nullopt;
  return found->second;
}

std::vector<std::wstring> Arguments::All(const std::wstring& option) const {
  const auto found = Lists.find(option);
  if (found == Lists.end()) return {};
  return found->second;
}

ParsedArguments ParseArguments(std::span<const std::wstring> arguments, const OptionSpec& spec) {
  Arguments parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    if (optionsEnded || argument.size() < 2 || argument[0] != L'-') {
      parsed.Words.push_back(argument);
      continue;
    }
    if (argument == L"--") {
      optionsEnded = true;
      continue;
    }
    const std::size_t equals = argument.find(L'=');
    const std::wstring name = argument.substr(0, equals);
    if (spec.Flags.contains(name) && equals == std::wstring::npos) {
      if (!parsed.Flags.insert(name).second) {
        return {std::nullopt, Format(L"option %s is given twice", name)};
      }
    } else if (spec.Valued.contains(name) || spec.Repeated.contains(name)) {
      std::wstring value;
      if (equals != std::wstring::npos) {
        value = argument.substr(equals + 1);
      } else if (i + 1 < arguments.size()) {
        value = arguments[++i];
      } else {
        return {std::nullopt, Format(L"option %s needs a value", name)};
      }
      if (spec.Repeated.contains(name)) {
        parsed.Lists[name].push_back(std::move(value));
      } else if (!parsed.Values.emplace(name, value).second) {
        return {std::nullopt, Format(L"option %s is given twice", name)};
      }
    } else {
      return {std::nullopt, Format(L"unknown option %s", argument)};
    }
  }
  return {std::move(parsed), std::wstring()};
}

}  // namespace dorvanta::tool
