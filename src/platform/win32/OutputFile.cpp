#include "platform/OutputFile.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/SystemError.h"
#include "platform/win32/UniqueHandle.h"

namespace dorvanta::platform {

struct OutputFileState {
  win32::UniqueHandle Handle;
  // As opened, to remove it again (read through the owning pointer, which cppcheck misses).
  // cppcheck-suppress unusedStructMember
  std::wstring Path;
  bool Created = false;
  bool Disk = false;
};

void OutputFileCloser::operator()(OutputFileState* file) const { delete file; }

OutputOpen OpenOutputFile(const std::wstring& path) {
  // Reading shared, writing not: a second writer's open fails with a sharing violation.
  win32::UniqueHandle handle(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) {
    if (::GetLastError() == ERROR_SHARING_VIOLATION) return OutputOpen{nullptr, true, {}};
    return OutputOpen{nullptr, false, win32::LastErrorText()};
  }
  const bool created = ::GetLastError() != ERROR_ALREADY_EXISTS;
  const bool disk = ::GetFileType(handle.get()) == FILE_TYPE_DISK;
  return OutputOpen{OutputFile(new OutputFileState{std::move(handle), path, created, disk}), false,
                    std::wstring()};
}

std::optional<std::string> OutputFileStart(OutputFileState& file, std::size_t limit) {
  if (!file.Disk) return std::string();
  std::string bytes(limit, '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    if (!::ReadFile(file.Handle.get(), bytes.data() + done, wanted, &read, nullptr)) {
      return std::nullopt;
    }
    if (read == 0) break;
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

std::optional<std::wstring> EmptyOutputFile(OutputFileState& file) {
  if (!file.Disk) return std::nullopt;
  if (!::SetFilePointerEx(file.Handle.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN) ||
      !::SetEndOfFile(file.Handle.get())) {
    return win32::LastErrorText();
  }
  return std::nullopt;
}

std::optional<std::wstring> WriteOutputFile(OutputFileState& file, std::string_view bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    DWORD chunk = 0;
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1U << 30));
    if (!::WriteFile(file.Handle.get(), bytes.data() + written, wanted, &chunk, nullptr)) {
      return win32::LastErrorText();
    }
    if (chunk == 0) return std::wstring(L"nothing was written");
    written += chunk;
  }
  return std::nullopt;
}

std::optional<std::wstring> SyncOutputFile(OutputFileState& file) {
  if (file.Disk && !::FlushFileBuffers(file.Handle.get())) return win32::LastErrorText();
  return std::nullopt;
}

void AbandonOutputFile(OutputFile file) {
  if (!file || !file->Created) return;
  const std::wstring path = file->Path;
  // Closed first: a file that is open cannot be removed at once.
  file.reset();
  ::DeleteFileW(path.c_str());
}

}  // namespace dorvanta::platform
