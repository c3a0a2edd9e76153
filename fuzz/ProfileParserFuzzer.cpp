// The Linux profile reader: a whole file's bytes in, the sections out. Every
// section the file names is read line by line and into buffers of several
// sizes, and the two readings have to agree.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "common/Text.h"
#include "rules/ProfileParser.h"

namespace {

using dorvanta::fuzz::Check;

// The characters the Windows reader counts for `c`: the bytes it took in a
// file without byte order mark (an undecodable byte, kept as U+DC80 + byte,
// took one), its UTF-16 code units in any other file.
std::size_t WindowsWidth(wchar_t c, bool countsBytes) {
  const auto code = static_cast<std::uint32_t>(c);
  if (!countsBytes) return code > 0xFFFF ? 2 : 1;
  if (code < 0x80 || (code >= 0xDC80 && code <= 0xDCFF)) return 1;
  if (code < 0x800) return 2;
  return code < 0x10000 ? 3 : 4;
}

void CheckBuffer(const dorvanta::Profile& profile, const std::wstring& name, bool found,
                 const std::wstring& packed, bool countsBytes, std::size_t size) {
  std::vector<wchar_t> buffer(size, L'#');
  const std::uint32_t result = profile.ReadSection(name, buffer);
  if (size < 2) {
    Check(result == 0, "a buffer under two characters gives 0");
    Check(size == 0 || buffer[0] == L'\0', "a one-character buffer holds a NUL");
    return;
  }
  if (!found || packed.empty()) {
    Check(result == 0, "a missing or empty section gives 0");
    return;
  }
  // The lines with their NULs as far as they fit in size - 2 Windows
  // characters; a character that would cross the limit is left out whole.
  const std::size_t room = size - 2;
  std::size_t kept = 0;
  std::size_t width = 0;
  for (; kept < packed.size(); ++kept) {
    const std::size_t next = WindowsWidth(packed[kept], countsBytes);
    if (width + next > room) break;
    width += next;
  }
  for (std::size_t i = kept; i < packed.size(); ++i) width += WindowsWidth(packed[i], countsBytes);
  Check(result == (width >= room ? room : packed.size()),
        "the result counts the lines and their NULs, or is size - 2 when they fill the buffer");
  Check(std::wstring_view(buffer.data(), kept) == std::wstring_view(packed).substr(0, kept),
        "the buffer holds the lines as far as they fit");
  Check(buffer[kept] == L'\0', "a NUL follows the lines placed");
  Check(kept == 0 || packed[kept - 1] == L'\0' || buffer[kept + 1] == L'\0',
        "a line cut short ends in two NULs");
}

enum class Mark { None, Utf8, Utf16Little, Utf16Big };

// The byte order mark that the data starts with.
Mark ByteOrderMark(const std::uint8_t* data, std::size_t size) {
  if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) return Mark::Utf8;
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) return Mark::Utf16Little;
  if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) return Mark::Utf16Big;
  return Mark::None;
}

// The text in which to look for section names, after its byte order mark:
// UTF-16 with a UTF-16 mark, else UTF-8.
std::wstring SectionText(const std::uint8_t* data, std::size_t size, Mark mark) {
  if (mark == Mark::None) return dorvanta::fuzz::DecodeText(data, size);
  if (mark == Mark::Utf8) return dorvanta::fuzz::DecodeText(data + 3, size - 3);
  const bool little = mark == Mark::Utf16Little;
  std::wstring text;
  for (std::size_t i = 2; i + 1 < size; i += 2) {
    text.push_back(
        static_cast<wchar_t>(little ? data[i] | (data[i + 1] << 8) : (data[i] << 8) | data[i + 1]));
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using dorvanta::Profile;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const Profile profile(bytes);
  const Mark mark = ByteOrderMark(data, size);
  const bool countsBytes = mark == Mark::None;

  // The section names the text seems to hold, read as UTF-8, and a name it does not.
  std::set<std::wstring> names = {L"", L"CRITERIA1", L"ACTION1", L"NO SUCH SECTION"};
  for (const std::wstring& line : dorvanta::fuzz::SplitLines(SectionText(data, size, mark))) {
    const std::wstring trimmed = dorvanta::Trim(line);
    const std::size_t close = trimmed.rfind(L']');
    if (trimmed.starts_with(L'[') && close != std::wstring::npos) {
      const std::wstring name = dorvanta::Trim(trimmed.substr(1, close - 1));
      names.insert(name);
      names.insert(dorvanta::UpperAscii(name));
    }
  }

  for (const std::wstring& name : names) {
    std::wstring packed;
    std::size_t visits = 0;
    const bool found = profile.VisitSection(name, [&](std::wstring_view line) {
      ++visits;
      packed.append(line).push_back(L'\0');
      return true;
    });
    if (visits > 1) {
      std::size_t stopped = 0;
      profile.VisitSection(name, [&](std::wstring_view) { return ++stopped < 1; });
      Check(stopped == 1, "a visit that returns false ends the walk");
    }
    std::size_t units = 0;
    for (const wchar_t c : packed) units += WindowsWidth(c, countsBytes);
    for (const std::size_t bufferSize :
         {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, size % 61, packed.size(),
          packed.size() + 1, packed.size() + 2, units, units + 1, units + 2, units + 3,
          std::size_t{4096}}) {
      CheckBuffer(profile, name, found, packed, countsBytes, bufferSize);
    }
  }
  return 0;
}
