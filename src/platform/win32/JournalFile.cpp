#include "platform/JournalFile.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/SystemError.h"
#include "platform/win32/UniqueHandle.h"

namespace dorvanta::platform {

struct JournalFileState {
  win32::UniqueHandle Handle;
};

void JournalFileCloser::operator()(JournalFileState* file) const { delete file; }

namespace {}  // namespace

JournalOpen OpenJournalFile(const std::wstring& path) {
  win32::UniqueHandle handle(::CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return JournalOpen{nullptr, win32::LastErrorText()};
  return JournalOpen{JournalFile(new JournalFileState{std::move(handle)}), std::wstring()};
}

std::optional<std::wstring> AppendToJournal(JournalFileState& file, std::string_view bytes) {
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
  // A pipe or a console has no disk to reach: best effort there.
  if (!::FlushFileBuffers(file.Handle.get()) &&
      ::GetFileType(file.Handle.get()) == FILE_TYPE_DISK) {
    return win32::LastErrorText();
  }
  return std::nullopt;
}

}  // namespace dorvanta::platform
