#include "report/Format.h"

namespace dorvanta::format_detail {
namespace {

void AppendUnsigned(std::wstring& out, std::uint32_t value, unsigned base) {
  wchar_t digits[16];
  std::size_t count = 0;
  do {
    const unsigned digit = value % base;
    digits[count++] = static_cast<wchar_t>(digit < 10 ? L'0' + digit : L'a' + digit - 10);
    value /= base;
  } while (value != 0);
  while (count > 0) out.push_back(digits[--count]);
}

void AppendSigned(std::wstring& out, std::uint32_t bits) {
  const auto value = static_cast<std::int32_t>(bits);
  if (value < 0) {
    out.push_back(L'-');
    AppendUnsigned(out, 0U - bits, 10);
  } else {
    AppendUnsigned(out, bits, 10);
  }
}

}  // namespace

std::wstring Render(std::wstring_view format, const Argument* arguments) {
  std::wstring out;
  out.reserve(format.size() + 32);
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != L'%') {
      out.push_back(format[i]);
      continue;
    }
    // The placeholders were checked when the program was compiled.
    const Argument& argument = *arguments++;
    wchar_t conversion = format[++i];
    bool alternate = false;
    if (conversion == L'l') {
      conversion = format[++i];
    } else if (conversion == L'#') {
      alternate = true;
      conversion = format[++i];
    }
    if (conversion == L's') {
      out.append(std::get<std::wstring_view>(argument.Value));
      continue;
    }
    const std::uint32_t bits = std::get<std::uint32_t>(argument.Value);
    if (conversion == L'd') {
      AppendSigned(out, bits);
    } else if (conversion == L'u') {
      AppendUnsigned(out, bits, 10);
    } else {
      if (alternate && bits != 0) out.append(L"0x");
      AppendUnsigned(out, bits, 16);
    }
  }
  return out;
}

}  // namespace dorvanta::format_detail
