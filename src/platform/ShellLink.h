// Writing a shortcut file: a shell link on Windows, a desktop launcher on Linux.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/OsInfo.h"

namespace dorvanta::platform {

// The file name ending that a shortcut file must have on each system.
constexpr std::wstring_view ShortcutSuffixOf(System system) {
  return system == System::Windows ? L".lnk" : L".desktop";
}

// The ending on this system.
std::wstring_view ShortcutSuffix();

struct ShortcutRequest {
  std::wstring Target;
  std::wstring LinkFile;
  std::wstring Description;
  std::wstring Arguments;  // not set when empty
  std::wstring IconFile;   // no icon when empty
  std::int32_t IconIndex = -1;
};

// The steps of writing a shortcut, in their order.
enum class ShortcutStep {
  CreateInstance,
  PersistFile,
  SetArguments,
  SetPath,
  SetDescription,
  SetIconLocation,
  Save
};

// Writes the shortcut; returns the step that failed, or nothing when the file was
// saved. Every object is released before it returns; a failed step leaves no file.
std::optional<ShortcutStep> WriteShortcut(const ShortcutRequest& request);

}  // namespace dorvanta::platform
