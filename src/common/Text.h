// White space, upper-casing and number reading shared by every part of the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dorvanta {

// The wide white space of the standard library's default locale: U+0009..U+000D,
// U+0020, U+00A0, and the Unicode space characters above U+00FF.
bool IsWhiteSpace(wchar_t c);

// Removes white space at both ends, never inside.
std::wstring Trim(std::wstring_view text);

// Turns a..z into A..Z; every other character stays as it is.
wchar_t UpperAscii(wchar_t c);
std::wstring UpperAscii(std::wstring_view text);

// True when the texts are equal with a..z and A..Z taken as the same letters.
bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b);

// Turns A..Z into a..z; every other character stays as it is.
std::wstring LowerAscii(std::wstring_view text);

// The text with every character that steers a terminal or a line's layout
// written out, so that text from elsewhere shows as what it holds: \t, \n and
// \r by name, the other C0 and C1 controls and DEL as \xHH, the line and
// paragraph separators and the bidirectional controls as \uHHHH. Every other
// character (a backslash too) stays as it is.
std::wstring EscapeControls(std::wstring_view text);

// What a decimal number as written tells beside its value.
enum class NumberFault {
  None,             // white space, an optional sign, digits, white space
  TextAfterNumber,  // digits followed by other text, which is ignored
  NoNumber,         // no digits where the number begins
};

struct DecimalReading {
  std::int32_t Value;
  NumberFault Fault;
  bool Clamped;  // the digits lie beyond the signed 32-bit range
};

// Reads a decimal number as wcstol does with base 10: leading white space, one
// optional sign, digits up to the first non-digit. No digits give 0; values
// beyond the signed 32-bit range are clamped to its ends.
DecimalReading ReadDecimal(std::wstring_view text);

// The value of ReadDecimal.
std::int32_t ParseDecimal(std::wstring_view text);

}  // namespace dorvanta
