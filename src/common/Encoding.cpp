#include "common/Encoding.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace dorvanta {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kEscapeBase = 0xDC00;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsSurrogate(char32_t c) { return IsHighSurrogate(c) || IsLowSurrogate(c); }
char32_t CombineSurrogates(char32_t high, char32_t low) {
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

void AppendCodePoint(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

// Reads one code point from wide text; a surrogate pair in UTF-16 counts as one.
char32_t NextCodePoint(std::wstring_view text, std::size_t& i) {
  char32_t c = static_cast<char32_t>(text[i++]);
  if constexpr (sizeof(wchar_t) == 2) {
    c &= 0xFFFF;
    if (IsHighSurrogate(c) && i < text.size()) {
      const char32_t low = static_cast<char32_t>(text[i]) & 0xFFFF;
      if (IsLowSurrogate(low)) {
        ++i;
        return CombineSurrogates(c, low);
      }
    }
  }
  return c;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// The bytes that `encode` appends for each code point of the text in turn.
template <typename Encode>
std::string EncodeCodePoints(std::wstring_view text, const Encode& encode) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) encode(out, NextCodePoint(text, i));
  return out;
}

}  // namespace

std::wstring DecodeUtf8(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b0 = static_cast<std::uint8_t>(bytes[i]);
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (b0 < 0x80) {
      // A run of ASCII bytes is the same characters.
      std::size_t end = i + 1;
      while (end < bytes.size() && static_cast<std::uint8_t>(bytes[end]) < 0x80) ++end;
      const std::size_t start = out.size();
      out.resize(start + (end - i));
      std::transform(bytes.begin() + static_cast<std::ptrdiff_t>(i),
                     bytes.begin() + static_cast<std::ptrdiff_t>(end),
                     out.begin() + static_cast<std::ptrdiff_t>(start),
                     [](char byte) { return static_cast<wchar_t>(byte); });
      i = end;
      continue;
    }
    if ((b0 & 0xE0) == 0xC0) {
      length = 2, cp = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
      length = 3, cp = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
      length = 4, cp = b0 & 0x07, minimum = 0x10000;
    } else {
      // A continuation byte, or a byte that UTF-8 never uses.
      out.push_back(static_cast<wchar_t>(kEscapeBase + b0));
      ++i;
      continue;
    }
    bool valid = i + length <= bytes.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto b = static_cast<std::uint8_t>(bytes[i + k]);
      valid = (b & 0xC0) == 0x80;
      cp = (cp << 6) | (b & 0x3F);
    }
    valid = valid && cp >= minimum && cp <= 0x10FFFF && !IsSurrogate(cp);
    if (valid) {
      AppendCodePoint(out, cp);
      i += length;
    } else {
      out.push_back(static_cast<wchar_t>(kEscapeBase + b0));
      ++i;
    }
  }
  return out;
}

std::wstring DecodeUtf16(std::u16string_view units) {
  std::wstring out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (IsHighSurrogate(c) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      c = CombineSurrogates(c, units[++i]);
    }
    AppendCodePoint(out, c);
  }
  return out;
}

std::size_t Utf16UnitsOf(char32_t character) { return character > 0xFFFF ? 2 : 1; }

std::size_t Utf8BytesOf(char32_t character) {
  if (character < 0x80 || (character >= kEscapeBase + 0x80 && character <= kEscapeBase + 0xFF)) {
    return 1;
  }
  if (character < 0x800) return 2;
  return character < 0x10000 ? 3 : 4;
}

void AppendEncodedUtf8(std::string& out, std::wstring_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const char32_t cp = NextCodePoint(text, i);
    if (cp >= kEscapeBase + 0x80 && cp <= kEscapeBase + 0xFF) {
      out.push_back(static_cast<char>(cp - kEscapeBase));
    } else if (IsSurrogate(cp) || cp > 0x10FFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, cp);
    }
  }
}

std::string EncodeUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEncodedUtf8(out, text);
  return out;
}

std::string EncodeEightBit(std::wstring_view text) {
  return EncodeCodePoints(text, [](std::string& out, char32_t cp) {
    out.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
  });
}

}  // namespace dorvanta
