#include "platform/linux/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>
#include <cerrno>
#include <string>

#include "TempFolder.h"

namespace dorvanta::platform::linux_impl {
namespace {

using tests::TempFolder;

// Each byte tells its place, so that a read that skips or repeats a chunk shows.
std::string Numbered(std::size_t count) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>('a' + i % 23);
  return bytes;
}

std::optional<LimitedRead> ReadFile(const std::filesystem::path& file, std::size_t limit) {
  const FileHandle fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  return ReadUpTo(fd.get(), limit);
}

TEST(FileIo, ReadUpToTellsAFileOfExactlyTheLimitFromALongerOne) {
  const TempFolder folder;
  const auto exact = ReadFile(folder.Write("exact", "0123456789"), 10);
  ASSERT_TRUE(exact);
  EXPECT_EQ(exact->Bytes, "0123456789");
  EXPECT_FALSE(exact->Cut);

  const auto longer = ReadFile(folder.Write("longer", "0123456789A"), 10);
  ASSERT_TRUE(longer);
  EXPECT_EQ(longer->Bytes, "0123456789");
  EXPECT_TRUE(longer->Cut);
}

TEST(FileIo, ReadUpToCutsAcrossSeveralChunks) {
  const TempFolder folder;
  const std::string bytes = Numbered(300000);
  const auto whole = ReadFile(folder.Write("whole", bytes), 300000);
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->Bytes, bytes);
  EXPECT_FALSE(whole->Cut);

  const auto cut = ReadFile(folder.Path() / "whole", 200001);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->Bytes, bytes.substr(0, 200001));
  EXPECT_TRUE(cut->Cut);
}

TEST(FileIo, ConfigFilesAreReadUpToTheirCap) {
  const TempFolder folder;
  const std::string bytes = Numbered(kConfigFileLimit + 1);
  EXPECT_EQ(ReadConfigFile(folder.Write("big", bytes)), bytes.substr(0, kConfigFileLimit));
}

TEST(FileIo, AFifoWithoutAWriterReadsAsEmpty) {
  const TempFolder folder;
  const std::string fifo = folder.Path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ReadConfigFile(fifo), "");
}

TEST(FileIo, AFolderOrAMissingFileGivesTheReason) {
  const TempFolder folder;
  int error = 0;
  EXPECT_EQ(ReadConfigFile(folder.Path(), &error), std::nullopt);
  EXPECT_EQ(error, EISDIR);
  EXPECT_EQ(ReadConfigFile(folder.Path() / "missing", &error), std::nullopt);
  EXPECT_EQ(error, ENOENT);
}

TEST(FileIo, WriteAllWritesEverythingOrGivesTheReason) {
  const TempFolder folder;
  const std::filesystem::path file = folder.Path() / "out";
  const std::string bytes = Numbered(300000);
  {
    const FileHandle fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    EXPECT_TRUE(WriteAll(fd.get(), bytes));
  }
  EXPECT_EQ(tests::ReadBytes(file), bytes);

  const FileHandle readOnly(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  int error = 0;
  EXPECT_FALSE(WriteAll(readOnly.get(), "x", &error));
  EXPECT_EQ(error, EBADF);
}

}  // namespace
}  // namespace dorvanta::platform::linux_impl
