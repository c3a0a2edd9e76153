#include "common/EnvironmentExpansion.h"

#include <gtest/gtest.h>

namespace dorvanta {
namespace {

TEST(PercentExpansion, SetVariablesOnlyAndUnclosedReferencesStay) {
  const VariableLookup lookup = [](std::wstring_view name) -> std::optional<std::wstring> {
    if (name == L"A") return L"1";
    if (name == L"EMPTY") return L"";
    if (name == L"P") return L"%A%";
    return std::nullopt;
  };
  EXPECT_EQ(ExpandPercentReferences(L"x%A%y%A%", lookup), L"x1y1");
  EXPECT_EQ(ExpandPercentReferences(L"%EMPTY%%A%", lookup), L"1");
  EXPECT_EQ(ExpandPercentReferences(L"%P%", lookup), L"%A%");  // values are not rescanned
  EXPECT_EQ(ExpandPercentReferences(L"%NOPE%A%", lookup), L"%NOPE%A%");
  EXPECT_EQ(ExpandPercentReferences(L"100%% %A", lookup), L"100%% %A");
  EXPECT_EQ(ExpandPercentReferences(L"50% of %A%", lookup), L"50% of %A%");
  EXPECT_EQ(ExpandPercentReferences(L"%", lookup), L"%");
  const std::wstring many(5000, L'%');
  EXPECT_EQ(ExpandPercentReferences(many, lookup), many);
}

TEST(PercentExpansion, ResultIsBoundedLikeTheWindowsCall) {
  // 32,766 characters and the terminating NUL fit; one more does not, however
  // it arises: a value, the written text, an unset reference kept as written.
  const std::wstring value(16383, L'v');
  const VariableLookup lookup = [&](std::wstring_view) -> std::optional<std::wstring> {
    return value;
  };
  EXPECT_EQ(ExpandPercentReferences(L"%A%%B%", lookup), value + value);
  EXPECT_EQ(ExpandPercentReferences(L"%A%%B%x", lookup), std::nullopt);
  EXPECT_EQ(ExpandPercentReferences(L"x%A%%B%", lookup), std::nullopt);
  const VariableLookup unset = [](std::wstring_view) { return std::optional<std::wstring>(); };
  EXPECT_EQ(ExpandPercentReferences(std::wstring(32767, L'%'), unset), std::nullopt);
  // A huge value fails at once, however often it is named.
  const std::wstring huge(200000, L'h');
  const VariableLookup big = [&](std::wstring_view) -> std::optional<std::wstring> { return huge; };
  EXPECT_EQ(ExpandPercentReferences(L"%H%%H%%H%", big), std::nullopt);
}

}  // namespace
}  // namespace dorvanta
