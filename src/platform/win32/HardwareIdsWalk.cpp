#include "platform/win32/HardwareIdsWalk.h"

#include <algorithm>
#include <new>
#include <string>

#include "common/Encoding.h"

namespace dorvanta::platform::win32 {
namespace {

// The entries of a list of zero-terminated UTF-16LE strings. The list ends at
// its first empty entry or at the end of the bytes, whichever comes first; an
// entry that runs to the end without its terminator ends there.
std::vector<std::wstring> EntriesOf(std::span<const std::byte> bytes) {
  std::vector<std::wstring> entries;
  std::u16string entry;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(std::to_integer<unsigned>(bytes[i]) |
                                            (std::to_integer<unsigned>(bytes[i + 1]) << 8));
    if (unit != u'\0') {
      entry.push_back(unit);
      continue;
    }
    if (entry.empty()) return entries;
    entries.push_back(DecodeUtf16(entry));
    entry.clear();
  }
  if (!entry.empty()) entries.push_back(DecodeUtf16(entry));
  return entries;
}

}  // namespace

std::vector<PresentDevice> WalkHardwareIds(DeviceListCalls& list) {
  std::vector<PresentDevice> devices;
  for (std::uint32_t index = 0; list.EnumDevice(index); ++index) {
    std::vector<std::byte> buffer;
    PropertyRead read = list.ReadHardwareIds(buffer);
    bool noIds = false;
    while (!read.Succeeded) {
      // Any other failure than a too small buffer ends the whole walk.
      if (read.Error != kErrorInvalidData && read.Error != kErrorInsufficientBuffer) return devices;
      // The device has no hardware IDs, or keeps asking for a buffer that would
      // not grow (it would be asked for forever): it is skipped.
      if (read.Error == kErrorInvalidData || read.RequiredBytes <= buffer.size()) {
        noIds = true;
        break;
      }
      try {
        buffer.assign(read.RequiredBytes, std::byte{0});
      } catch (const std::bad_alloc&) {
        return devices;
      }
      read = list.ReadHardwareIds(buffer);
    }
    if (noIds) continue;
    const std::size_t returned = std::min<std::size_t>(read.RequiredBytes, buffer.size());
    devices.push_back(PresentDevice{EntriesOf(std::span<const std::byte>(buffer).first(returned))});
  }
  return devices;
}

}  // namespace dorvanta::platform::win32
