#include <cstdio>

#include "platform/Console.h"
#include "platform/common/ConsoleText.h"

namespace dorvanta::platform {
namespace {

// The console is a copy for whoever watches: a stream that is closed or full
// must not stop an unattended run, whose record is the log.
void Write(std::FILE* stream, std::string_view bytes) {
  (void)std::fwrite(bytes.data(), 1, bytes.size(), stream);
  (void)std::fflush(stream);
}

}  // namespace

void WriteStandardOutput(std::wstring_view text) { Write(stdout, EncodeConsoleText(text)); }

void WriteStandardError(std::wstring_view text) { Write(stderr, EncodeConsoleText(text)); }

void WriteStandardOutputBytes(std::string_view bytes) { Write(stdout, bytes); }

}  // namespace dorvanta::platform
