#include "actions/ActionRequest.h"
#include "actions/ProcessLaunch.h"
#include "actions/ShellLinkWriter.h"

namespace dorvanta {
namespace {

class Machine final : public ActionExecutor {
 public:
  ActionOutcome Execute(const ExecuteRequest& request, ReportSink& sink) override {
    return LaunchProcess(sink, request.Program, request.Parameters, request.Wait);
  }

  // The link's description is its own path.
  ActionOutcome CreateShortcut(const ShortcutRequest& request, ReportSink& sink) override {
    return WriteShellLink(sink, request.Target, request.File, request.IconNumber, request.File,
                          request.Arguments, request.IconFile);
  }
};

}  // namespace

ActionExecutor& MachineExecutor() {
  static Machine machine;
  return machine;
}

}  // namespace dorvanta
