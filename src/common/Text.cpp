#include "common/Text.h"

#include <algorithm>
#include <limits>

namespace dorvanta {

bool IsWhiteSpace(wchar_t c) {
  // A wchar_t code point (signed on Linux), which the check takes for a signed char.
  // NOLINTNEXTLINE(bugprone-signed-char-misuse,cert-str34-c)
  const auto u = static_cast<std::uint32_t>(c);
  if (u <= 0xFF) return (u >= 0x09 && u <= 0x0D) || u == 0x20 || u == 0xA0;
  return u == 0x1680 || (u >= 0x2000 && u <= 0x200A) || u == 0x2028 || u == 0x2029 || u == 0x205F ||
         u == 0x3000;
}

std::wstring Trim(std::wstring_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsWhiteSpace(text[begin])) ++begin;
  while (end > begin && IsWhiteSpace(text[end - 1])) --end;
  return std::wstring(text.substr(begin, end - begin));
}

wchar_t UpperAscii(wchar_t c) {
  return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

std::wstring UpperAscii(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = UpperAscii(c);
  return out;
}

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](wchar_t x, wchar_t y) { return UpperAscii(x) == UpperAscii(y); });
}

std::wstring LowerAscii(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return out;
}

std::wstring EscapeControls(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (const wchar_t c : text) {
    // NOLINTNEXTLINE(bugprone-signed-char-misuse,cert-str34-c)
    const auto u = static_cast<std::uint32_t>(c);
    const bool control = u < 0x20 || (u >= 0x7F && u <= 0x9F);
    const bool layout =
        u == 0x200E || u == 0x200F || (u >= 0x2028 && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
    if (!control && !layout) {
      out += c;
    } else if (c == L'\t') {
      out += L"\\t";
    } else if (c == L'\n') {
      out += L"\\n";
    } else if (c == L'\r') {
      out += L"\\r";
    } else {
      constexpr std::wstring_view kHex = L"0123456789abcdef";
      out += control ? L"\\x" : L"\\u";
      for (int shift = control ? 4 : 12; shift >= 0; shift -= 4) out += kHex[(u >> shift) & 0xF];
    }
  }
  return out;
}

DecimalReading ReadDecimal(std::wstring_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i] == L'-';
    ++i;
  }
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  const std::size_t digits = i;
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    if (value <= kMax + 1) value = value * 10 + (text[i] - L'0');
  }
  const std::size_t end = i;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  const NumberFault fault = end == digits      ? NumberFault::NoNumber
                            : i == text.size() ? NumberFault::None
                                               : NumberFault::TextAfterNumber;
  if (negative) value = -value;
  const bool clamped = value > kMax || value < kMin;
  return {static_cast<std::int32_t>(std::clamp(value, kMin, kMax)), fault, clamped};
}

std::int32_t ParseDecimal(std::wstring_view text) { return ReadDecimal(text).Value; }

}  // namespace dorvanta
