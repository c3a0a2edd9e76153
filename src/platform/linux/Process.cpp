#include "platform/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/Encoding.h"
#include "common/UniqueResource.h"
#include "platform/linux/NativePath.h"
#include "platform/linux/ProgramPath.h"
#include "platform/linux/parse/ShellWords.h"

namespace dorvanta::platform {

struct StartedProcess {
  pid_t Pid = 0;
  int Status = 0;        // set by WaitForProcess
  bool Grouped = false;  // leads a process group of its own
};

void StartedProcessCloser::operator()(StartedProcess* process) const { delete process; }

namespace {

void CloseDescriptor(int descriptor) { ::close(descriptor); }
using UniqueDescriptor = UniqueResource<&CloseDescriptor, int, -1>;

// Owners of spawn objects, which live beside them: each destroys the object
// it points to.
void DestroyFileActions(posix_spawn_file_actions_t* actions) {
  ::posix_spawn_file_actions_destroy(actions);
}
void DestroyAttributes(posix_spawnattr_t* attributes) { ::posix_spawnattr_destroy(attributes); }
using FileActions = UniqueResource<&DestroyFileActions>;
using SpawnAttributes = UniqueResource<&DestroyAttributes>;

// The started program gets the default action for SIGPIPE, which Dorvanta
// itself ignores (see Entry.cpp): an ignored signal would stay ignored across
// the exec.
void DefaultSigpipe(posix_spawnattr_t* attributes) {
  sigset_t defaults;
  ::sigemptyset(&defaults);
  ::sigaddset(&defaults, SIGPIPE);
  ::posix_spawnattr_setsigdefault(attributes, &defaults);
  ::posix_spawnattr_setflags(attributes, POSIX_SPAWN_SETSIGDEF);
}

// A program started Endable leads a process group of its own, which every
// program it starts joins unless it leaves on purpose: the group is what
// EndProcessTree ends. Whether it does.
bool LeadsOwnGroup(const StartRequest& request, posix_spawnattr_t* attributes) {
  if (!request.KeepHandle || !request.Endable) return false;
  ::posix_spawnattr_setpgroup(attributes, 0);
  short flags = 0;
  ::posix_spawnattr_getflags(attributes, &flags);
  ::posix_spawnattr_setflags(attributes, static_cast<short>(flags | POSIX_SPAWN_SETPGROUP));
  return true;
}

// A program that is not waited for keeps no standard stream of Dorvanta's that
// is no terminal: each of them it gets as /dev/null instead. A pipe held by it
// would keep the reader of Dorvanta's output (`Dorvanta rules.ini | tee log`)
// waiting until the program ends, and a redirected file would get its output
// after the run's end. A terminal it shares, as a Windows console program
// started by ShellExecute shares the console but inherits no pipe.
int DetachStandardStreams(posix_spawn_file_actions_t* actions) {
  for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (::isatty(stream) == 1) continue;
    const int access = stream == STDIN_FILENO ? O_RDONLY : O_WRONLY;
    if (const int error =
            ::posix_spawn_file_actions_addopen(actions, stream, "/dev/null", access, 0);
        error != 0) {
      return error;
    }
  }
  return 0;
}

StartOutcome Refused(int error) {
  return StartOutcome{false, DecodeUtf8(std::strerror(error)), nullptr};
}

// Starts a program that runs on independently: an intermediate child starts it
// and ends at once, so the program's parent becomes the system's reaper (init,
// or the nearest subreaper) and no ended program is left unreaped while the run
// goes on. The intermediate is reaped here; it ends with the error number of
// its start (all of them are below 256), 0 when the program started.
template <class Spawn>
int StartIndependent(const Spawn& spawn) {
  const pid_t intermediate = ::fork();
  if (intermediate < 0) return errno;
  if (intermediate == 0) ::_exit(spawn());
  int status = 0;
  while (::waitpid(intermediate, &status, 0) != intermediate) {
    if (errno != EINTR) return errno;
  }
  // An intermediate ended by a signal gives no account of the start.
  return WIFEXITED(status) ? WEXITSTATUS(status) : ECHILD;
}

}  // namespace

StartOutcome StartProgram(const StartRequest& request) {
  const std::string native = linux_impl::ToNativePath(request.File);
  if (native.empty()) return Refused(ENOENT);
  std::string file = linux_impl::LocateProgram(native);
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) return Refused(errno);
  file = linux_impl::AbsolutePath(file);

  // An executable file is started directly, anything else is opened with the
  // desktop's default action.
  const bool executable = S_ISREG(info.st_mode) && ::access(file.c_str(), X_OK) == 0;
  std::vector<std::string> arguments;
  if (executable) {
    const auto words = linux_impl::SplitShellWords(request.Parameters);
    if (!words) return Refused(EINVAL);
    arguments.push_back(file);
    for (const std::wstring& word : *words) arguments.push_back(EncodeUtf8(word));
  } else {
    arguments = {"xdg-open", file};
  }
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actionsObject{};
  if (const int error = ::posix_spawn_file_actions_init(&actionsObject); error != 0) {
    return Refused(error);
  }
  const FileActions actions(&actionsObject);
  const std::string directory = linux_impl::ToNativePath(request.Directory);
  if (!directory.empty()) {
    const int error = ::posix_spawn_file_actions_addchdir_np(actions.get(), directory.c_str());
    if (error != 0) return Refused(error);
  }
  if (!request.KeepHandle) {
    if (const int error = DetachStandardStreams(actions.get()); error != 0) return Refused(error);
  }
  posix_spawnattr_t attributesObject{};
  if (const int error = ::posix_spawnattr_init(&attributesObject); error != 0) {
    return Refused(error);
  }
  const SpawnAttributes attributes(&attributesObject);
  DefaultSigpipe(attributes.get());
  const bool grouped = LeadsOwnGroup(request, attributes.get());
  pid_t pid = 0;
  const auto spawn = [&] {
    return executable ? ::posix_spawn(&pid, file.c_str(), actions.get(), attributes.get(),
                                      argv.data(), environ)
                      : ::posix_spawnp(&pid, "xdg-open", actions.get(), attributes.get(),
                                       argv.data(), environ);
  };
  // Only a process that is waited for stays a child of this one.
  const int error = request.KeepHandle ? spawn() : StartIndependent(spawn);
  if (error != 0) {
    StartOutcome refused = Refused(error);
    // The reason names the opener rather than the file it was to open.
    if (!executable) refused.Reason.insert(0, L"xdg-open: ");
    return refused;
  }

  StartOutcome outcome{true, {}, nullptr};
  if (request.KeepHandle) outcome.Process.reset(new StartedProcess{pid, 0, grouped});
  return outcome;
}

namespace {

// Waits until the process has ended, without reaping it, at most `limit`.
WaitEnd AwaitEnd(const StartedProcess& process, std::chrono::milliseconds limit) {
  // Through syscall(): glibc's <sys/pidfd.h> declares pidfd_open without C
  // linkage for C++ (before 2.37).
  const UniqueDescriptor descriptor(static_cast<int>(::syscall(SYS_pidfd_open, process.Pid, 0)));
  if (!descriptor) return WaitEnd::Failed;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd ended{descriptor.get(), POLLIN, 0};
    const int ready = ::poll(&ended, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
    if (ready > 0) return WaitEnd::Ended;
    if (ready == 0) return WaitEnd::TimedOut;
    if (errno != EINTR) return WaitEnd::Failed;
  }
}

}  // namespace

WaitResult WaitForProcess(StartedProcess& process, std::optional<std::chrono::milliseconds> limit) {
  if (limit) {
    const WaitEnd end = AwaitEnd(process, *limit);
    if (end != WaitEnd::Ended) return WaitResult{end};
  }
  for (;;) {
    if (::waitpid(process.Pid, &process.Status, 0) == process.Pid)
      return WaitResult{WaitEnd::Ended};
    if (errno != EINTR) return WaitResult{WaitEnd::Failed};
  }
}

bool EndProcessTree(StartedProcess& process) {
  if (::kill(process.Grouped ? -process.Pid : process.Pid, SIGKILL) != 0) return false;
  return WaitForProcess(process).End == WaitEnd::Ended;
}

std::optional<std::uint32_t> ProcessExitCode(StartedProcess& process) {
  if (WIFEXITED(process.Status)) return static_cast<std::uint32_t>(WEXITSTATUS(process.Status));
  if (WIFSIGNALED(process.Status))
    return static_cast<std::uint32_t>(128 + WTERMSIG(process.Status));
  return std::nullopt;
}

}  // namespace dorvanta::platform
