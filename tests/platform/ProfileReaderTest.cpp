#include "platform/ProfileReader.h"

#include <sys/stat.h>

#include <gtest/gtest.h>
#include <array>
#include <filesystem>
#include <string>

#include "TempFolder.h"

namespace dorvanta::platform {
namespace {

using tests::TempFolder;

// The section's lines as the reader places them, NULs and all.
std::wstring Section(const std::filesystem::path& file, const std::wstring& section) {
  std::array<wchar_t, 64> buffer{};
  const std::uint32_t count = ReadProfileSection(file.wstring(), section, buffer);
  return {buffer.data(), count};
}

TEST(ProfileReader, ASectionIsRead) {
  const TempFolder folder;
  const std::filesystem::path file = folder.Write("a.ini", "[A]\nk=v\nw\n");
  EXPECT_EQ(Section(file, L"A"), std::wstring(L"k=v\0w\0", 6));
  EXPECT_EQ(Section(file, L"B"), L"");
}

TEST(ProfileReader, AChangedFileIsReadAgain) {
  const TempFolder folder;
  const std::filesystem::path file = folder.Write("a.ini", "[A]\nold\n");
  EXPECT_EQ(Section(file, L"A"), std::wstring(L"old\0", 4));
  folder.Write("a.ini", "[A]\nnewer\n");
  EXPECT_EQ(Section(file, L"A"), std::wstring(L"newer\0", 6));
  // Replaced by another file of the same size.
  folder.Write("b.ini", "[A]\nother\n");
  std::filesystem::rename(folder.Path() / "b.ini", file);
  EXPECT_EQ(Section(file, L"A"), std::wstring(L"other\0", 6));
}

TEST(ProfileReader, AFifoReadsAsAFileWithoutSections) {
  const TempFolder folder;
  const std::filesystem::path fifo = folder.Path() / "a.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Without a writer the open must not wait, nor the read.
  EXPECT_EQ(Section(fifo, L"A"), L"");
}

TEST(ProfileReader, AFileBeyond64MiBReadsAsAFileWithoutSections) {
  const TempFolder folder;
  const std::filesystem::path file = folder.Write("a.ini", "[A]\nk=v\n");
  std::filesystem::resize_file(file, std::uintmax_t{64} * 1024 * 1024 + 1);
  EXPECT_EQ(Section(file, L"A"), L"");
}

}  // namespace
}  // namespace dorvanta::platform
