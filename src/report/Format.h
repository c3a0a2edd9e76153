// Message formatting with the printf placeholders the program's messages use:
// %s (wide text), %d, %u, %ld, %lu, %x and %#x. The format is checked against the
// argument types when the program is compiled, and a text argument is never
// read as a format. Numbers are 32-bit, as on Windows, where long is 32 bits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace dorvanta {

namespace format_detail {

enum class Kind { Text, Number };

template <typename T>
consteval Kind KindOf() {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::is_integral_v<U> && !std::is_same_v<U, bool> && !std::is_same_v<U, wchar_t> &&
                !std::is_same_v<U, char>) {
    static_assert(sizeof(U) <= 4, "message numbers are 32-bit");
    return Kind::Number;
  } else {
    static_assert(std::is_convertible_v<const T&, std::wstring_view>,
                  "a message argument is a wide text or a 32-bit number");
    return Kind::Text;
  }
}

// Placeholder kinds in the order they stand in `format`; fails to compile
// (throw in a constant evaluation) on any other placeholder or a count mismatch.
template <std::size_t N>
consteval void Check(std::wstring_view format, const Kind (&kinds)[N], std::size_t count) {
  std::size_t used = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != L'%') continue;
    std::wstring_view rest = format.substr(i + 1);
    Kind kind = Kind::Number;
    if (rest.starts_with(L"s")) {
      kind = Kind::Text;
    } else if (rest.starts_with(L"#x") || rest.starts_with(L"ld") || rest.starts_with(L"lu")) {
      ++i;
    } else if (!(rest.starts_with(L"d") || rest.starts_with(L"u") || rest.starts_with(L"x"))) {
      throw "unsupported placeholder in message format";
    }
    ++i;
    if (used >= count) throw "message format has more placeholders than arguments";
    if (kinds[used++] != kind) throw "message argument does not fit its placeholder";
  }
  if (used != count) throw "message format has fewer placeholders than arguments";
}

struct Argument {
  std::variant<std::wstring_view, std::uint32_t> Value;
};

template <typename T>
Argument MakeArgument(const T& value) {
  if constexpr (KindOf<T>() == Kind::Number) {
    return Argument{static_cast<std::uint32_t>(value)};
  } else {
    return Argument{std::wstring_view(value)};
  }
}

std::wstring Render(std::wstring_view format, const Argument* arguments);

}  // namespace format_detail

template <typename... Args>
class FormatString {
 public:
  template <typename S>
  requires std::is_convertible_v<const S&, std::wstring_view>
  // Implicit on purpose: a literal at a call becomes a checked format.
  // cppcheck-suppress noExplicitConstructor
  consteval FormatString(const S& format) : text_(format) {  // NOLINT: implicit on purpose
    constexpr format_detail::Kind kinds[sizeof...(Args) + 1] = {format_detail::KindOf<Args>()...,
                                                                format_detail::Kind::Text};
    format_detail::Check(text_, kinds, sizeof...(Args));
  }
  [[nodiscard]] std::wstring_view Text() const { return text_; }

 private:
  std::wstring_view text_;
};

template <typename... Args>
using Fmt = FormatString<std::type_identity_t<Args>...>;

template <typename... Args>
std::wstring Format(Fmt<Args...> format, const Args&... args) {
  const format_detail::Argument arguments[sizeof...(Args) + 1] = {
      format_detail::MakeArgument(args)..., format_detail::Argument{std::uint32_t{0}}};
  return format_detail::Render(format.Text(), arguments);
}

}  // namespace dorvanta
