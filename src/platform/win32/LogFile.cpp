#include "platform/LogFile.h"

#include <windows.h>

#include "common/Encoding.h"
#include "platform/win32/UniqueHandle.h"

namespace dorvanta::platform {
namespace {

LogWriteResult Failure() {
  return LogWriteResult{false, static_cast<std::int32_t>(::GetLastError())};
}

// 8-bit text with the CRLF line ends of Windows text files.
std::string TextFileBytes(std::wstring_view text) {
  const std::string eightBit = EncodeEightBit(text);
  std::string bytes;
  bytes.reserve(eightBit.size() + eightBit.size() / 16);
  for (const char c : eightBit) {
    if (c == '\n') bytes.push_back('\r');
    bytes.push_back(c);
  }
  return bytes;
}

}  // namespace

LogWriteResult WriteLogFile(const std::wstring& path, std::wstring_view text, bool truncate) {
  // Shared for reading and writing, as the C runtime opens text files: a
  // program started without waiting may append to the same log meanwhile.
  win32::UniqueHandle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    truncate ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Failure();
  if (!truncate) {
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(file.get(), zero, nullptr, FILE_END)) return Failure();
  }
  const std::string bytes = TextFileBytes(text);
  std::size_t written = 0;
  while (written < bytes.size()) {
    DWORD chunk = 0;
    const DWORD wanted =
        static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1U << 30));
    if (!::WriteFile(file.get(), bytes.data() + written, wanted, &chunk, nullptr) || chunk == 0) {
      return Failure();
    }
    written += chunk;
  }
  if (!::CloseHandle(file.release())) return Failure();
  return LogWriteResult{};
}

}  // namespace dorvanta::platform
