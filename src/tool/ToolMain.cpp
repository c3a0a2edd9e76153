// dvtool: the companion of Dorvanta on the same engine.
#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "app/HelpTexts.h"
#include "platform/Console.h"
#include "platform/Entry.h"
#include "report/Format.h"
#include "tool/Command.h"

namespace dorvanta {
namespace {

void PrintOverview() {
  std::wstring text =
      L"Usage: dvtool <command> [options]\n"
      L"       dvtool <command> --help\n"
      L"       dvtool --version\n\n"
      L"Commands:\n";
  for (const tool::Command& command : tool::Commands()) {
    text += Format(L"  %s", command.Name);
    text.append(std::max<std::size_t>(2, 12 - command.Name.size()), L' ');
    text += Format(L"%s\n", command.Summary);
  }
  text +=
      L"\nExit codes: 0 done; 1 findings (check: the rule file has errors; test: a case\n"
      L"failed; plan: a machine changed); 2 usage error or an input that could not be\n"
      L"read. run ends with Dorvanta's exit code, or with the class of the run (--codes).\n";
  platform::WriteStandardOutput(text);
}

bool IsHelp(const std::wstring& argument) {
  return argument == L"--help" || argument == L"-h" || argument == L"/?";
}

}  // namespace

int ProgramMain(const std::vector<std::wstring>& arguments) {
  if (arguments.size() < 2) {
    PrintOverview();
    return tool::kExitUsage;
  }
  const std::wstring& name = arguments[1];
  if (IsHelp(name)) {
    PrintOverview();
    return tool::kExitOk;
  }
  if (name == L"--version") {
    platform::WriteStandardOutput(Format(L"dvtool %s\n", kProgramVersion));
    return tool::kExitOk;
  }
  const std::span<const tool::Command> commands = tool::Commands();
  const auto command = std::find_if(commands.begin(), commands.end(),
                                    [&](const tool::Command& c) { return c.Name == name; });
  if (command == commands.end()) {
    platform::WriteStandardError(
        Format(L"dvtool: unknown command %s\nTry 'dvtool --help'.\n", name));
    return tool::kExitUsage;
  }
  const std::span<const std::wstring> rest(arguments.begin() + 2, arguments.end());
  const auto asksHelp = [&command](const std::wstring& argument) {
    return command->OwnWords ? argument == L"--help" || argument == L"-h" : IsHelp(argument);
  };
  if (std::any_of(rest.begin(), rest.end(), asksHelp)) {
    platform::WriteStandardOutput(command->Help);
    return tool::kExitOk;
  }
  if (command->OwnWords) return command->Run(tool::Arguments{{}, {}, {rest.begin(), rest.end()}});
  tool::ParsedArguments parsed = tool::ParseArguments(rest, command->Options);
  if (!parsed.Parsed) return tool::UsageError(command->Name, parsed.Error);
  return command->Run(*parsed.Parsed);
}

}  // namespace dorvanta
