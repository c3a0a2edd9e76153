#include "platform/linux/parse/OsSources.h"

#include <limits>

#include "platform/OsInfo.h"
#include "platform/linux/parse/Blanks.h"

namespace dorvanta::platform::linux_impl {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the digits at `text[i]`, saturating at the 32-bit maximum.
std::uint32_t ReadNumber(std::string_view text, std::size_t& i) {
  std::uint64_t value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (value > std::numeric_limits<std::uint32_t>::max()) {
      value = std::numeric_limits<std::uint32_t>::max();
    }
  }
  return static_cast<std::uint32_t>(value);
}

// Shell-style value of an os-release assignment: quotes removed, and within
// them the backslash escapes of ", \, $ and ` resolved.
std::string UnquoteValue(std::string_view raw) {
  std::string out;
  char quote = 0;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (quote == 0 && (c == '"' || c == '\'')) {
      quote = c;
    } else if (quote != 0 && c == quote) {
      quote = 0;
    } else if (c == '\\' && quote != '\'' && i + 1 < raw.size()) {
      out.push_back(raw[++i]);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace

KernelVersion ParseKernelRelease(std::string_view release) {
  KernelVersion version;
  std::size_t i = 0;
  version.Major = ReadNumber(release, i);
  if (i < release.size() && release[i] == '.') {
    ++i;
    version.Minor = ReadNumber(release, i);
  }
  return version;
}

std::string ParseOsReleaseValue(std::string_view osRelease, std::string_view name) {
  while (!osRelease.empty()) {
    const std::size_t end = osRelease.find('\n');
    std::string_view line = TrimBlanks(osRelease.substr(0, end));
    osRelease = end == std::string_view::npos ? std::string_view() : osRelease.substr(end + 1);
    if (line.starts_with(name) && line.substr(name.size()).starts_with('=')) {
      return UnquoteValue(line.substr(name.size() + 1));
    }
  }
  return std::string();
}

CpuIdentity ParseCpuInfo(std::string_view cpuInfo) {
  CpuIdentity identity;
  bool family = false;
  bool model = false;
  bool stepping = false;
  while (!cpuInfo.empty()) {
    const std::size_t end = cpuInfo.find('\n');
    const std::string_view line = cpuInfo.substr(0, end);
    cpuInfo = end == std::string_view::npos ? std::string_view() : cpuInfo.substr(end + 1);
    if (TrimBlanks(line).empty() && (family || model || stepping)) break;  // first processor only
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = TrimBlanks(line.substr(0, colon));
    const std::string_view value = TrimBlanks(line.substr(colon + 1));
    std::size_t i = 0;
    if (name == "cpu family" && !family) {
      identity.Family = static_cast<std::uint16_t>(ReadNumber(value, i));
      family = true;
    } else if (name == "model" && !model) {
      identity.Model = static_cast<std::uint8_t>(ReadNumber(value, i));
      model = true;
    } else if (name == "stepping" && !stepping) {
      identity.Stepping = static_cast<std::uint8_t>(ReadNumber(value, i));
      stepping = true;
    }
  }
  return identity;
}

std::uint16_t ArchitectureOfMachine(std::string_view machine) {
  if (machine == "x86_64") return kArchitectureAmd64;
  if (machine == "aarch64" || machine == "arm64") return kArchitectureArm64;
  if (machine.size() == 4 && machine[0] == 'i' && machine[1] >= '3' && machine[1] <= '6' &&
      machine.substr(2) == "86") {
    return kArchitectureIntel;
  }
  return kArchitectureUnknown;
}

std::uint32_t ProcessorTypeOfMachine(std::string_view machine) {
  switch (ArchitectureOfMachine(machine)) {
    case kArchitectureAmd64:
      return 8664;
    case kArchitectureIntel:
      return 586;
    default:
      return 0;
  }
}

}  // namespace dorvanta::platform::linux_impl
