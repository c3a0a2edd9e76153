#include "platform/linux/parse/ShellWords.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace dorvanta::platform::linux_impl
