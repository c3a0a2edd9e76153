// Standard output.
#pragma once

#include <string_view>

namespace dorvanta::platform {

// Writes the text to standard output in the platform's console encoding and
// flushes it, so that the output of started programs cannot overtake it.
void WriteStandardOutput(std::wstring_view text);

}  // namespace dorvanta::platform
