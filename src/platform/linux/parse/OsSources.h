// Reading the Linux sources of the OS and processor facts. Pure text work, no
// system calls, so that every rule can be tested on given texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dorvanta::platform::linux_impl {

struct KernelVersion {
  std::uint32_t Major = 0;
  std::uint32_t Minor = 0;
};

// "6.1.0-18-amd64" gives 6 and 1; missing numbers give 0.
KernelVersion ParseKernelRelease(std::string_view release);

// The value of a variable (PRETTY_NAME, VERSION_ID, ...) in an os-release
// file, unquoted; empty when absent.
std::string ParseOsReleaseValue(std::string_view osRelease, std::string_view name);

struct CpuIdentity {
  std::uint16_t Family = 0;
  std::uint8_t Model = 0;
  std::uint8_t Stepping = 0;
};

// "cpu family", "model" and "stepping" of the first processor in /proc/cpuinfo.
CpuIdentity ParseCpuInfo(std::string_view cpuInfo);

// The Windows processor architecture number for a uname machine name.
std::uint16_t ArchitectureOfMachine(std::string_view machine);

// The processor type number Windows reports for that architecture.
std::uint32_t ProcessorTypeOfMachine(std::string_view machine);

}  // namespace dorvanta::platform::linux_impl
