#include "platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
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
  int Status = 0;  // set by WaitForProcess
};

void StartedProcessCloser::operator()(StartedProcess* process) const { delete process; }

namespace {

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
  if (request.KeepHandle) outcome.Process.reset(new StartedProcess{pid, 0});
  return outcome;
}

WaitResult WaitForProcess(StartedProcess& process) {
  for (;;) {
    if (::waitpid(process.Pid, &process.Status, 0) == process.Pid)
      return WaitResult{WaitEnd::Ended};
    if (errno != EINTR) return WaitResult{WaitEnd::Failed};
  }
}

std::optional<std::uint32_t> ProcessExitCode(StartedProcess& process) {
  if (WIFEXITED(process.Status)) return static_cast<std::uint32_t>(WEXITSTATUS(process.Status));
  if (WIFSIGNALED(process.Status))
    return static_cast<std::uint32_t>(128 + WTERMSIG(process.Status));
  return std::nullopt;
}

}  // namespace dorvanta::platform
