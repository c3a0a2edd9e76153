// Operating system version and processor queries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dorvanta::platform {

struct OsVersion {
  std::uint32_t Major = 0;
  std::uint32_t Minor = 0;
  std::wstring CsdVersion;  // service-pack text, empty when none
};

// Processor architecture numbers as Windows reports them.
inline constexpr std::uint16_t kArchitectureIntel = 0;
inline constexpr std::uint16_t kArchitectureIa64 = 6;
inline constexpr std::uint16_t kArchitectureAmd64 = 9;
inline constexpr std::uint16_t kArchitectureArm64 = 12;
inline constexpr std::uint16_t kArchitectureUnknown = 0xFFFF;

struct ProcessorInfo {
  std::uint16_t Architecture = kArchitectureUnknown;
  std::uint32_t NumberOfProcessors = 0;
  std::uint32_t ProcessorType = 0;
  std::uint16_t ProcessorLevel = 0;
  std::uint16_t ProcessorRevision = 0;
};

// The extended version query; empty when it fails.
std::optional<OsVersion> QueryOsVersion();

// The system information query; it has no failure.
ProcessorInfo QueryProcessorInfo();

// The packed version word: low byte major version, second byte minor version.
std::uint32_t QueryVersionWord();

}  // namespace dorvanta::platform
