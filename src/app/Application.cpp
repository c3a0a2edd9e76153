#include "app/Application.h"

#include <new>

#include "app/HelpTexts.h"
#include "common/Text.h"
#include "facts/SystemFacts.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "platform/ProcessExit.h"
#include "report/Report.h"
#include "rules/RuleDriver.h"

namespace dorvanta {
namespace {

[[noreturn]] void RunUsage() {
  platform::WriteStandardOutput(kUsageText);
  ReportAndExit(1, L"WARNING: Usage\n");
}

bool IsVerboseSwitch(const std::wstring& argument) { return UpperAscii(argument) == L"/VERBOSE"; }

[[noreturn]] void Run(const std::vector<std::wstring>& arguments, WalkObserver& observer,
                      ActionExecutor& executor) {
  platform::WriteStandardOutput(Format(L"Dorvanta V%s\n\n", kProgramVersion));

  if (arguments.size() < 2 || arguments.size() > 4) RunUsage();
  const std::wstring& iniPath = arguments[1];
  if (iniPath == L"/?") RunUsage();
  if (iniPath == L"/??") {
    platform::WriteStandardOutput(kIniHelpText);
    ReportAndExit(1, L"WARNING: INI Usage\n");
  }
  if (iniPath == L"/???") {
    platform::WriteStandardOutput(kFolderHelpText);
    ReportAndExit(1, L"WARNING: CSIDL Usage\n");
  }

  ResetOutputSettings();
  bool logPathTaken = false;
  for (std::size_t i = 2; i < arguments.size(); ++i) {
    if (IsVerboseSwitch(arguments[i])) {
      Verbose = true;
    } else if (logPathTaken) {
      RunUsage();
    } else {
      LogPath = Trim(arguments[i]);
      logPathTaken = true;
      // The first message empties the log: it must not be the INI file.
      if (!LogPath.empty() && platform::NameSameExistingFile(iniPath, LogPath)) {
        platform::WriteStandardOutput(
            Format(L"ERROR: Log file \"%s\" is the INI file!\n", LogPath));
        EndRun(1);
      }
    }
  }

  platform::WriteStandardOutput(Format(L"Log output to %s\n\n", LogPath));

  if (!platform::PathExists(iniPath)) {
    ReportAndExit(1, L"ERROR: INI file \"%s\" does not exist!", iniPath);
  }

  GatherOsFacts();
  GatherLanguageFacts();
  GatherDmiFacts();
  ProcessIniFile(iniPath, observer, executor);
  ReportAndExit(0, L"Done.\n");
}

}  // namespace

void RunApplication(const std::vector<std::wstring>& arguments) {
  WalkObserver quiet;
  RunApplication(arguments, quiet, MachineExecutor());
}

void RunApplication(const std::vector<std::wstring>& arguments, WalkObserver& observer,
                    ActionExecutor& executor) {
  try {
    Run(arguments, observer, executor);
  } catch (const std::bad_alloc&) {
    // The memory of the failed step is free again, which the report needs;
    // should it still fail, the run ends without it.
    try {
      ReportAndExit(1, L"ERROR: Out of memory!\n");
    } catch (const std::bad_alloc&) {
      platform::EndProcess(1);
    }
  }
}

}  // namespace dorvanta
