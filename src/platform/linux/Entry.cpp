#include "platform/Entry.h"

#include <csignal>
#include <string>
#include <vector>

#include "common/Encoding.h"

int main(int argc, char** argv) {
  // A console that has gone away (a closed pipe) must not end the run: writes
  // to it fail and are ignored, as on Windows, and the log goes on.
  (void)std::signal(SIGPIPE, SIG_IGN);
  // A parent that ignores SIGCHLD hands that on, and with it ignored the
  // system reaps every child at once: no started program could be waited for.
  (void)std::signal(SIGCHLD, SIG_DFL);
  std::vector<std::wstring> arguments;
  arguments.reserve(static_cast<std::size_t>(argc));
  for (int i = 0; i < argc; ++i) arguments.push_back(dorvanta::DecodeUtf8(argv[i]));
  return dorvanta::ProgramMain(arguments);
}
