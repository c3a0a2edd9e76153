// The text rules of the Linux shell layer: argument words and the XDG folder
// table.
#include <gtest/gtest.h>

#include "platform/linux/parse/ShellWords.h"
#include "platform/linux/parse/XdgFolders.h"

namespace dorvanta::platform::linux_impl {
namespace {

using Words = std::vector<std::wstring>;

TEST(ShellWords, BlanksSeparateAndQuotesGroup) {
  EXPECT_EQ(SplitShellWords(L""), Words{});
  EXPECT_EQ(SplitShellWords(L"  /quiet \t /log\nx "), (Words{L"/quiet", L"/log", L"x"}));
  EXPECT_EQ(SplitShellWords(L"\"C:\\Program Files\\\" 'a \"b\"' c"),
            (Words{L"C:\\Program Files\\", L"a \"b\"", L"c"}));
  EXPECT_EQ(SplitShellWords(L"--name=\"two words\"x '' \"\""),
            (Words{L"--name=two wordsx", L"", L""}));
}

TEST(ShellWords, NothingIsExpandedOrInterpreted) {
  EXPECT_EQ(SplitShellWords(L"$HOME `id` $(id) * ; | > %TEMP% a\\ b"),
            (Words{L"$HOME", L"`id`", L"$(id)", L"*", L";", L"|", L">", L"%TEMP%", L"a\\", L"b"}));
}

TEST(ShellWords, AQuoteThatDoesNotCloseIsRejected) {
  EXPECT_FALSE(SplitShellWords(L"/x \"open"));
  EXPECT_FALSE(SplitShellWords(L"it's"));
  EXPECT_FALSE(SplitShellWords(L"'a'\"b'"));
}

TEST(XdgFolders, BaseDirectoriesNeedAbsoluteValues) {
  EXPECT_EQ(BaseDirectory("/cfg", "/home/u", ".config"), "/cfg");
  EXPECT_EQ(BaseDirectory("", "/home/u", ".config"), "/home/u/.config");
  EXPECT_EQ(BaseDirectory("rel/cfg", "/home/u", ".config"), "/home/u/.config");
  EXPECT_EQ(BaseDirectory("", "", ".cache"), "/.cache");
}

TEST(XdgFolders, UserDirsFileForms) {
  const std::string file =
      "# written by xdg-user-dirs-update\n"
      "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
      "  XDG_DOCUMENTS_DIR=\"/data/docs\"  \n"
      "XDG_DOCUMENTS_DIRX=\"/wrong\"\n"
      "XDG_PICTURES_DIR=relative\n"
      "XDG_MUSIC_DIR=\"$HOME/My \\\"Music\\\"\"\n"
      "XDG_VIDEOS_DIR=\"videos\"\n";
  EXPECT_EQ(UserDirectory(file, "XDG_DESKTOP_DIR", "/home/u"), "/home/u/Schreibtisch");
  EXPECT_EQ(UserDirectory(file, "XDG_DOCUMENTS_DIR", "/home/u"), "/data/docs");
  EXPECT_EQ(UserDirectory(file, "XDG_MUSIC_DIR", "/home/u"), "/home/u/My \"Music\"");
  EXPECT_FALSE(UserDirectory(file, "XDG_PICTURES_DIR", "/home/u"));
  EXPECT_FALSE(UserDirectory(file, "XDG_VIDEOS_DIR", "/home/u"));
  EXPECT_FALSE(UserDirectory(file, "XDG_DOWNLOAD_DIR", "/home/u"));
  EXPECT_EQ(UserDirectory("XDG_DESKTOP_DIR=\"$HOME\"\n", "XDG_DESKTOP_DIR", "/home/u"), "/home/u");
  EXPECT_FALSE(UserDirectory("XDG_DESKTOP_DIR=\"$HOMEX/a\"", "XDG_DESKTOP_DIR", "/home/u"));
}

TEST(XdgFolders, TableOnDefaultsAndOnSetVariables) {
  XdgSources sources{"/home/u", "", "", "", ""};
  EXPECT_EQ(LinuxFolderOf(0x10, sources), "/home/u/Desktop");
  EXPECT_EQ(LinuxFolderOf(0x05, sources), "/home/u/Documents");
  EXPECT_EQ(LinuxFolderOf(0x27, sources), "/home/u/Pictures");
  EXPECT_EQ(LinuxFolderOf(0x1A, sources), "/home/u/.config");
  EXPECT_EQ(LinuxFolderOf(0x07, sources), "/home/u/.config/autostart");
  EXPECT_EQ(LinuxFolderOf(0x1C, sources), "/home/u/.local/share");
  EXPECT_EQ(LinuxFolderOf(0x14, sources), "/home/u/.local/share/fonts");
  EXPECT_EQ(LinuxFolderOf(0x02, sources), "/home/u/.local/share/applications");
  EXPECT_EQ(LinuxFolderOf(0x20, sources), "/home/u/.cache");
  EXPECT_EQ(LinuxFolderOf(0x17, sources), "/usr/share/applications");
  EXPECT_EQ(LinuxFolderOf(0x26, sources), "/opt");

  sources = XdgSources{"/home/u", "/c", "/d", "/k", "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n"};
  EXPECT_EQ(LinuxFolderOf(0x10, sources), "/home/u/Bureau");
  EXPECT_EQ(LinuxFolderOf(0x07, sources), "/c/autostart");
  EXPECT_EQ(LinuxFolderOf(0x0B, sources), "/d/applications");
  EXPECT_EQ(LinuxFolderOf(0x20, sources), "/k");
}

TEST(XdgFolders, NamesWithoutLinuxCounterpartHaveNoPath) {
  const XdgSources sources{"/home/u", "", "", "", ""};
  for (const int csidl : {0x30, 0x2F, 0x0A, 0x19, 0x2E, 0x21, 0x22}) {
    EXPECT_FALSE(LinuxFolderOf(csidl, sources)) << csidl;
  }
}

}  // namespace
}  // namespace dorvanta::platform::linux_impl
