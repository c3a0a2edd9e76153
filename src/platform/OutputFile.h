// A file that dvtool writes: a run record line by line as things happen, or a
// whole document. Opened without emptying it, so that what it holds can be
// judged before anything is lost.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace dorvanta::platform {

// An open output file; closed when the owning pointer lets go of it.
struct OutputFileState;
struct OutputFileCloser {
  void operator()(OutputFileState* file) const;
};
using OutputFile = std::unique_ptr<OutputFileState, OutputFileCloser>;

struct OutputOpen {
  OutputFile File;  // none when it could not be opened
  // Another process holds the file open for writing (then there is no File).
  bool Busy = false;
  std::wstring Failure;  // else the system's reason when there is no File
};

// Opens the file at `path` for writing, creating it when it is missing, and
// leaves what it holds as it is. Never waits: a FIFO without a reader fails at
// once. While it is open no other OpenOutputFile of it succeeds (an advisory
// lock natively, writing not shared on Windows); others may read it.
OutputOpen OpenOutputFile(const std::wstring& path);

// The first bytes of the file as it was opened, at most `limit` of them; empty
// for a file that holds none and for anything that is no file on a disk (a
// FIFO, a device, a console), where writing replaces nothing. Nothing when
// they cannot be read.
std::optional<std::string> OutputFileStart(OutputFileState& file, std::size_t limit);

// Empties a file on a disk; later writes start at its beginning. The system's
// reason when that failed.
std::optional<std::wstring> EmptyOutputFile(OutputFileState& file);

// Writes all of `bytes` after what was written before, straight to the system
// (a kill of the process afterwards keeps them). The system's reason when the
// write failed.
std::optional<std::wstring> WriteOutputFile(OutputFileState& file, std::string_view bytes);

// Asks the system to put what was written on the disk, so that a power loss
// keeps it; nothing to do for what is no file on a disk. The system's reason
// when that failed.
std::optional<std::wstring> SyncOutputFile(OutputFileState& file);

// Closes the file; when OpenOutputFile created it, it is removed again, so
// that an output refused after the open leaves nothing behind.
void AbandonOutputFile(OutputFile file);

}  // namespace dorvanta::platform
