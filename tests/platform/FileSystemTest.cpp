#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempFolder.h"

namespace dorvanta::platform {
namespace {

using tests::TempFolder;

TEST(FileSystem, OneFileReachedByAnotherNameIsTheSameFile) {
  const TempFolder folder;
  const std::filesystem::path file = folder.Write("file", "x");
  std::filesystem::create_hard_link(file, folder.Path() / "hard");
  std::filesystem::create_symlink(file, folder.Path() / "soft");
  std::filesystem::create_directory(folder.Path() / "sub");

  EXPECT_TRUE(NameSameExistingFile(file.wstring(), (folder.Path() / "hard").wstring()));
  EXPECT_TRUE(NameSameExistingFile(file.wstring(), (folder.Path() / "soft").wstring()));
  EXPECT_TRUE(NameSameExistingFile(file.wstring(), (folder.Path() / "sub/../file").wstring()));
  // Paths written for Windows name the same file.
  EXPECT_TRUE(NameSameExistingFile(file.wstring(), folder.Path().wstring() + L"\\sub\\..\\file"));
  EXPECT_TRUE(
      NameSameExistingFile((folder.Path() / "sub").wstring(), (folder.Path() / "sub/").wstring()));
}

TEST(FileSystem, OtherOrMissingFilesAreNotTheSame) {
  const TempFolder folder;
  const std::filesystem::path file = folder.Write("file", "x");
  const std::filesystem::path copy = folder.Write("copy", "x");
  const std::filesystem::path missing = folder.Path() / "missing";
  std::filesystem::create_symlink(missing, folder.Path() / "dangling");

  EXPECT_FALSE(NameSameExistingFile(file.wstring(), copy.wstring()));
  EXPECT_FALSE(NameSameExistingFile(missing.wstring(), missing.wstring()));
  EXPECT_FALSE(NameSameExistingFile((folder.Path() / "dangling").wstring(), missing.wstring()));
  EXPECT_FALSE(PathExists((folder.Path() / "dangling").wstring()));
  EXPECT_TRUE(PathExists(folder.Path().wstring() + L"\\file"));
}

// A folder's files by name in byte order, each path as it opens: a name that
// is no UTF-8 too; folders and other endings left out.
TEST(FileSystem, FolderFilesAreListedByNameAndOpenAsListed) {
  const TempFolder folder;
  folder.Write("b.JSON", "b");
  folder.Write("a.json", "a");
  folder.Write("\xff\xfe.json", "invalid");
  folder.Write("a.json.txt", "other");
  std::filesystem::create_directory(folder.Path() / "sub.json");
  const FolderFiles listing = ListFolderFiles(folder.Path().wstring(), L".json");
  ASSERT_TRUE(listing.Files);
  ASSERT_EQ(listing.Files->size(), 3u);
  EXPECT_EQ(listing.Files->Name(0), L"a.json");
  EXPECT_EQ(listing.Files->Name(1), L"b.JSON");
  std::string contents;
  for (const std::wstring& path : listing.Files->Paths()) {
    const FileRead read = ReadWholeFile(path, 64);
    ASSERT_TRUE(read.Bytes) << read.Failure;
    contents += *read.Bytes + ";";
  }
  EXPECT_EQ(contents, "a;b;invalid;");
}

}  // namespace
}  // namespace dorvanta::platform
