// The message formatter and the encoders: arbitrary texts and numbers in every
// placeholder, the result checked against the C library's formatting, and the
// encoders checked against each other.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>

#include "FuzzSupport.h"
#include "common/Encoding.h"
#include "report/Format.h"

namespace {

using dorvanta::fuzz::Check;

std::wstring Printf(const wchar_t* format, auto value) {
  wchar_t buffer[64];
  const int length = std::swprintf(buffer, 64, format, value);
  return std::wstring(buffer, static_cast<std::size_t>(length));
}

// Wide text from raw code units: any value wchar_t holds, surrogates included.
std::wstring RawUnits(FuzzedDataProvider& input) {
  std::wstring text;
  const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 32);
  for (std::size_t i = 0; i < count && input.remaining_bytes() > 0; ++i) {
    text.push_back(static_cast<wchar_t>(
        input.ConsumeIntegralInRange<std::uint32_t>(0, sizeof(wchar_t) == 2 ? 0xFFFF : 0x10FFFF)));
  }
  return text;
}

void CheckEncoders(const std::wstring& text) {
  const std::string utf8 = dorvanta::EncodeUtf8(text);
  const std::wstring decoded = dorvanta::DecodeUtf8(utf8);
  Check(dorvanta::EncodeUtf8(decoded) == utf8, "UTF-8 survives decoding and encoding");
  const std::string eightBit = dorvanta::EncodeEightBit(text);
  Check(eightBit.size() <= text.size(), "8-bit text has at most one byte per character");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using dorvanta::Format;
  FuzzedDataProvider input(data, size);
  const std::uint32_t number = input.ConsumeIntegral<std::uint32_t>();
  const auto signedNumber = static_cast<std::int32_t>(number);
  const std::wstring raw = RawUnits(input);
  const std::string bytes = input.ConsumeRemainingBytesAsString();
  const std::wstring text = dorvanta::DecodeUtf8(bytes);

  Check(dorvanta::EncodeUtf8(text) == bytes, "decoded bytes encode back to themselves");
  CheckEncoders(text);
  CheckEncoders(raw);
  CheckEncoders(raw + text + raw);

  Check(Format(L"%s", text) == text, "%s inserts the text");
  Check(Format(L"[%s|%s]", text, raw) == L"[" + text + L"|" + raw + L"]", "two texts in place");
  Check(Format(L"%d", signedNumber) == Printf(L"%d", signedNumber), "%d");
  Check(Format(L"%ld", signedNumber) == Printf(L"%d", signedNumber), "%ld");
  Check(Format(L"%u", number) == Printf(L"%u", number), "%u");
  Check(Format(L"%lu", number) == Printf(L"%u", number), "%lu");
  Check(Format(L"%x", number) == Printf(L"%x", number), "%x");
  Check(Format(L"%#x", number) == Printf(L"%#x", number), "%#x");
  const std::uint16_t word = static_cast<std::uint16_t>(number);
  const std::uint8_t byte = static_cast<std::uint8_t>(number);
  Check(Format(L"%s OS=%u INI=%s", raw, word, text) ==
            raw + L" OS=" + Printf(L"%u", unsigned{word}) + L" INI=" + text,
        "a criteria report");
  Check(Format(L"%d %s", byte, text) == Printf(L"%d", int{byte}) + L" " + text, "a byte");
  return 0;
}
