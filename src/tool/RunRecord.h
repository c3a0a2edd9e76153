// dvtool run's account of a run: the exit-code class, and the run record that
// tells every step as a line of JSON as it happens.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "actions/ActionRequest.h"
#include "rules/WalkObserver.h"
#include "tool/RunClass.h"
#include "tool/WalkJson.h"

namespace dorvanta::tool {

// The exit code that tells the class: Windows' codes (3010, 1641, 1618) where
// the caller sees `exitCodeBits` = 32 bits of it, small numbers (10, 11, 12)
// where it sees only 8.
int ClassExitCode(RunClass runClass, int exitCodeBits);

// Codes of a waited-for program.
using CodeList = std::set<std::uint32_t>;

// A comma-separated list of decimal codes; nothing when it is no such list.
std::optional<CodeList> ParseCodeList(std::wstring_view list);

// The class each code of a waited-for program puts the run in; a code that is
// not in it is a failure.
using CodeClasses = std::map<std::uint32_t, RunClass>;

// The codes' classes on a system whose exit codes have `exitCodeBits` bits: 0 is
// success, and on Windows (32 bits) Windows Installer's 3010, 1641 and 1618 are
// reboot required, reboot initiated and retry later. Elsewhere no other code has
// a class but failure: ordinary programs exit with small codes when they fail.
CodeClasses DefaultCodeClasses(int exitCodeBits);

// A code that two of the lists given name, with the classes of both.
struct CodeConflict {
  std::uint32_t Code = 0;
  RunClass First = RunClass::Success;
  RunClass Second = RunClass::Success;
};

// The lists given for some classes (indexed by RunClass) put over `classes`: a
// list given replaces its class's codes, and its codes leave any other class.
// A code in two lists given is a conflict, and `classes` is left as it was.
std::optional<CodeConflict> GiveCodeLists(
    CodeClasses& classes, const std::array<std::optional<CodeList>, kRunClassNames.size()>& given);

// Where the lines of a record go.
class RecordSink {
 public:
  virtual ~RecordSink() = default;
  // Takes whole lines (each with its line end) at once: a kill afterwards keeps them.
  virtual void Append(std::string_view lines) = 0;
  // Puts the lines taken so far on the disk: a power loss afterwards keeps them.
  virtual void Sync() = 0;
};

// True when `start`, the beginning of a file, is a record's first line as
// RunRecord writes it: dvtool's run-start, ended by its line end.
bool IsRecordStart(std::string_view start);

struct RunOptions {
  CodeClasses Classes = DefaultCodeClasses(32);
  bool Codes = false;  // the exit code tells the class
  int ExitCodeBits = 32;
};

// The class one action puts the run in: failure when it was not done, or when
// a waited-for program's code is unknown or has no class in the options.
RunClass ActionClass(const ActionOutcome& outcome, bool waited, const RunOptions& options);

// Watches the run and carries its actions out through another executor,
// timing each; every event becomes one line for the sink, when there is one.
// Before the machine carries an action out, an action-start line names it, so
// a record cut short says what was running. The lines go to the sink in batches of whole lines:
// when a batch fills, and at each sync. The lines reach the disk at the start of the run, before
// the machine carries an action out, after each action it did and at the end of the run; so after a
// kill the record holds whole lines only, every line written before an action started among them.
class RunRecord final : public WalkObserver, public ActionExecutor {
 public:
  RunRecord(RecordSink* sink, RunOptions options, ActionExecutor& machine)
      : sink_(sink), options_(std::move(options)), machine_(machine) {}

  // run-start with these fields (host, user, program, ini, iniSha256, facts).
  void Started(const Json& fields);

  void PairReached(int pair) override;
  void CriterionEvaluated(int pair, const std::wstring& line,
                          const CriterionResult& result) override;
  void PairDecided(int pair, Verdict verdict) override;
  void ActionsMissing(int pair) override;
  void ActionReached(int pair, const std::wstring& line) override;
  void ActionRun(int pair, const std::wstring& line, const ActionResult& result) override;
  void WalkEnded(const WalkEnd& end) override;

  ActionOutcome Execute(const ExecuteRequest& request, ReportSink& sink) override;
  ActionOutcome CreateShortcut(const ShortcutRequest& request, ReportSink& sink) override;

  // run-end after the program ended with `programExitCode`; the process's exit code.
  int Ended(int programExitCode);

 private:
  // A line of `event` and the time, whose other members `fields(JsonLine&)` adds.
  template <typename Fields>
  void WriteLine(const char* event, const Fields& fields);
  void Write(const char* event, const Json& fields);
  // Hands the batch to the sink.
  void Flush();
  // Hands the sink the lines written since the last time, if any, and syncs them.
  void Sync();
  // The pair line of a pair whose criteria did not fail waits for what its
  // ACTIONx holds: it is written before the first action starts.
  void WritePendingPair(bool actionsMissing);
  // Writes action-start for the action line reached, which asks for
  // `request`, puts the record on the disk and times the call.
  template <typename Call>
  ActionOutcome Timed(const Json& request, Call call);

  RecordSink* sink_;
  std::string batch_;  // whole lines the sink has not taken yet
  bool unsynced_ = false;
  RunOptions options_;
  ActionExecutor& machine_;
  std::optional<std::pair<int, Verdict>> pendingPair_;
  std::pair<int, std::wstring> actionReached_;
  std::chrono::milliseconds lastDuration_{0};
  RunClass class_ = RunClass::Success;
  std::set<int> pairsRun_;
  int actionsStarted_ = 0;
  int actionsFailed_ = 0;
};

}  // namespace dorvanta::tool
