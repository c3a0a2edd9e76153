// The system's message texts for error numbers.
#pragma once

#include <windows.h>

#include <string>

namespace dorvanta::platform::win32 {

// The system's message text for an error number, as FormatMessageW gives it (a
// line end included); "Unknown error N" when the system has none.
std::wstring SystemErrorText(DWORD errorCode);

// The system's text for the last error of the calling thread, without its line end.
std::wstring LastErrorText();

}  // namespace dorvanta::platform::win32
