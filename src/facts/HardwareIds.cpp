#include "facts/HardwareIds.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "platform/Devices.h"

namespace dorvanta {
namespace {

// The ID in UTF-16 code units, the unit in which the lists are stored.
std::u16string ToUtf16(std::wstring_view text) {
  std::u16string units;
  for (const wchar_t c : text) {
    // A wchar_t code point (signed on Linux), which the check takes for a signed char.
    // NOLINTNEXTLINE(bugprone-signed-char-misuse,cert-str34-c)
    const auto code = static_cast<std::uint32_t>(c);
    if (code > 0xFFFF) {
      units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(code));
    }
  }
  return units;
}

char16_t FoldAscii(char16_t c) {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

bool EntryMatches(std::u16string_view entry, std::u16string_view id, bool prefixMatch) {
  if (prefixMatch)
    return entry.size() >= id.size() && SameIgnoringAsciiCase(entry.substr(0, id.size()), id);
  return SameIgnoringAsciiCase(entry, id);
}

// Walks a list of zero-terminated UTF-16LE entries. The walk ends at the first
// empty entry or at the end of the bytes, whichever comes first; an entry that
// runs to the end without its terminator ends there.
bool ListHasMatch(std::span<const std::byte> bytes, std::u16string_view id, bool prefixMatch) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(std::to_integer<unsigned>(bytes[2 * i]) |
                                     (std::to_integer<unsigned>(bytes[2 * i + 1]) << 8));
  }
  const std::u16string_view list(units);
  std::size_t start = 0;
  while (start < list.size()) {
    const std::size_t end = std::min(list.find(u'\0', start), list.size());
    if (end == start) return false;
    if (EntryMatches(list.substr(start, end - start), id, prefixMatch)) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

bool FindHardwareId(std::optional<std::wstring_view> id, bool prefixMatch) {
  if (!id) return false;
  const std::u16string wanted = ToUtf16(*id);
  const std::unique_ptr<platform::DeviceList> devices = platform::OpenPresentDevices();
  if (!devices) return false;

  bool found = false;
  for (std::uint32_t index = 0; devices->HasDevice(index); ++index) {
    std::vector<std::byte> buffer;
    platform::PropertyRead read = devices->ReadHardwareIds(index, buffer);
    bool noIds = false;
    while (!read.Succeeded) {
      if (read.Error == platform::kErrorInvalidData) {
        noIds = true;
        break;
      }
      // Any other failure than a too small buffer ends the whole search, and so
      // does a too small buffer that would not grow (it would be asked for forever).
      if (read.Error != platform::kErrorInsufficientBuffer) return found;
      if (read.RequiredBytes <= buffer.size()) return found;
      try {
        buffer.assign(read.RequiredBytes, std::byte{0});
      } catch (const std::bad_alloc&) {
        return found;
      }
      read = devices->ReadHardwareIds(index, buffer);
    }
    if (noIds) continue;
    const std::size_t returned = std::min<std::size_t>(read.RequiredBytes, buffer.size());
    if (ListHasMatch(std::span<const std::byte>(buffer).first(returned), wanted, prefixMatch)) {
      found = true;
    }
  }
  return found;
}

}  // namespace dorvanta
