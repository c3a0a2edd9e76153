// What an action line asks for once its parameters are read and its paths
// resolved, and what came of it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "report/Report.h"

namespace dorvanta {

struct ExecuteRequest {
  std::wstring Program;     // resolved
  std::wstring Parameters;  // handed to the program unchanged
  bool Wait = true;
};

inline constexpr std::int32_t kNoIconNumber = -1;

struct ShortcutRequest {
  std::wstring File;       // resolved, with the shortcut suffix
  std::wstring Target;     // resolved
  std::wstring Arguments;  // empty for "[NONE]"
  std::wstring IconFile;   // resolved; may be empty
  std::int32_t IconNumber = kNoIconNumber;
};

// The outcome of carrying a request out.
struct ActionOutcome {
  // Started (and, when waited for, ended), or written.
  bool Done = false;
  // The exit code of a program that was waited for, when it could be read.
  std::optional<std::uint32_t> ExitCode;
  // Why it was not done, in the system's or the program's words; may be empty.
  std::wstring Failure;
};

inline ActionOutcome Done(std::optional<std::uint32_t> exitCode = std::nullopt) {
  return ActionOutcome{true, exitCode, std::wstring()};
}
inline ActionOutcome NotDone(std::wstring failure) {
  return ActionOutcome{false, std::nullopt, std::move(failure)};
}

struct ActionResult {
  std::wstring Name;  // as written, trimmed; empty for a line without "="
  // What the line asked for; none when it was refused before anything was asked.
  std::variant<std::monostate, ExecuteRequest, ShortcutRequest> Request;
  ActionOutcome Outcome;
};

// Carries out the requests of action lines. The real one starts programs and
// writes shortcut files; another may only take note of them.
class ActionExecutor {
 public:
  ActionExecutor() = default;
  ActionExecutor(const ActionExecutor&) = delete;
  ActionExecutor& operator=(const ActionExecutor&) = delete;
  virtual ~ActionExecutor() = default;

  // Each reports what it does to `sink`, as the run's messages say it.
  virtual ActionOutcome Execute(const ExecuteRequest& request, ReportSink& sink) = 0;
  virtual ActionOutcome CreateShortcut(const ShortcutRequest& request, ReportSink& sink) = 0;

  // False for one that only takes note: what the actions would change is then
  // unchanged, and the walk cannot know it after them.
  [[nodiscard]] virtual bool CarriesOut() const { return true; }
};

// Starts the programs and writes the shortcut files. A waited-for program that
// still runs after `waitLimit`, when there is one, is ended with every program
// it started, and its action is not done.
class Machine final : public ActionExecutor {
 public:
  explicit Machine(std::optional<std::chrono::seconds> waitLimit = std::nullopt)
      : waitLimit_(waitLimit) {}

  ActionOutcome Execute(const ExecuteRequest& request, ReportSink& sink) override;
  ActionOutcome CreateShortcut(const ShortcutRequest& request, ReportSink& sink) override;

 private:
  std::optional<std::chrono::seconds> waitLimit_;
};

// The machine without a time limit, as Dorvanta runs it.
ActionExecutor& MachineExecutor();

}  // namespace dorvanta
