// Operating system version, release and processor queries.
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

// The family of systems the program is built for.
enum class System { Windows, Linux };

System ThisSystem();

// The system's own words for its release; each empty when the system does not say.
struct OsRelease {
  std::wstring Name;   // Windows: ProductName; Linux: os-release PRETTY_NAME
  std::wstring Build;  // Windows: CurrentBuildNumber; Linux: os-release VERSION_ID
};

OsRelease QueryOsRelease();

// The extended version query; empty when it fails.
std::optional<OsVersion> QueryOsVersion();

// The system information query; it has no failure.
ProcessorInfo QueryProcessorInfo();

// The packed version word: low byte major version, second byte minor version.
std::uint32_t QueryVersionWord();

}  // namespace dorvanta::platform
