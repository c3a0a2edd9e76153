#include "platform/linux/parse/DesktopEntry.h"

#include <gtest/gtest.h>

namespace dorvanta::platform::linux_impl {
namespace {

TEST(DesktopEntry, ExecArgumentsAreQuotedWhereReservedCharactersStand) {
  EXPECT_EQ(QuoteExecArgument("/opt/app/run"), "/opt/app/run");
  EXPECT_EQ(QuoteExecArgument("two words"), "\"two words\"");
  EXPECT_EQ(QuoteExecArgument(""), "\"\"");
  EXPECT_EQ(QuoteExecArgument("say \"hi\""), "\"say \\\"hi\\\"\"");
  EXPECT_EQ(QuoteExecArgument("$HOME`x`\\"), "\"\\$HOME\\`x\\`\\\\\"");
  EXPECT_EQ(QuoteExecArgument("100%"), "100%%");
  EXPECT_EQ(QuoteExecArgument("it's"), "\"it's\"");
}

TEST(DesktopEntry, StringValuesAreEscaped) {
  EXPECT_EQ(EscapeStringValue(" lead\\tab\tnl\n"), "\\slead\\\\tab\\tnl\\n");
}

TEST(DesktopEntry, OnlyEscapableControlCharactersCanBeWritten) {
  EXPECT_TRUE(CanBeWritten("tab\tline\ncr\r"));
  EXPECT_TRUE(CanBeWritten("caf\xc3\xa9 \xc2\x85"));
  EXPECT_FALSE(CanBeWritten("del\x7f"));
  EXPECT_FALSE(CanBeWritten("\x1b[31m"));
  EXPECT_FALSE(CanBeWritten("\x1f"));
  EXPECT_FALSE(CanBeWritten(std::string_view("a\0b", 3)));
}

TEST(DesktopEntry, WholeFile) {
  DesktopEntry entry;
  entry.Name = "My App";
  entry.Comment = "/home/u/Desktop/My App.desktop";
  entry.Program = "/opt/my app/run";
  entry.Arguments = {"--name", "a \"b\"", "C:\\x"};
  entry.Icon = "/opt/my app/icon.png";
  EXPECT_EQ(DesktopEntryText(entry),
            "[Desktop Entry]\nType=Application\nName=My App\n"
            "Comment=/home/u/Desktop/My App.desktop\n"
            "Exec=\"/opt/my app/run\" --name \"a \\\\\"b\\\\\"\" \"C:\\\\\\\\x\"\n"
            "Icon=/opt/my app/icon.png\n");
  entry.Icon.clear();
  entry.Arguments.clear();
  EXPECT_EQ(DesktopEntryText(entry).find("Icon="), std::string::npos);
}

}  // namespace
}  // namespace dorvanta::platform::linux_impl
