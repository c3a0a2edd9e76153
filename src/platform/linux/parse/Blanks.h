// Blank trimming for the narrow text of the Linux sources (os-release,
// cpuinfo, locale and user-dirs files, sysfs attributes).
#pragma once

#include <string_view>

namespace dorvanta::platform::linux_impl {

// `text` without spaces, tabs, CRs and LFs at either end.
inline std::string_view TrimBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace dorvanta::platform::linux_impl
