#include "platform/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <string>

#include "TempFolder.h"
#include "common/Encoding.h"
#include "platform/linux/FileIo.h"

namespace dorvanta::platform {
namespace {

using tests::ReadBytes;
using tests::TempFolder;

std::wstring Wide(const std::filesystem::path& path) { return DecodeUtf8(path.string()); }

TEST(OutputFile, OpensWithoutEmptyingThenEmptiesAndWritesOnTheDisk) {
  const TempFolder folder;
  const auto path = folder.Write("record.jsonl", "earlier\nlines\n");
  OutputOpen open = OpenOutputFile(Wide(path));
  ASSERT_TRUE(open.File) << open.Failure;
  EXPECT_EQ(ReadBytes(path), "earlier\nlines\n");
  EXPECT_EQ(OutputFileStart(*open.File, 9), "earlier\nl");
  EXPECT_EQ(EmptyOutputFile(*open.File), std::nullopt);
  EXPECT_EQ(WriteOutputFile(*open.File, "one\n"), std::nullopt);
  EXPECT_EQ(SyncOutputFile(*open.File), std::nullopt);
  EXPECT_EQ(WriteOutputFile(*open.File, "two\n"), std::nullopt);
  EXPECT_EQ(ReadBytes(path), "one\ntwo\n");
}

TEST(OutputFile, ASecondWriterIsRefusedUntilTheFirstCloses) {
  const TempFolder folder;
  const std::wstring path = Wide(folder.Path() / "record.jsonl");
  OutputOpen first = OpenOutputFile(path);
  ASSERT_TRUE(first.File) << first.Failure;
  const OutputOpen second = OpenOutputFile(path);
  EXPECT_FALSE(second.File);
  EXPECT_TRUE(second.Busy);
  first.File.reset();
  EXPECT_TRUE(OpenOutputFile(path).File);
}

TEST(OutputFile, ADeviceIsSharedByEveryWriter) {
  OutputOpen first = OpenOutputFile(L"/dev/null");
  ASSERT_TRUE(first.File) << first.Failure;
  const OutputOpen second = OpenOutputFile(L"/dev/null");
  EXPECT_TRUE(second.File);
  EXPECT_FALSE(second.Busy);
  EXPECT_EQ(OutputFileStart(*first.File, 100), "");
}

TEST(OutputFile, AFifoWithoutAReaderFailsAtOnceAndWithOneIsNoFileToJudge) {
  const TempFolder folder;
  const std::filesystem::path fifo = folder.Path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const OutputOpen alone = OpenOutputFile(Wide(fifo));
  EXPECT_FALSE(alone.File);
  EXPECT_FALSE(alone.Busy);
  EXPECT_EQ(alone.Failure, L"No such device or address");

  const linux_impl::FileHandle reader(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  ASSERT_TRUE(reader);
  OutputOpen open = OpenOutputFile(Wide(fifo));
  ASSERT_TRUE(open.File) << open.Failure;
  EXPECT_EQ(OutputFileStart(*open.File, 100), "");
  EXPECT_EQ(EmptyOutputFile(*open.File), std::nullopt);
  EXPECT_EQ(WriteOutputFile(*open.File, "line\n"), std::nullopt);
  EXPECT_EQ(SyncOutputFile(*open.File), std::nullopt);
  char bytes[16] = {};
  EXPECT_EQ(::read(reader.get(), bytes, sizeof bytes), 5);
  EXPECT_EQ(std::string(bytes), "line\n");
}

TEST(OutputFile, AbandonedRemovesOnlyAFileTheOpenCreated) {
  const TempFolder folder;
  const std::filesystem::path made = folder.Path() / "made";
  AbandonOutputFile(OpenOutputFile(Wide(made)).File);
  EXPECT_FALSE(std::filesystem::exists(made));

  const auto kept = folder.Write("kept", "");
  AbandonOutputFile(OpenOutputFile(Wide(kept)).File);
  EXPECT_TRUE(std::filesystem::exists(kept));
}

}  // namespace
}  // namespace dorvanta::platform
