// The system's message texts for error numbers.
#pragma once

#include <windows.h>

#include <string>

namespace dorvanta::platform::win32 {

// The system's message text for an error number, as FormatMessageW gives it (a
// line end included); "Unknown error N" when the system has none.
std::wstring SystemErrorText(DWORD errorCode);

}  // namespace dorvanta::platform::win32
