// A program for the end-to-end tests to start. Its arguments, in any order
// unless told otherwise:
//   exit=N          end with exit code N (default 0)
//   marker=PATH     write PATH (relative to the working directory): a line
//                   "arg=<argument>" for every argument, with LF line ends; the
//                   file appears whole, never half written
//   wait-for=PATH   before writing the marker, wait until PATH exists (at most
//                   60 seconds); the marker then holds "wait-for=found" or
//                   "wait-for=timeout"
//   wait-line=PATH>PREFIX
//                   then wait (at most 60 seconds) until the last line of the
//                   file PATH begins with PREFIX, such as the "Waiting for"
//                   line that Dorvanta logs after starting the helper; at the
//                   time limit the helper ends with exit code 97
//   zombies         (natively) then wait (at most 60 seconds) until no other
//                   child of the helper's parent is still running, and begin
//                   the marker with "zombies=N": how many of those children
//                   are left as zombies, ended and not reaped
//   child=NAME      first of all, start a copy of the helper with the arguments
//                   "wait-for=NAME" and "marker=NAME.child", which the helper
//                   does not wait for: while that copy lives, NAME appearing
//                   makes it leave the file NAME.child; at most 60 seconds
//   sleep=MS        at the end, wait MS milliseconds before ending
// Faults for the run that started it, done in the order given, after the waits
// and before the marker; one that fails ends the helper with exit code 97:
//   remove=PATH         remove the file or folder PATH with all it holds
//   mkdir=PATH          make the folder PATH
//   rename=FROM>TO      rename FROM to TO (a file TO is replaced)
//   symlink=TARGET>LINK make LINK a symbolic link to TARGET (natively)
//   copy=FROM>TO        copy the bytes of the file FROM, as they are at that
//                       moment (such as a record the run is still writing), to
//                       the file TO
//   append=PATH>LINE    open the file PATH for appending as the C runtime
//                       opens text files (sharing reading and writing), write
//                       LINE and a line end, and hold the file open until the
//                       helper ends
//   crash               end at once through a crash, last of all: natively by
//                       SIGSEGV (its default action, without a core file), on
//                       Windows by an unhandled access violation (exit code
//                       0xC0000005, without a debugger or the error dialog)
//   linger=PATH         after the marker, wait until PATH exists (at most 60
//                       seconds) before ending, files held by append= still open
// Arguments of other forms are only written to the marker.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <sstream>
#endif

namespace {

constexpr int kFaultFailed = 97;

// How long the waits poll, and how often.
constexpr std::chrono::seconds kWaitLimit(60);
constexpr std::chrono::milliseconds kWaitStep(100);

// Polls `done` every kWaitStep until it holds, at most kWaitLimit; whether it held.
template <class Predicate>
bool WaitUntil(Predicate done) {
  for (int tries = 0; !done(); ++tries) {
    if (tries == kWaitLimit / kWaitStep) return false;
    std::this_thread::sleep_for(kWaitStep);
  }
  return true;
}

std::string_view ValueOf(std::string_view argument, std::string_view key) {
  return argument.starts_with(key) ? argument.substr(key.size()) : std::string_view();
}

// The last line of the file (without its line end); empty when it cannot be read.
std::string LastLine(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string_view view(text);
  while (!view.empty() && (view.back() == '\n' || view.back() == '\r')) view.remove_suffix(1);
  const std::size_t start = view.find_last_of("\r\n");
  return std::string(start == std::string_view::npos ? view : view.substr(start + 1));
}

// Splits "A>B" into A and B; both empty without a ">".
std::pair<std::filesystem::path, std::string> SplitPair(std::string_view value) {
  const std::size_t split = value.find('>');
  if (split == std::string_view::npos) return {};
  return {std::filesystem::path(value.substr(0, split)), std::string(value.substr(split + 1))};
}

[[noreturn]] void Crash() {
#ifdef _WIN32
  // Without a debugger or a dialog (Wine would start its debugger): the
  // process ends with the exception code as its exit code, as Windows ends it
  // when error reporting shows nothing.
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  ::SetUnhandledExceptionFilter(
      [](EXCEPTION_POINTERS* /*exception*/) -> LONG { return EXCEPTION_EXECUTE_HANDLER; });
  ::RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
#else
  const rlimit noCore{0, 0};
  (void)::setrlimit(RLIMIT_CORE, &noCore);
  // The default action, also where a sanitizer has put a handler of its own.
  (void)std::signal(SIGSEGV, SIG_DFL);
  (void)std::raise(SIGSEGV);
#endif
  std::abort();
}

#ifndef _WIN32
// The state letters of the other children of this helper's parent, from the
// "pid (name) state ppid ..." lines of /proc/*/stat.
std::string SiblingStates() {
  const std::string parent = std::to_string(::getppid());
  const std::string self = std::to_string(::getpid());
  std::string states;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string pid = entry.path().filename().string();
    if (pid == self || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in(entry.path() / "stat");
    std::string stat;
    std::getline(in, stat);
    // The name may hold blanks and parentheses: the fields follow its last ")".
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(stat.substr(close + 1));
    char state = 0;
    std::string ppid;
    if (fields >> state >> ppid && ppid == parent) states += state;
  }
  return states;
}

std::string ZombieLine() {
  std::string states;
  WaitUntil([&] {
    states = SiblingStates();
    return states.find_first_not_of('Z') == std::string::npos;
  });
  return "zombies=" + std::to_string(std::ranges::count(states, 'Z')) + "\n";
}
#endif

// Starts a copy of this program with `arguments`, not waited for; false when
// it could not be started.
bool StartCopy(const std::vector<std::string>& arguments) {
#ifdef _WIN32
  wchar_t self[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (length == 0 || length == MAX_PATH) return false;
  std::wstring line = L"\"" + std::wstring(self) + L"\"";
  for (const std::string& argument : arguments) {
    line += L" " + std::wstring(argument.begin(), argument.end());
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
    return false;
  }
  ::CloseHandle(started.hThread);
  ::CloseHandle(started.hProcess);
  return true;
#else
  std::vector<std::string> words{"helper"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  return ::posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv.data(), environ) == 0;
#endif
}

// Starts the copy of each child= argument; false when one could not be started.
bool StartChildren(const std::vector<std::string_view>& arguments) {
  return std::ranges::all_of(arguments, [](std::string_view argument) {
    const std::string name(ValueOf(argument, "child="));
    return name.empty() || StartCopy({"wait-for=" + name, "marker=" + name + ".child"});
  });
}

// The time of the last sleep= argument; none without one.
std::chrono::milliseconds SleepOf(const std::vector<std::string_view>& arguments) {
  std::chrono::milliseconds sleep(0);
  for (const std::string_view argument : arguments) {
    if (const auto v = ValueOf(argument, "sleep="); !v.empty()) {
      sleep = std::chrono::milliseconds(std::strtol(std::string(v).c_str(), nullptr, 10));
    }
  }
  return sleep;
}

// One fault; false when it could not be done. Files opened by append= go to
// `held`.
bool DoFault(std::string_view argument, std::vector<std::ofstream>& held) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (const auto v = ValueOf(argument, "append="); !v.empty()) {
    const auto [path, line] = SplitPair(v);
    if (path.empty()) return false;
    std::ofstream& out = held.emplace_back(path, std::ios::app);
    out << line << std::endl;
    return out.good();
  }
  if (const auto v = ValueOf(argument, "remove="); !v.empty()) {
    fs::remove_all(v, error);
    return !error;
  }
  if (const auto v = ValueOf(argument, "mkdir="); !v.empty()) {
    return fs::create_directory(v, error) && !error;
  }
  if (const auto v = ValueOf(argument, "rename="); !v.empty()) {
    const auto [from, to] = SplitPair(v);
    if (from.empty() || to.empty()) return false;
    fs::rename(from, to, error);
    return !error;
  }
  if (const auto v = ValueOf(argument, "copy="); !v.empty()) {
    const auto [from, to] = SplitPair(v);
    std::ifstream in(from, std::ios::binary);
    if (from.empty() || to.empty() || !in) return false;
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
    return out.good();
  }
  if (const auto v = ValueOf(argument, "symlink="); !v.empty()) {
    const auto [target, link] = SplitPair(v);
    if (target.empty() || link.empty()) return false;
    fs::create_symlink(target, link, error);
    return !error;
  }
  return true;
}

// Waits until the last line of each wait-line= file begins with its prefix;
// false at the time limit.
bool WaitForLines(const std::vector<std::string_view>& arguments) {
  for (const std::string_view argument : arguments) {
    const auto v = ValueOf(argument, "wait-line=");
    if (v.empty()) continue;
    const auto [path, prefix] = SplitPair(v);
    // Bound again in the captures: clang before 16 captures no structured binding.
    if (!WaitUntil([&file = path, &start = prefix] { return LastLine(file).starts_with(start); })) {
      return false;
    }
  }
  return true;
}

void WriteMarker(const std::string& marker, const std::string& waitFor, const std::string& zombies,
                 const std::vector<std::string_view>& arguments) {
  const std::string part = marker + ".part";
  {
    std::ofstream out(part, std::ios::binary);
    if (!waitFor.empty()) {
      out << "wait-for=" << (std::filesystem::exists(waitFor) ? "found" : "timeout") << "\n";
    }
    out << zombies;
    for (const std::string_view argument : arguments) out << "arg=" << argument << "\n";
  }
  std::filesystem::rename(part, marker);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  int exitCode = 0;
  std::string marker;
  std::string waitFor;
  std::string linger;
  bool crash = false;
  if (!StartChildren(arguments)) return kFaultFailed;
  for (const std::string_view argument : arguments) {
    if (const auto v = ValueOf(argument, "exit="); !v.empty()) {
      exitCode = static_cast<int>(std::strtol(std::string(v).c_str(), nullptr, 10));
    }
    if (const auto v = ValueOf(argument, "marker="); !v.empty()) marker = v;
    if (const auto v = ValueOf(argument, "wait-for="); !v.empty()) waitFor = v;
    if (const auto v = ValueOf(argument, "linger="); !v.empty()) linger = v;
    if (argument == "crash") crash = true;
  }
  // The marker tells whether the file came in time.
  if (!waitFor.empty()) WaitUntil([&] { return std::filesystem::exists(waitFor); });
  if (!WaitForLines(arguments)) return kFaultFailed;
  std::string zombies;
#ifndef _WIN32
  if (std::ranges::find(arguments, "zombies") != arguments.end()) zombies = ZombieLine();
#endif
  std::vector<std::ofstream> held;
  for (const std::string_view argument : arguments) {
    if (!DoFault(argument, held)) return kFaultFailed;
  }
  if (crash) Crash();
  if (!marker.empty()) WriteMarker(marker, waitFor, zombies, arguments);
  if (!linger.empty()) WaitUntil([&] { return std::filesystem::exists(linger); });
  std::this_thread::sleep_for(SleepOf(arguments));
  return exitCode;
}
