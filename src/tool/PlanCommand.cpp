// dvtool plan: what a rule file would do on every machine of a fleet, from the
// machines' facts documents, and what changes against an older rule file.
#include "tool/PlanCommand.h"

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/Encoding.h"
#include "platform/Console.h"
#include "platform/ProfileReader.h"
#include "report/Format.h"
#include "rules/RuleSource.h"
#include "tool/MachineVerdicts.h"
#include "tool/PlanInputs.h"
#include "tool/PlanModel.h"
#include "tool/PlanWriters.h"

namespace dorvanta::tool {
namespace {

// What is written is handed to standard output in pieces of about this size.
constexpr std::size_t kOutputPiece = std::size_t{64} * 1024;
// How far the workers may run ahead of the machine written last: the machines
// planned but not yet written in input order.
constexpr std::size_t kAhead = 256;

// One input planned: the machine, or why its file holds none.
struct Planned {
  std::optional<MachinePlan> Plan;
  std::wstring Failure;
};

struct PlanRules {
  KeptRules& Rules;
  KeptRules* Baseline;
  const SectionNumbers& Numbers;  // of both files' criteria sections
  PlanGrouping By;
};

Planned PlanOne(const PlanInput& input, const PlanRules& rules) {
  MachineFacts machine = ReadMachine(input);
  if (!machine.Facts) return Planned{std::nullopt, std::move(machine.Failure)};
  MachinePlan plan;
  plan.File = EncodeUtf8(input.Path);
  plan.Host = EncodeUtf8(machine.Host);
  plan.Group = GroupOf(*machine.Facts, rules.By);
  SnapshotFacts facts(*machine.Facts);
  // Only a second walk over the same facts learns from the first.
  std::optional<VerdictMemo> known;
  if (rules.Baseline != nullptr) known.emplace(rules.Numbers.size());
  const MachineVerdicts verdicts =
      WalkVerdicts(rules.Rules, facts, nullptr, known ? &*known : nullptr);
  if (rules.Baseline == nullptr) {
    SetVerdicts(plan, verdicts, nullptr);
  } else {
    const MachineVerdicts baseline = WalkVerdicts(*rules.Baseline, facts, nullptr, &*known);
    SetVerdicts(plan, verdicts, &baseline);
  }
  return Planned{std::move(plan), std::wstring()};
}

// Plans the inputs on worker threads and hands each result over in input
// order, one at a time, as soon as those before it are handed over.
class OrderedPlanning {
 public:
  using Deliver = std::function<void(std::size_t index, const Planned& planned)>;

  OrderedPlanning(const PlanInputs& inputs, const PlanRules& rules, Deliver deliver)
      : inputs_(inputs), rules_(rules), deliver_(std::move(deliver)) {}

  void Run() {
    const std::size_t workers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1,
                                                        std::max<std::size_t>(inputs_.size(), 1));
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < workers; ++i) threads.emplace_back([this] { Work(); });
    Work();
    for (std::thread& thread : threads) thread.join();
  }

 private:
  void Work() {
    for (;;) {
      std::size_t index = 0;
      {
        std::unique_lock lock(mutex_);
        room_.wait(lock, [this] { return next_ >= inputs_.size() || next_ < handed_ + kAhead; });
        if (next_ >= inputs_.size()) return;
        index = next_++;
      }
      Planned planned = PlanOne(inputs_[index], rules_);
      std::unique_lock lock(mutex_);
      waiting_.emplace(index, std::move(planned));
      bool handed = false;
      while (!waiting_.empty() && waiting_.begin()->first == handed_) {
        deliver_(handed_, waiting_.begin()->second);
        waiting_.erase(waiting_.begin());
        ++handed_;
        handed = true;
      }
      if (handed) room_.notify_all();
    }
  }

  const PlanInputs& inputs_;
  const PlanRules& rules_;
  Deliver deliver_;
  std::mutex mutex_;
  std::condition_variable room_;
  std::size_t next_ = 0;
  std::size_t handed_ = 0;
  std::map<std::size_t, Planned> waiting_;
};

void CannotRead(const std::wstring& what, const std::wstring& reason) {
  platform::WriteStandardError(Format(L"dvtool plan: cannot read %s: %s\n", what, reason));
}

std::optional<Profile> ReadRules(const std::wstring& path, const wchar_t* role) {
  std::optional<Profile> profile = platform::ReadProfile(path);
  if (!profile) CannotRead(Format(L"the %s %s", role, path), L"no such file, or no readable file");
  return profile;
}

// The rule files and the grouping of the command line; nothing after a usage error.
std::optional<PlanHeading> HeadingOf(const Arguments& arguments) {
  if (arguments.Words.size() != 1) {
    UsageError(L"plan", arguments.Words.empty() ? L"which rule file?" : L"one rule file at a time");
    return std::nullopt;
  }
  PlanHeading heading{arguments.Words.front(), arguments.Value(L"--baseline")};
  if (const std::optional<std::wstring> by = arguments.Value(L"--by")) {
    const std::optional<PlanGrouping> grouping = GroupingNamed(*by);
    if (!grouping) {
      UsageError(L"plan", L"--by takes model, os or language, not " + *by);
      return std::nullopt;
    }
    heading.By = *grouping;
  }
  return heading;
}

// The writer of the form the command line asks for; nothing after a usage error.
std::unique_ptr<PlanWriter> WriterOf(const Arguments& arguments, const PlanHeading& heading) {
  if (arguments.Has(L"--json") && arguments.Has(L"--csv")) {
    UsageError(L"plan", L"--json or --csv, not both");
    return nullptr;
  }
  if (arguments.Has(L"--json")) return JsonPlanWriter(heading);
  if (arguments.Has(L"--csv")) return CsvPlanWriter(heading);
  return TextPlanWriter(heading);
}

// The machines and the unreadable inputs in input order, to the writer and the
// totals, and the writer's output to standard output as it grows.
class PlanOutput {
 public:
  PlanOutput(std::unique_ptr<PlanWriter> writer, bool text)
      : writer_(std::move(writer)), text_(text) {}

  void Unreadable(const std::wstring& path, const std::wstring& reason) {
    CannotRead(path, reason);
    writer_->Unreadable(path, reason);
    ++totals_.Unreadable;
  }

  void Machine(const MachinePlan& plan) {
    totals_.Add(plan);
    writer_->Machine(plan);
    if (writer_->Waiting() >= kOutputPiece) Flush();
  }

  // Writes the rest and gives the exit code.
  int Finish() {
    writer_->End(totals_);
    Flush();
    if (totals_.Unreadable != 0) return kExitUsage;
    return totals_.Changed != 0 ? kExitFindings : kExitOk;
  }

 private:
  void Flush() {
    const std::string bytes = writer_->Take();
    if (!text_) {
      if (!bytes.empty()) platform::WriteStandardOutputBytes(bytes);
      return;
    }
    // The text goes out some whole lines at a time, never held wide at once.
    std::string_view rest(bytes);
    while (!rest.empty()) {
      std::size_t end = rest.size();
      if (end > kOutputPiece) {
        const std::size_t line = rest.find('\n', kOutputPiece);
        end = line == std::string_view::npos ? rest.size() : line + 1;
      }
      platform::WriteStandardOutput(DecodeUtf8(rest.substr(0, end)));
      rest.remove_prefix(end);
    }
  }

  std::unique_ptr<PlanWriter> writer_;
  bool text_;
  PlanTotals totals_;
};

// The files that the --facts paths name; a path that names none is unreadable.
PlanInputs GatherInputs(const std::vector<std::wstring>& paths, PlanOutput& output) {
  PlanInputs inputs;
  for (const std::wstring& path : paths) {
    if (const std::optional<std::wstring> failure = inputs.Add(path)) {
      output.Unreadable(path, *failure);
    }
  }
  return inputs;
}

int RunPlan(const Arguments& arguments) {
  const std::optional<PlanHeading> heading = HeadingOf(arguments);
  if (!heading) return kExitUsage;
  const std::vector<std::wstring> factsPaths = arguments.All(L"--facts");
  if (factsPaths.empty()) return UsageError(L"plan", L"which machines? (--facts PATH)");
  std::unique_ptr<PlanWriter> writer = WriterOf(arguments, *heading);
  if (!writer) return kExitUsage;

  std::optional<Profile> profile = ReadRules(heading->File, L"rule file");
  if (!profile) return kExitUsage;
  SectionNumbers numbers;
  KeptRules rules(std::move(*profile), &numbers);
  std::optional<KeptRules> baseline;
  if (heading->Baseline) {
    std::optional<Profile> old = ReadRules(*heading->Baseline, L"baseline");
    if (!old) return kExitUsage;
    baseline.emplace(std::move(*old), &numbers);
  }

  PlanOutput output(std::move(writer), !arguments.Has(L"--json") && !arguments.Has(L"--csv"));
  const PlanInputs inputs = GatherInputs(factsPaths, output);
  const PlanRules planRules{rules, baseline ? &*baseline : nullptr, numbers, heading->By};
  OrderedPlanning planning(inputs, planRules, [&](std::size_t index, const Planned& planned) {
    if (planned.Plan) {
      output.Machine(*planned.Plan);
    } else {
      output.Unreadable(inputs[index].Path, planned.Failure);
    }
  });
  planning.Run();
  return output.Finish();
}

}  // namespace

const Command& PlanCommand() {
  static const Command command{
      L"plan", L"show what a rule file would do on every machine of a fleet",
      L"Usage: dvtool plan <INI file> --facts PATH... [--baseline OLD-INI]\n"
      L"                   [--by model|os|language] [--json | --csv]\n\n"
      L"Walks the rule file over the facts of every machine, as 'dvtool explain --facts'\n"
      L"does for one, with no action run, and shows for each machine the pairs whose\n"
      L"criteria hold (their actions would run) and those that facts cannot decide\n"
      L"(unknown: a FileExists line). A machine whose facts end the run before the walk\n"
      L"(the OS version or the location could not be read) is named with that failure.\n"
      L"With --baseline, the older rule file is walked too, and a machine has changed\n"
      L"when a pair's status (runs, unknown, does not run) differs between the two.\n"
      L"Then per group of machines alike in one fact: how many machines, and per pair\n"
      L"how many it runs on, is unknown on, and (with --baseline) gains or loses.\n\n"
      L"  --facts PATH  a facts document ('dvtool facts --json'), or a folder: its\n"
      L"                *.json files are facts documents, each other file (but those\n"
      L"                beginning with '.') a file of Ansible's jsonfile fact cache,\n"
      L"                named after its host and holding the fact dorvanta_facts; by\n"
      L"                name, not its subfolders. May be given several times. A\n"
      L"                machine is named after its cache file, else the document's\n"
      L"                host, else its file name without .facts.json or .json\n"
      L"  --baseline OLD-INI\n"
      L"                the rule file to compare with\n"
      L"  --by FACT     the groups of the totals: model (DMI vendor and product name,\n"
      L"                the default), os (OS version major.minor and build) or\n"
      L"                language (the user's UI language ID)\n"
      L"  --json        a JSON document (schema/plan.schema.json), UTF-8, a machine a\n"
      L"                line in input order\n"
      L"  --csv         a row per machine in input order with a header line, UTF-8;\n"
      L"                pair numbers separated by blanks; a cell that a spreadsheet\n"
      L"                would take for a formula begins with '\n\n"
      L"The text shows the changed machines first, then the machines whose run ends\n"
      L"before the walk, the files not read, the groups and a line of totals.\n\n"
      L"Exit codes: 0 planned, and no machine changed (or no --baseline); 1 planned,\n"
      L"and a machine changed; 2 usage error, or a rule file, facts file or folder\n"
      L"could not be read (each named on standard error; the other machines are\n"
      L"still planned).\n",
      OptionSpec{{L"--json", L"--csv"}, {L"--baseline", L"--by"}, {L"--facts"}}, &RunPlan};
  return command;
}

}  // namespace dorvanta::tool
