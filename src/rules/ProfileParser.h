// Parsing of profile (INI) files and reading one section of them the way the
// Windows profile reader hands it out. Bytes in, lines out; no file access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace dorvanta {

// One profile file, indexed once: every section name (letter case of A..Z
// ignored) leads to the text of the first section of that name. The text is
// kept in the file's own code units, so a large file costs little more than
// its size.
//
// The file's encoding comes from its byte order mark: UTF-8 (EF BB BF),
// UTF-16 LE (FF FE) or UTF-16 BE (FE FF); without one the bytes are read as
// UTF-8, invalid bytes surviving as U+DC80 + byte. A last odd byte of a UTF-16
// file is ignored.
//
// Lines end at CR or LF. White space (tab, LF, VT, FF, CR, space and Ctrl-Z) is
// removed at both ends of a line, of a section name, and around the key and
// value of a `key = value` line. Blank lines and lines beginning with ';' are
// skipped. A line beginning with '[' is a section header when it holds a ']':
// the name runs to the last ']'; without one it is an ordinary line. Lines
// before the first header form a section whose name is empty. A NUL character
// ends the text of a name or value, as the Windows reader keeps C strings.
class Profile {
 public:
  explicit Profile(std::string bytes);

  // Calls `visit` for each line of the section, in file order, as the reader
  // hands it out, until `visit` returns false. Returns false when the profile
  // has no section of that name.
  bool VisitSection(std::wstring_view section,
                    const std::function<bool(std::wstring_view line)>& visit) const;

  // Fills `buffer` with the lines of the section: each line NUL-terminated and
  // one further NUL after the last. Returns the number of characters placed,
  // the final NUL not counted. When the lines with their NULs take more than
  // buffer.size() - 2 characters, the buffer holds as much as fits, the last
  // line cut short, followed by two NULs, and the result is buffer.size() - 2;
  // lines taking exactly buffer.size() - 2 also give that result. Characters
  // are counted there as the Windows reader counts them, which reads a file
  // without byte order mark as 8-bit text and any other as UTF-16: one per
  // byte of the file without a byte order mark, one per UTF-16 code unit (two
  // for a character beyond U+FFFF) otherwise. A missing
  // section and a section without lines give 0. A buffer of fewer than two
  // characters gives 0 and holds at most a NUL.
  std::uint32_t ReadSection(std::wstring_view section, std::span<wchar_t> buffer) const {
    return FillSection(section, buffer).Length;
  }

  struct FilledSection {
    std::uint32_t Length;  // what ReadSection returns
    std::size_t Placed;    // the characters placed at the start of the buffer, NULs included
  };
  // ReadSection, telling besides how much of the buffer it wrote.
  FilledSection FillSection(std::wstring_view section, std::span<wchar_t> buffer) const;

  // A line as the reader hands it out, and the number of the file line it
  // comes from (1 for the first; CR LF, LF and a lone CR each end a line).
  struct NumberedLine {
    std::size_t Number;
    std::wstring Text;
  };

  struct OutlineSection {
    std::wstring
        Name;  // between the brackets, trimmed; empty for the lines before the first header
    std::size_t HeaderLine;  // 0 for the lines before the first header
    bool Read;  // false for a later section of a name seen before: the reader never hands it out
    std::vector<NumberedLine> Lines;  // as the reader hands out (or would hand out) its lines
  };

  // Every section of the file in file order, later ones of a name included,
  // with the line numbers of its header and of each line.
  std::vector<OutlineSection> Outline() const;

 private:
  struct Range {
    std::size_t begin;
    std::size_t end;
  };

  // A header as it stands in the file.
  struct Header {
    std::wstring name;
    std::size_t start;  // where its line begins; the largest size_t for the nameless section
    Range body;
    bool read;
  };

  using LineVisitor = std::function<bool(std::wstring_view line, std::size_t start)>;

  template <typename Unit>
  void Index(std::basic_string_view<Unit> text);

  template <typename Unit>
  static void VisitLines(std::basic_string_view<Unit> text, Range range, const LineVisitor& visit);

  const Range* Find(std::wstring_view section) const;

  // The characters that the Windows reader makes of the character `c`.
  std::size_t WindowsUnits(wchar_t c) const;

  // UTF-8 bytes, or UTF-16 code units in the machine's byte order.
  std::variant<std::string, std::u16string> text_;
  // Upper-cased section name to the body of the first section of that name.
  std::unordered_map<std::wstring, Range> sections_;
  // Every header in file order.
  std::vector<Header> headers_;
  // A file without byte order mark: the Windows reader counts its bytes.
  bool counts_bytes_ = false;
};

}  // namespace dorvanta
