#include "actions/ActionRequest.h"
#include "actions/ProcessLaunch.h"
#include "actions/ShellLinkWriter.h"

namespace dorvanta {
namespace {

class Machine final : public ActionExecutor {
 public:
  ActionOutcome Execute(const ExecuteRequest& request) override {
    return LaunchProcess(request.Program, request.Parameters, request.Wait);
  }

  // The link's description is its own path.
  ActionOutcome CreateShortcut(const ShortcutRequest& request) override {
    return WriteShellLink(request.Target, request.File, request.IconNumber, request.File,
                          request.Arguments, request.IconFile);
  }
};

}  // namespace

ActionExecutor& MachineExecutor() {
  static Machine machine;
  return machine;
}

}  // namespace dorvanta
