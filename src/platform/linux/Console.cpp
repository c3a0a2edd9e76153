#include "platform/Console.h"

#include <cstdio>

#include "common/Encoding.h"

namespace dorvanta::platform {

void WriteStandardOutput(std::wstring_view text) {
  const std::string bytes = EncodeUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

}  // namespace dorvanta::platform
