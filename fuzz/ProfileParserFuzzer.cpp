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
#include "platform/linux/parse/ProfileParser.h"

namespace {

using dorvanta::fuzz::Check;

void CheckBuffer(const dorvanta::platform::linux_impl::Profile& profile, const std::wstring& name,
                 bool found, const std::wstring& packed, std::size_t size) {
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
  const std::size_t room = size - 2;
  if (packed.size() > room) {
    // Cut inside a line, or after one when only two characters were left: the
    // text ends in two NULs either way.
    Check(result == room, "a section that does not fit gives size - 2");
    Check(std::wstring_view(buffer.data(), room) == std::wstring_view(packed).substr(0, room),
          "a cut section holds the start of its lines");
    Check(buffer[room] == L'\0' &&
              (room == 0 || buffer[room - 1] == L'\0' || buffer[room + 1] == L'\0'),
          "a cut section ends in two NULs");
    return;
  }
  Check(result == packed.size(), "the result counts the lines and their NULs");
  Check(std::wstring_view(buffer.data(), packed.size()) == packed, "the buffer holds the lines");
  Check(buffer[packed.size()] == L'\0', "a further NUL follows the lines");
}

// The text in which to look for section names: UTF-16 after its byte order
// mark, else UTF-8.
std::wstring SectionText(const std::uint8_t* data, std::size_t size) {
  const bool little = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
  const bool big = size >= 2 && data[0] == 0xFE && data[1] == 0xFF;
  if (!little && !big) return dorvanta::fuzz::DecodeText(data, size);
  std::wstring text;
  for (std::size_t i = 2; i + 1 < size; i += 2) {
    text.push_back(
        static_cast<wchar_t>(little ? data[i] | (data[i + 1] << 8) : (data[i] << 8) | data[i + 1]));
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using dorvanta::platform::linux_impl::Profile;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const Profile profile(bytes);

  // The section names the text seems to hold, read as UTF-8, and a name it does not.
  std::set<std::wstring> names = {L"", L"CRITERIA1", L"ACTION1", L"NO SUCH SECTION"};
  for (const std::wstring& line : dorvanta::fuzz::SplitLines(SectionText(data, size))) {
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
    for (const std::size_t bufferSize :
         {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, size % 61, packed.size(),
          packed.size() + 1, packed.size() + 2, packed.size() + 3, std::size_t{4096}}) {
      CheckBuffer(profile, name, found, packed, bufferSize);
    }
  }
  return 0;
}
