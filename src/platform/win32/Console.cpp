#include "platform/Console.h"

#include <cstdio>

#include "common/Encoding.h"

namespace dorvanta::platform {

// Standard output is in the C runtime's text mode, which ends lines with CRLF.
void WriteStandardOutput(std::wstring_view text) {
  const std::string bytes = EncodeEightBit(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

}  // namespace dorvanta::platform
