// A program for the end-to-end tests to start. Its arguments, in any order:
//   exit=N          end with exit code N (default 0)
//   marker=PATH     write PATH (relative to the working directory): a line
//                   "arg=<argument>" for every argument, with LF line ends; the
//                   file appears whole, never half written
//   wait-for=PATH   before writing the marker, wait until PATH exists (at most
//                   60 seconds); the marker then holds "wait-for=found" or
//                   "wait-for=timeout"
// Arguments of other forms are only written to the marker.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>

namespace {

std::string_view ValueOf(std::string_view argument, std::string_view key) {
  return argument.starts_with(key) ? argument.substr(key.size()) : std::string_view();
}

}  // namespace

int main(int argc, char** argv) {
  int exitCode = 0;
  std::string marker;
  std::string waitFor;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument(argv[i]);
    if (const auto v = ValueOf(argument, "exit="); !v.empty()) exitCode = std::atoi(v.data());
    if (const auto v = ValueOf(argument, "marker="); !v.empty()) marker = v;
    if (const auto v = ValueOf(argument, "wait-for="); !v.empty()) waitFor = v;
  }
  for (int tries = 0; !waitFor.empty() && !std::filesystem::exists(waitFor) && tries < 600;
       ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (!marker.empty()) {
    const std::string part = marker + ".part";
    {
      std::ofstream out(part, std::ios::binary);
      if (!waitFor.empty()) {
        out << "wait-for=" << (std::filesystem::exists(waitFor) ? "found" : "timeout") << "\n";
      }
      for (int i = 1; i < argc; ++i) out << "arg=" << argv[i] << "\n";
    }
    std::filesystem::rename(part, marker);
  }
  return exitCode;
}
