// Conversions between the program's wide texts and bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dorvanta {

// UTF-8 to wide text. A byte that is not part of a valid UTF-8 sequence becomes
// U+DC80 + byte, so that EncodeUtf8 gives the original bytes back.
std::wstring DecodeUtf8(std::string_view bytes);

// UTF-16 code units to wide text: a surrogate pair is one character, stored as
// the pair again where wchar_t is one UTF-16 unit; an unpaired surrogate is kept.
std::wstring DecodeUtf16(std::u16string_view units);

// The UTF-16 code units a character takes: two beyond U+FFFF.
std::size_t Utf16UnitsOf(char32_t character);

// The bytes that DecodeUtf8 read for a character of its result: one for an
// escaped byte (U+DC80 + byte).
std::size_t Utf8BytesOf(char32_t character);

// Wide text to UTF-8. U+DC80..U+DCFF become the single byte they stand for;
// any other unpaired surrogate becomes U+FFFD.
std::string EncodeUtf8(std::wstring_view text);
// EncodeUtf8's bytes onto the end of `out`.
void AppendEncodedUtf8(std::string& out, std::wstring_view text);

// Wide text to 8-bit text: characters 0..255 become one byte of the same value,
// every other character (a surrogate pair counts as one) becomes '?'.
std::string EncodeEightBit(std::wstring_view text);

}  // namespace dorvanta
