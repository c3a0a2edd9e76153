// The classes of a run and of each of its actions, named alike wherever they are
// written (the record's action and run-end lines) and read back (summarize).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace dorvanta::tool {

// In the order of precedence: a run is in the highest class of its steps.
enum class RunClass { Success, RebootRequired, RebootInitiated, RetryLater, Failure };

inline constexpr std::array<std::string_view, 5> kRunClassNames{
    "success", "reboot-required", "reboot-initiated", "retry-later", "failure"};

constexpr std::string_view RunClassName(RunClass runClass) {
  return kRunClassNames[static_cast<std::size_t>(runClass)];
}

// The class of that name; nothing for any other text.
constexpr std::optional<RunClass> RunClassNamed(std::string_view name) {
  for (std::size_t i = 0; i < kRunClassNames.size(); ++i) {
    if (kRunClassNames[i] == name) return static_cast<RunClass>(i);
  }
  return std::nullopt;
}

}  // namespace dorvanta::tool
