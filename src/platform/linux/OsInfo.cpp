#include "platform/OsInfo.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <utility>

#include "common/Encoding.h"
#include "platform/linux/FileIo.h"
#include "platform/linux/parse/OsSources.h"

namespace dorvanta::platform {
namespace {

std::optional<utsname> Uname() {
  utsname name{};
  if (::uname(&name) != 0) return std::nullopt;
  return name;
}

// The os-release file's text; empty when the system has none.
std::string OsReleaseFile() {
  for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
    if (auto content = linux_impl::ReadConfigFile(path)) return std::move(*content);
  }
  return std::string();
}

}  // namespace

System ThisSystem() { return System::Linux; }

OsRelease QueryOsRelease() {
  const std::string release = OsReleaseFile();
  return OsRelease{DecodeUtf8(linux_impl::ParseOsReleaseValue(release, "PRETTY_NAME")),
                   DecodeUtf8(linux_impl::ParseOsReleaseValue(release, "VERSION_ID"))};
}

std::optional<OsVersion> QueryOsVersion() {
  const std::optional<utsname> name = Uname();
  if (!name) return std::nullopt;
  const linux_impl::KernelVersion kernel = linux_impl::ParseKernelRelease(name->release);
  return OsVersion{kernel.Major, kernel.Minor,
                   DecodeUtf8(linux_impl::ParseOsReleaseValue(OsReleaseFile(), "PRETTY_NAME"))};
}

ProcessorInfo QueryProcessorInfo() {
  ProcessorInfo info;
  if (const std::optional<utsname> name = Uname()) {
    info.Architecture = linux_impl::ArchitectureOfMachine(name->machine);
    info.ProcessorType = linux_impl::ProcessorTypeOfMachine(name->machine);
  }
  const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
  info.NumberOfProcessors = online > 0 ? static_cast<std::uint32_t>(online) : 0;
  if (const auto cpuInfo = linux_impl::ReadConfigFile("/proc/cpuinfo")) {
    const linux_impl::CpuIdentity cpu = linux_impl::ParseCpuInfo(*cpuInfo);
    info.ProcessorLevel = cpu.Family;
    info.ProcessorRevision = static_cast<std::uint16_t>((cpu.Model << 8) | cpu.Stepping);
  }
  return info;
}

std::uint32_t QueryVersionWord() {
  const std::optional<utsname> name = Uname();
  if (!name) return 0;
  const linux_impl::KernelVersion kernel = linux_impl::ParseKernelRelease(name->release);
  return (kernel.Major & 0xFF) | ((kernel.Minor & 0xFF) << 8);
}

}  // namespace dorvanta::platform
