// A file written piece by piece as things happen, such as a run record.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace dorvanta::platform {

// An open journal file; closed when the owning pointer lets go of it.
struct JournalFileState;
struct JournalFileCloser {
  void operator()(JournalFileState* file) const;
};
using JournalFile = std::unique_ptr<JournalFileState, JournalFileCloser>;

struct JournalOpen {
  JournalFile File;      // none when it could not be opened
  std::wstring Failure;  // then the system's reason
};

// Creates the file at `path`, or empties it; others may read it meanwhile.
JournalOpen OpenJournalFile(const std::wstring& path);

// Writes all of `bytes` at the end of the file, straight to the system, and
// asks the system to put them on the disk (where the file is no disk file,
// that part is left out). The system's reason when the write failed.
std::optional<std::wstring> AppendToJournal(JournalFileState& file, std::string_view bytes);

}  // namespace dorvanta::platform
