#include "actions/ActionRequest.h"
#include "actions/ProcessLaunch.h"
#include "actions/ShellLinkWriter.h"

namespace dorvanta {

ActionOutcome Machine::Execute(const ExecuteRequest& request, ReportSink& sink) {
  return LaunchProcess(sink, request.Program, request.Parameters, request.Wait, waitLimit_);
}

// The link's description is its own path.
ActionOutcome Machine::CreateShortcut(const ShortcutRequest& request, ReportSink& sink) {
  return WriteShellLink(sink, request.Target, request.File, request.IconNumber, request.File,
                        request.Arguments, request.IconFile);
}

ActionExecutor& MachineExecutor() {
  static Machine machine;
  return machine;
}

}  // namespace dorvanta
