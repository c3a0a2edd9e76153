#include "tool/JsonLine.h"

#include <cstdint>
#include <utility>

#include "common/Encoding.h"

namespace dorvanta::tool {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// What the UTF-8 at the start of `bytes` (not empty) holds: a well-formed
// character of `Length` bytes, or, when `Valid` is false, an ill-formed piece
// of `Length` bytes that one U+FFFD stands for: the longest start of a
// character it has, or its first byte when even that byte starts none.
struct Utf8Piece {
  bool Valid;
  std::size_t Length;
};

// What a lead byte of UTF-8 asks for: the bytes of its character (0 when it
// leads none) and the range of the byte after it.
struct Utf8Lead {
  std::size_t Length;
  std::uint8_t Low;
  std::uint8_t High;
};

Utf8Lead LeadOf(std::uint8_t lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};  // no overlong form
  if (lead == 0xED) return {3, 0x80, 0x9F};  // no surrogate
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};  // no overlong form
  if (lead == 0xF4) return {4, 0x80, 0x8F};  // nothing beyond U+10FFFF
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  return {0, 0, 0};
}

Utf8Piece NextPiece(std::string_view bytes) {
  const auto lead = static_cast<std::uint8_t>(bytes[0]);
  if (lead < 0x80) return {true, 1};
  const Utf8Lead expected = LeadOf(lead);
  if (expected.Length == 0) return {false, 1};
  for (std::size_t k = 1; k < expected.Length; ++k) {
    if (k >= bytes.size()) return {false, k};
    const auto b = static_cast<std::uint8_t>(bytes[k]);
    if (b < (k == 1 ? expected.Low : 0x80) || b > (k == 1 ? expected.High : 0xBF)) {
      return {false, k};
    }
  }
  return {true, expected.Length};
}

// The number of bytes at the start of `bytes` that a JSON string holds as they are.
std::size_t PlainLength(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<std::uint8_t>(bytes[i]);
    if (b < 0x80) {
      if (b < 0x20 || b == '"' || b == '\\') break;
      ++i;
      continue;
    }
    const Utf8Piece piece = NextPiece(bytes.substr(i));
    if (!piece.Valid) break;
    i += piece.Length;
  }
  return i;
}

// The rest of a string after its plain start, and its closing quote.
void AppendEscaped(std::string& out, std::string_view bytes) {
  constexpr char kHex[] = "0123456789abcdef";
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t plain = PlainLength(bytes.substr(i));
    out.append(bytes.substr(i, plain));
    i += plain;
    if (i == bytes.size()) break;
    const auto b = static_cast<std::uint8_t>(bytes[i]);
    if (b >= 0x80) {
      out.append(kReplacement);
      i += NextPiece(bytes.substr(i)).Length;
      continue;
    }
    ++i;
    switch (b) {
      case '"':
        out.append("\\\"");
        break;
      case '\\':
        out.append("\\\\");
        break;
      case '\b':
        out.append("\\b");
        break;
      case '\f':
        out.append("\\f");
        break;
      case '\n':
        out.append("\\n");
        break;
      case '\r':
        out.append("\\r");
        break;
      case '\t':
        out.append("\\t");
        break;
      default:
        out.append("\\u00");
        out.push_back(kHex[b >> 4]);
        out.push_back(kHex[b & 0xF]);
        break;
    }
  }
  out.push_back('"');
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view bytes) {
  out.push_back('"');
  const std::size_t plain = PlainLength(bytes);
  out.append(bytes.substr(0, plain));
  AppendEscaped(out, bytes.substr(plain));
}

void AppendJsonString(std::string& out, std::wstring_view text) {
  // Written as UTF-8 in place; only text with something to escape or replace
  // is copied out and written again.
  out.push_back('"');
  const std::size_t start = out.size();
  AppendEncodedUtf8(out, text);
  const std::size_t plain = start + PlainLength(std::string_view(out).substr(start));
  if (plain == out.size()) {
    out.push_back('"');
    return;
  }
  const std::string rest = out.substr(plain);
  out.resize(plain);
  AppendEscaped(out, rest);
}

JsonLine& JsonLine::AddJson(std::string_view name, const Json& value) {
  Member(name).append(value.dump(-1, ' ', false, Json::error_handler_t::replace));
  return *this;
}

std::string& JsonLine::Member(std::string_view name) {
  if (!std::exchange(first_, false)) out_.push_back(',');
  AppendJsonString(out_, name);
  out_.push_back(':');
  return out_;
}

}  // namespace dorvanta::tool
