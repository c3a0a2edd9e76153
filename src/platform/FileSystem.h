// File system queries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// A file name as the system holds it: UTF-16 code units on Windows, bytes
// elsewhere.
#ifdef _WIN32
using NativeName = std::wstring_view;
#else
using NativeName = std::string_view;
#endif

// The names of files in one folder, kept one after another in one text as the
// system holds them: a folder of many files takes little more room than the
// names themselves.
class FolderListing {
 public:
  // `prefix`: the folder's path with the separator that joins a name to it.
  explicit FolderListing(std::wstring prefix) : prefix_(std::move(prefix)) {}

  [[nodiscard]] std::size_t size() const { return names_.size(); }
  [[nodiscard]] bool empty() const { return names_.empty(); }
  [[nodiscard]] std::wstring Name(std::size_t index) const;
  // The folder's path joined to the name.
  [[nodiscard]] std::wstring Path(std::size_t index) const;
  // Every path, in order.
  [[nodiscard]] std::vector<std::wstring> Paths() const;

  void Add(NativeName name);
  // Puts the names in the order of their code units (bytes elsewhere than on
  // Windows).
  void Sort();

 private:
  struct Span {
    std::uint32_t Offset;
    std::uint32_t Length;
  };
  [[nodiscard]] NativeName At(Span name) const {
    return NativeName(text_).substr(name.Offset, name.Length);
  }

  std::wstring prefix_;
  std::basic_string<NativeName::value_type> text_;
  std::vector<Span> names_;
};

// The regular files of a folder (links followed), or why they could not be listed.
struct FolderFiles {
  std::optional<FolderListing> Files;
  std::wstring Failure;  // the system's reason, when there are none
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
