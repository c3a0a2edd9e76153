#include <array>

#include "platform/Console.h"
#include "report/Format.h"
#include "tool/CheckCommand.h"
#include "tool/Command.h"
#include "tool/ExplainCommand.h"
#include "tool/FactsCommand.h"
#include "tool/PlanCommand.h"
#include "tool/RunCommand.h"
#include "tool/SummarizeCommand.h"
#include "tool/TestCommand.h"

namespace dorvanta::tool {

std::span<const Command> Commands() {
  static const std::array kCommands{FactsCommand(),    ExplainCommand(), CheckCommand(),
                                    TestCommand(),     RunCommand(),     PlanCommand(),
                                    SummarizeCommand()};
  return kCommands;
}

int UsageError(std::wstring_view command, std::wstring_view message) {
  platform::WriteStandardError(
      Format(L"dvtool %s: %s\nTry 'dvtool %s --help'.\n", command, std::wstring(message), command));
  return kExitUsage;
}

}  // namespace dorvanta::tool
