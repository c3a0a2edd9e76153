#include "tool/JUnitReport.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "common/Encoding.h"
#include "report/Format.h"

namespace dorvanta::tool {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The characters XML 1.0 allows: tab, line feed, carriage return, and
// U+0020..U+D7FF, U+E000..U+FFFD, U+10000..U+10FFFF.
bool AllowedInXml(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

char32_t CodeUnit(wchar_t unit) {
  return static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(unit));
}

// The character that starts at `at` (a surrogate pair is one where wchar_t is
// a UTF-16 unit), and how many units it takes.
std::pair<char32_t, std::size_t> CharacterAt(std::wstring_view text, std::size_t at) {
  const char32_t unit = CodeUnit(text[at]);
  if constexpr (sizeof(wchar_t) == 2) {
    if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < text.size()) {
      const char32_t low = CodeUnit(text[at + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF)
        return {0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), 2};
    }
  }
  return {unit, 1};
}

void AppendCharacter(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string XmlEscaped(std::wstring_view text, XmlPlace place) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto [c, units] = CharacterAt(text, at);
    at += units;
    switch (c) {
      case U'&':
        out += "&amp;";
        break;
      case U'<':
        out += "&lt;";
        break;
      case U'>':
        out += "&gt;";
        break;
      case U'"':
        out += "&quot;";
        break;
      case U'\'':
        out += "&apos;";
        break;
      case U'\t':
        out += place == XmlPlace::Attribute ? "&#9;" : "\t";
        break;
      case U'\n':
        out += place == XmlPlace::Attribute ? "&#10;" : "\n";
        break;
      case U'\r':
        out += "&#13;";
        break;
      default:
        AppendCharacter(out, AllowedInXml(c) ? c : kReplacement);
    }
  }
  return out;
}

std::string JUnitReport(std::wstring_view suite, std::wstring_view classname,
                        std::span<const JUnitCase> cases) {
  std::uint32_t failures = 0;
  for (const JUnitCase& testCase : cases) failures += testCase.FailureMessage.empty() ? 0 : 1;
  const std::string counts = EncodeUtf8(
      Format(L"tests=\"%u\" failures=\"%u\"", static_cast<std::uint32_t>(cases.size()), failures));
  const std::string name = XmlEscaped(suite);
  std::string xml(kJUnitStart);
  xml += "<testsuites name=\"" + name + "\" " + counts + ">\n";
  xml += "  <testsuite name=\"" + name + "\" " + counts + " errors=\"0\" skipped=\"0\">\n";
  for (const JUnitCase& testCase : cases) {
    xml += "    <testcase name=\"" + XmlEscaped(testCase.Name) + "\" classname=\"" +
           XmlEscaped(classname) + "\"";
    if (testCase.FailureMessage.empty()) {
      xml += "/>\n";
      continue;
    }
    xml += ">\n      <failure message=\"" + XmlEscaped(testCase.FailureMessage) + "\">" +
           XmlEscaped(testCase.FailureText, XmlPlace::Text) + "</failure>\n    </testcase>\n";
  }
  xml += "  </testsuite>\n</testsuites>\n";
  return xml;
}

}  // namespace dorvanta::tool
