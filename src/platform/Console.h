// Standard output and standard error.
#pragma once

#include <string_view>

namespace dorvanta::platform {

// Writes the text to standard output in the platform's console encoding and
// flushes it, so that the output of started programs cannot overtake it.
void WriteStandardOutput(std::wstring_view text);

// The same for standard error.
void WriteStandardError(std::wstring_view text);

// Writes bytes as they are (a UTF-8 document) to standard output and flushes them.
void WriteStandardOutputBytes(std::string_view bytes);

}  // namespace dorvanta::platform
