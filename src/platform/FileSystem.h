// File system queries.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvanta::platform {

// True when a file or a folder exists at `path` (relative to the current folder
// when not absolute).
bool PathExists(const std::wstring& path);

// True when both paths name one and the same existing file or folder: the
// same file identity, however it is reached (a link, another letter case
// where names ignore it). False when either names nothing or cannot be
// examined.
bool NameSameExistingFile(const std::wstring& first, const std::wstring& second);

// True when `path` names a folder (links followed).
bool IsFolder(const std::wstring& path);

// The regular files of a folder (links followed), or why they could not be listed.
struct FolderFiles {
  std::optional<std::vector<std::wstring>> Paths;  // the folder's path joined to each name
  std::wstring Failure;                            // the system's reason, when there are none
};

// The regular files directly in `folder` whose names end in `suffix` (in any
// letter case), by name in code-unit order; none is no failure.
FolderFiles ListFolderFiles(const std::wstring& folder, std::wstring_view suffix);

// `path` as it is named from the folder that holds `file`: `path` itself when
// it is absolute, else joined to that folder (none when `file` names no folder).
std::wstring BesideFile(const std::wstring& file, const std::wstring& path);

// A whole file read as bytes, or why it could not be.
struct FileRead {
  std::optional<std::string> Bytes;
  std::wstring Failure;  // the system's reason, when there are no bytes
};

// The bytes of the regular file at `path`; a file of more than `limit` bytes,
// and anything that is not a regular file, is refused. Never blocks on a FIFO.
FileRead ReadWholeFile(const std::wstring& path, std::size_t limit);

}  // namespace dorvanta::platform
