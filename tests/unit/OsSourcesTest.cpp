#include "platform/linux/parse/OsSources.h"

#include <gtest/gtest.h>

#include "platform/OsInfo.h"

namespace dorvanta::platform::linux_impl {
namespace {

TEST(OsSources, KernelRelease) {
  EXPECT_EQ(ParseKernelRelease("6.1.0-18-amd64").Major, 6u);
  EXPECT_EQ(ParseKernelRelease("6.1.0-18-amd64").Minor, 1u);
  EXPECT_EQ(ParseKernelRelease("6.18.44-fc").Minor, 18u);
  EXPECT_EQ(ParseKernelRelease("5").Minor, 0u);
  EXPECT_EQ(ParseKernelRelease("").Major, 0u);
}

TEST(OsSources, OsReleaseValueIsUnquoted) {
  const auto pretty = [](std::string_view text) {
    return ParseOsReleaseValue(text, "PRETTY_NAME");
  };
  EXPECT_EQ(pretty("NAME=x\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
            "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(pretty("PRETTY_NAME='A \"b\"'"), "A \"b\"");
  EXPECT_EQ(pretty("PRETTY_NAME=\"say \\\"hi\\\" \\$x\""), "say \"hi\" $x");
  EXPECT_EQ(pretty("PRETTY_NAME=Plain"), "Plain");
  EXPECT_EQ(pretty("NAME=x\n# PRETTY_NAME=no\n"), "");
}

TEST(OsSources, OsReleaseValueOfItsOwnName) {
  const std::string_view release =
      "VERSION_ID_LIKE=9\nVERSION=\"12 (bookworm)\"\nVERSION_ID=\"12\"\n";
  EXPECT_EQ(ParseOsReleaseValue(release, "VERSION_ID"), "12");
  EXPECT_EQ(ParseOsReleaseValue(release, "VERSION"), "12 (bookworm)");
  EXPECT_EQ(ParseOsReleaseValue(release, "BUILD_ID"), "");
}

TEST(OsSources, CpuInfoOfTheFirstProcessor) {
  const CpuIdentity cpu = ParseCpuInfo(
      "processor\t: 0\ncpu family\t: 6\nmodel\t\t: 167\nmodel name\t: Xeon 99\nstepping\t: 1\n\n"
      "processor\t: 1\ncpu family\t: 25\nmodel\t\t: 1\nstepping\t: 2\n");
  EXPECT_EQ(cpu.Family, 6);
  EXPECT_EQ(cpu.Model, 167);
  EXPECT_EQ(cpu.Stepping, 1);
  const CpuIdentity none = ParseCpuInfo("processor : 0\nBogoMIPS : 50.00\nCPU part : 0xd0c\n");
  EXPECT_EQ(none.Family, 0);
  EXPECT_EQ(none.Model, 0);
}

TEST(OsSources, MachineNames) {
  EXPECT_EQ(ArchitectureOfMachine("x86_64"), kArchitectureAmd64);
  EXPECT_EQ(ArchitectureOfMachine("aarch64"), kArchitectureArm64);
  EXPECT_EQ(ArchitectureOfMachine("i686"), kArchitectureIntel);
  EXPECT_EQ(ArchitectureOfMachine("i386"), kArchitectureIntel);
  EXPECT_EQ(ArchitectureOfMachine("i786"), kArchitectureUnknown);
  EXPECT_EQ(ArchitectureOfMachine("riscv64"), kArchitectureUnknown);
  EXPECT_EQ(ProcessorTypeOfMachine("x86_64"), 8664u);
  EXPECT_EQ(ProcessorTypeOfMachine("i586"), 586u);
  EXPECT_EQ(ProcessorTypeOfMachine("aarch64"), 0u);
}

}  // namespace
}  // namespace dorvanta::platform::linux_impl
