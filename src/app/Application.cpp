#include "app/Application.h"

#include <new>

#include "app/HelpTexts.h"
#include "common/Text.h"
#include "facts/SystemFacts.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "report/Report.h"
#include "rules/RuleDriver.h"

namespace dorvanta {
namespace {

int Usage(ReportSink& sink) {
  platform::WriteStandardOutput(kUsageText);
  Report(sink, L"WARNING: Usage\n");
  return 1;
}

bool IsVerboseSwitch(const std::wstring& argument) { return UpperAscii(argument) == L"/VERBOSE"; }

// The run up to its exit code. The sink is set from the command line as it is read.
int Run(const std::vector<std::wstring>& arguments, RunContext& context, ProgramSink& sink,
        WalkObserver& observer, ActionExecutor& executor) {
  platform::WriteStandardOutput(Format(L"Dorvanta V%s\n\n", kProgramVersion));

  if (arguments.size() < 2 || arguments.size() > 4) return Usage(sink);
  const std::wstring& iniPath = arguments[1];
  if (iniPath == L"/?") return Usage(sink);
  if (iniPath == L"/??") {
    platform::WriteStandardOutput(kIniHelpText);
    Report(sink, L"WARNING: INI Usage\n");
    return 1;
  }
  if (iniPath == L"/???") {
    platform::WriteStandardOutput(kFolderHelpText);
    Report(sink, L"WARNING: CSIDL Usage\n");
    return 1;
  }

  std::wstring logPath;
  bool logPathTaken = false;
  for (std::size_t i = 2; i < arguments.size(); ++i) {
    if (IsVerboseSwitch(arguments[i])) {
      sink.SetVerbose(true);
    } else if (logPathTaken) {
      return Usage(sink);
    } else {
      logPath = Trim(arguments[i]);
      logPathTaken = true;
      // The first message empties the log: it must not be the INI file.
      if (!logPath.empty() && platform::NameSameExistingFile(iniPath, logPath)) {
        platform::WriteStandardOutput(
            Format(L"ERROR: Log file \"%s\" is the INI file!\n", logPath));
        return 1;
      }
      sink.SetLogPath(logPath);
    }
  }

  platform::WriteStandardOutput(Format(L"Log output to %s\n\n", logPath));

  if (!platform::PathExists(iniPath)) {
    Report(sink, L"ERROR: INI file \"%s\" does not exist!", iniPath);
    return 1;
  }

  if (!GatherOsFacts(context) || !GatherLanguageFacts(context)) return 1;
  GatherDmiFacts(context);
  RuleFile rules(iniPath);
  if (WalkRules(context, rules, observer, executor).Reason == WalkStop::SectionTooBig) return 1;
  Report(sink, L"Done.\n");
  return 0;
}

// The run's exit code, also when a condition stopped it on the way.
int RunToItsEnd(const std::vector<std::wstring>& arguments, RunContext& context, ProgramSink& sink,
                WalkObserver& observer, ActionExecutor& executor) {
  try {
    return Run(arguments, context, sink, observer, executor);
  } catch (const RunStopped& stopped) {
    return stopped.ExitCode();
  }
}

}  // namespace

int RunApplication(const std::vector<std::wstring>& arguments) {
  WalkObserver quiet;
  return RunApplication(arguments, quiet, MachineExecutor(), nullptr);
}

int RunApplication(const std::vector<std::wstring>& arguments, WalkObserver& observer,
                   ActionExecutor& executor, RunEnd end) {
  ProgramSink sink;
  RunContext context(sink, MachineFacts(), std::move(end));
  try {
    return context.End(RunToItsEnd(arguments, context, sink, observer, executor));
  } catch (const std::bad_alloc&) {
    // The memory of the failed step is free again, which the report needs;
    // should it still fail, the run ends without it.
    try {
      Report(sink, L"ERROR: Out of memory!\n");
      return context.End(1);
    } catch (const RunStopped& stopped) {
      return context.End(stopped.ExitCode());
    } catch (const std::bad_alloc&) {
      return 1;
    }
  }
}

}  // namespace dorvanta
