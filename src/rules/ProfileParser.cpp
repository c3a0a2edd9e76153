#include "rules/ProfileParser.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include "common/Encoding.h"
#include "common/Text.h"

namespace dorvanta {
namespace {

template <typename Unit>
using Text = std::basic_string_view<Unit>;

std::uint32_t CodeOf(char unit) { return static_cast<unsigned char>(unit); }
std::uint32_t CodeOf(char16_t unit) { return unit; }

// Tab, LF, VT, FF, CR, space, and Ctrl-Z (the DOS end-of-file mark).
template <typename Unit>
bool IsProfileSpace(Unit unit) {
  const std::uint32_t c = CodeOf(unit);
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A;
}

template <typename Unit>
Text<Unit> TrimProfileSpace(Text<Unit> text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsProfileSpace(text[begin])) ++begin;
  while (end > begin && IsProfileSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

template <typename Unit>
Text<Unit> View(const std::basic_string<Unit>& text) {
  return text;
}

template <typename Unit>
Text<Unit> CutAtNul(Text<Unit> text) {
  return text.substr(0, text.find(Unit{0}));
}

std::wstring Decode(std::string_view text) { return DecodeUtf8(text); }

std::wstring Decode(std::u16string_view text) { return DecodeUtf16(text); }

// Calls on_line(line, start, next) for every line of text[begin, end) that is
// not blank, trimmed; `start` is where the line begins and `next` where the
// following one does. Stops early when on_line returns false.
template <typename Unit, typename OnLine>
void ForEachLine(Text<Unit> text, std::size_t begin, std::size_t end, OnLine&& on_line) {
  std::size_t pos = begin;
  while (pos < end) {
    std::size_t stop = pos;
    while (stop < end && text[stop] != Unit{'\r'} && text[stop] != Unit{'\n'}) ++stop;
    const Text<Unit> line = TrimProfileSpace(text.substr(pos, stop - pos));
    const std::size_t next = std::min(stop + 1, end);
    if (!line.empty() && !on_line(line, pos, next)) return;
    pos = next;
  }
}

// The section name of a header line; nothing for any other line.
template <typename Unit>
std::optional<Text<Unit>> HeaderName(Text<Unit> line) {
  if (line.front() != Unit{'['}) return std::nullopt;
  const std::size_t close = line.rfind(Unit{']'});
  if (close == Text<Unit>::npos) return std::nullopt;
  return CutAtNul(TrimProfileSpace(line.substr(1, close - 1)));
}

std::u16string ReadUtf16(std::string_view bytes, bool big_endian) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
  }
  return units;
}

std::wstring FoldSectionName(std::wstring_view name) { return UpperAscii(name); }

// The start of the nameless section's header, which has none.
constexpr std::size_t kNoHeader = std::numeric_limits<std::size_t>::max();

// Where each line of the text begins: after LF, after CR LF, after a lone CR.
template <typename Unit>
std::vector<std::size_t> LineStarts(Text<Unit> text) {
  std::vector<std::size_t> starts{0};
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool crlf = text[i] == Unit{'\r'} && i + 1 < text.size() && text[i + 1] == Unit{'\n'};
    if ((text[i] == Unit{'\n'} || text[i] == Unit{'\r'}) && !crlf) starts.push_back(i + 1);
  }
  return starts;
}

std::size_t LineNumberAt(const std::vector<std::size_t>& starts, std::size_t offset) {
  return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), offset) -
                                  starts.begin());
}

}  // namespace

Profile::Profile(std::string bytes) {
  // An empty file has no sections at all, not even the nameless one.
  if (bytes.empty()) return;
  const std::string_view view(bytes);
  if (view.starts_with("\xFF\xFE")) {
    text_ = ReadUtf16(view.substr(2), false);
  } else if (view.starts_with("\xFE\xFF")) {
    text_ = ReadUtf16(view.substr(2), true);
  } else {
    if (view.starts_with("\xEF\xBB\xBF")) {
      bytes.erase(0, 3);
    } else {
      counts_bytes_ = true;
    }
    text_ = std::move(bytes);
  }
  std::visit([this](const auto& text) { Index(View(text)); }, text_);
}

template <typename Unit>
void Profile::Index(std::basic_string_view<Unit> text) {
  // Lines before the first header belong to the section with the empty name.
  Range* current = &sections_.try_emplace(std::wstring(), Range{0, text.size()}).first->second;
  headers_.push_back(Header{std::wstring(), kNoHeader, Range{0, text.size()}, true});
  ForEachLine(text, 0, text.size(), [&](Text<Unit> line, std::size_t start, std::size_t next) {
    if (const std::optional<Text<Unit>> name = HeaderName(line)) {
      if (current != nullptr) current->end = start;
      headers_.back().body.end = start;
      std::wstring decoded = Decode(*name);
      const auto [entry, inserted] =
          sections_.try_emplace(FoldSectionName(decoded), Range{next, text.size()});
      // A later section of a name already seen is never read.
      current = inserted ? &entry->second : nullptr;
      headers_.push_back(Header{std::move(decoded), start, Range{next, text.size()}, inserted});
    }
    return true;
  });
}

template <typename Unit>
void Profile::VisitLines(std::basic_string_view<Unit> text, Range range, const LineVisitor& visit) {
  // The Windows reader drops a line with an empty key when the line kept
  // before it in the section has an empty key too (or one that starts with NUL).
  bool previous_key_blank = false;
  std::wstring out;
  ForEachLine(text, range.begin, range.end, [&](Text<Unit> line, std::size_t start, std::size_t) {
    Text<Unit> key = line;
    std::optional<Text<Unit>> value;
    if (const std::size_t equals = line.find(Unit{'='}); equals != Text<Unit>::npos) {
      key = TrimProfileSpace(line.substr(0, equals));
      value = TrimProfileSpace(line.substr(equals + 1));
    }
    if (key.empty() && previous_key_blank) return true;
    previous_key_blank = key.empty() || key.front() == Unit{0};
    if (!key.empty() && key.front() == Unit{';'}) return true;
    key = CutAtNul(key);
    if (key.empty() && !value) return true;
    out = Decode(key);
    if (value) {
      out.push_back(L'=');
      out += Decode(CutAtNul(*value));
    }
    return visit(out, start);
  });
}

const Profile::Range* Profile::Find(std::wstring_view section) const {
  const auto found = sections_.find(FoldSectionName(section.substr(0, section.find(L'\0'))));
  return found == sections_.end() ? nullptr : &found->second;
}

bool Profile::VisitSection(std::wstring_view section,
                           const std::function<bool(std::wstring_view line)>& visit) const {
  const Range* range = Find(section);
  if (range == nullptr) return false;
  std::visit(
      [&](const auto& text) {
        VisitLines(View(text), *range,
                   [&](std::wstring_view line, std::size_t) { return visit(line); });
      },
      text_);
  return true;
}

std::vector<Profile::OutlineSection> Profile::Outline() const {
  std::vector<OutlineSection> outline;
  std::visit(
      [&](const auto& stored) {
        const auto text = View(stored);
        const std::vector<std::size_t> starts = LineStarts(text);
        for (const Header& header : headers_) {
          OutlineSection section{header.name,
                                 header.start == kNoHeader ? 0 : LineNumberAt(starts, header.start),
                                 header.read,
                                 {}};
          VisitLines(text, header.body, [&](std::wstring_view line, std::size_t start) {
            section.Lines.push_back(NumberedLine{LineNumberAt(starts, start), std::wstring(line)});
            return true;
          });
          // The nameless section counts only when it holds lines.
          if (header.start != kNoHeader || !section.Lines.empty()) {
            outline.push_back(std::move(section));
          }
        }
      },
      text_);
  return outline;
}

Profile::FilledSection Profile::FillSection(std::wstring_view section,
                                            std::span<wchar_t> buffer) const {
  const std::size_t size =
      std::min<std::size_t>(buffer.size(), std::numeric_limits<std::uint32_t>::max());
  if (size < 2) {
    if (size == 1) buffer[0] = L'\0';
    return FilledSection{0, size};
  }
  // Every line is copied with its NUL as long as two characters remain; a line
  // is cut to leave room for its NUL and the final one. Room is counted as the
  // Windows reader counts it (`units`), which may be more than the characters
  // placed here (`used`).
  std::size_t used = 0;
  std::size_t units = 0;
  bool cut = false;
  const bool found = VisitSection(section, [&](std::wstring_view line) {
    if (size - units <= 2) return false;
    const std::size_t room = size - units - 2;
    std::size_t count = 0;
    std::size_t width = 0;
    for (; count < line.size(); ++count) {
      const std::size_t unit_count = WindowsUnits(line[count]);
      if (width + unit_count > room) {
        cut = true;
        break;
      }
      width += unit_count;
    }
    std::copy_n(line.begin(), count, buffer.begin() + static_cast<std::ptrdiff_t>(used));
    buffer[used + count] = L'\0';
    used += count + 1;
    units += width + 1;
    return !cut;
  });
  if (!found) {
    buffer[0] = L'\0';
    buffer[1] = L'\0';
    return FilledSection{0, 2};
  }
  buffer[used] = L'\0';
  return FilledSection{static_cast<std::uint32_t>(cut || size - units <= 2 ? size - 2 : used),
                       used + 1};
}

std::size_t Profile::WindowsUnits(wchar_t c) const {
  // A wchar_t code point (signed on Linux), which the check takes for a signed char.
  // NOLINTNEXTLINE(bugprone-signed-char-misuse,cert-str34-c)
  const auto code = static_cast<char32_t>(static_cast<std::uint32_t>(c));
  // Without a byte order mark the Windows reader counts the bytes the character
  // took in the file, else its UTF-16 units.
  return counts_bytes_ ? Utf8BytesOf(code) : Utf16UnitsOf(code);
}

}  // namespace dorvanta
