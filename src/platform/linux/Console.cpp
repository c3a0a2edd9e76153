#include "platform/Console.h"

#include <cstdio>

#include "common/Encoding.h"

namespace dorvanta::platform {

void WriteStandardOutput(std::wstring_view text) {
  const std::string bytes = EncodeUtf8(text);
  // The console is a copy for whoever watches: a standard output that is
  // closed or full must not stop an unattended run, whose record is the log.
  (void)std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  (void)std::fflush(stdout);
}

}  // namespace dorvanta::platform
