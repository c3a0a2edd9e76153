// The log file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dorvanta::platform {

struct LogWriteResult {
  bool Ok = true;
  // The operating system's error number of the failed step (0 when none was
  // recorded): the failure line prints the number itself ("ERROR: (%ld) ...").
  std::int32_t ErrorNumber = 0;
};

// Opens the file at `path` as text for writing (emptied when `truncate`, else
// appended to), writes `text` with the platform's line ends and encoding, and
// closes it again.
LogWriteResult WriteLogFile(const std::wstring& path, std::wstring_view text, bool truncate);

}  // namespace dorvanta::platform
