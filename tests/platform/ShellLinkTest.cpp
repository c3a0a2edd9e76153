#include "platform/ShellLink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"

namespace dorvanta::platform {
namespace {

using tests::TempFolder;

// The names in the folder, so that a temporary file left behind shows.
std::vector<std::string> Names(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  return names;
}

ShortcutRequest Launcher(const std::filesystem::path& file) {
  return {L"/bin/sh", file.wstring(), L"Runs the shell", L"-c 'exit 0'", L"", -1};
}

TEST(ShellLink, TheLauncherIsWrittenExecutableUnderItsName) {
  const TempFolder folder;
  const std::filesystem::path file = folder.Path() / "My App.desktop";
  EXPECT_EQ(WriteShortcut(Launcher(file)), std::nullopt);
  EXPECT_EQ(tests::ReadBytes(file),
            "[Desktop Entry]\nType=Application\nName=My App\nComment=Runs the shell\n"
            "Exec=/bin/sh -c \"exit 0\"\n");
  EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms(0755));
  EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"My App.desktop"});
}

TEST(ShellLink, AnOldLauncherIsReplaced) {
  const TempFolder folder;
  const std::filesystem::path file = folder.Write("app.desktop", "old");
  EXPECT_EQ(WriteShortcut(Launcher(file)), std::nullopt);
  EXPECT_EQ(tests::ReadBytes(file).rfind("[Desktop Entry]\n", 0), 0U);
  EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"app.desktop"});
}

TEST(ShellLink, ANameAsLongAsTheFileSystemAllowsCanBeWritten) {
  const TempFolder folder;
  const std::filesystem::path file = folder.Path() / (std::string(247, 'n') + ".desktop");
  EXPECT_EQ(WriteShortcut(Launcher(file)), std::nullopt);
  EXPECT_TRUE(std::filesystem::is_regular_file(file));
  EXPECT_EQ(Names(folder.Path()).size(), 1U);
}

TEST(ShellLink, AFailedSaveLeavesNothingBehind) {
  const TempFolder folder;
  // A folder in the launcher's place cannot be replaced.
  std::filesystem::create_directory(folder.Path() / "app.desktop");
  EXPECT_EQ(WriteShortcut(Launcher(folder.Path() / "app.desktop")), ShortcutStep::Save);
  EXPECT_EQ(WriteShortcut(Launcher(folder.Path() / "missing" / "app.desktop")), ShortcutStep::Save);
  EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"app.desktop"});
}

TEST(ShellLink, ArgumentsWithAQuoteThatDoesNotCloseAreRefused) {
  const TempFolder folder;
  ShortcutRequest request = Launcher(folder.Path() / "app.desktop");
  request.Arguments = L"-c 'exit 0";
  EXPECT_EQ(WriteShortcut(request), ShortcutStep::SetArguments);
  EXPECT_TRUE(Names(folder.Path()).empty());
}

}  // namespace
}  // namespace dorvanta::platform
