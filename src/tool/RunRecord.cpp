#include "tool/RunRecord.h"

#include <algorithm>
#include <variant>

#include "common/Encoding.h"
#include "common/IsoTime.h"
#include "common/Text.h"
#include "platform/Clock.h"
#include "rules/PairName.h"
#include "tool/JsonLine.h"

namespace dorvanta::tool {
namespace {

constexpr int kRebootRequired = 3010;
constexpr int kRebootInitiated = 1641;
constexpr int kRetryLater = 1618;

// The lines wait in memory until a sync or until they fill this many bytes.
constexpr std::size_t kBatchBytes = std::size_t{64} * 1024;

}  // namespace

int ClassExitCode(RunClass runClass, int exitCodeBits) {
  const bool wide = exitCodeBits >= 32;
  switch (runClass) {
    case RunClass::Success:
      return 0;
    case RunClass::RebootRequired:
      return wide ? kRebootRequired : 10;
    case RunClass::RebootInitiated:
      return wide ? kRebootInitiated : 11;
    case RunClass::RetryLater:
      return wide ? kRetryLater : 12;
    case RunClass::Failure:
      break;
  }
  return 1;
}

std::optional<CodeList> ParseCodeList(std::wstring_view list) {
  CodeList codes;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = std::min(list.find(L',', start), list.size());
    const std::wstring word = Trim(list.substr(start, comma - start));
    if (word.empty() || word.size() > 10 ||
        !std::all_of(word.begin(), word.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
      return std::nullopt;
    }
    const std::uint64_t value = std::stoull(word);
    if (value > UINT32_MAX) return std::nullopt;
    codes.insert(static_cast<std::uint32_t>(value));
    if (comma == list.size()) return codes;
    start = comma + 1;
  }
}

CodeClasses DefaultCodeClasses(int exitCodeBits) {
  CodeClasses classes{{0, RunClass::Success}};
  if (exitCodeBits >= 32) {
    for (const RunClass passed :
         {RunClass::RebootRequired, RunClass::RebootInitiated, RunClass::RetryLater}) {
      classes.emplace(static_cast<std::uint32_t>(ClassExitCode(passed, exitCodeBits)), passed);
    }
  }
  return classes;
}

std::optional<CodeConflict> GiveCodeLists(
    CodeClasses& classes, const std::array<std::optional<CodeList>, kRunClassNames.size()>& given) {
  CodeClasses named;
  for (std::size_t i = 0; i < given.size(); ++i) {
    if (!given[i]) continue;
    const auto runClass = static_cast<RunClass>(i);
    for (const std::uint32_t code : *given[i]) {
      const auto [at, added] = named.emplace(code, runClass);
      if (!added) return CodeConflict{code, at->second, runClass};
    }
  }
  std::erase_if(classes, [&](const auto& entry) {
    return named.contains(entry.first) || given[static_cast<std::size_t>(entry.second)].has_value();
  });
  classes.merge(named);
  return std::nullopt;
}

RunClass ActionClass(const ActionOutcome& outcome, bool waited, const RunOptions& options) {
  if (!outcome.Done) return RunClass::Failure;
  if (!waited) return RunClass::Success;
  if (!outcome.ExitCode) return RunClass::Failure;
  const auto found = options.Classes.find(*outcome.ExitCode);
  return found == options.Classes.end() ? RunClass::Failure : found->second;
}

bool IsRecordStart(std::string_view start) {
  const std::size_t end = start.find('\n');
  if (end == std::string_view::npos) return false;
  const Json line = Json::parse(start.substr(0, end), nullptr, false);
  if (!line.is_object()) return false;
  const auto event = line.find("event");
  const auto program = line.find("program");
  return event != line.end() && *event == "run-start" && program != line.end() &&
         program->is_string() && program->get_ref<const std::string&>().starts_with("dvtool ");
}

template <typename Fields>
void RunRecord::WriteLine(const char* event, const Fields& fields) {
  if (sink_ == nullptr) return;
  JsonLine line(batch_);
  line.Add("event", event).Add("time", IsoTime(platform::UtcNow()));
  fields(line);
  line.End();
  unsynced_ = true;
  if (batch_.size() >= kBatchBytes) Flush();
}

void RunRecord::Write(const char* event, const Json& fields) {
  WriteLine(event, [&fields](JsonLine& line) {
    for (auto field = fields.begin(); field != fields.end(); ++field) {
      line.AddJson(field.key(), *field);
    }
  });
}

void RunRecord::Flush() {
  if (batch_.empty()) return;
  sink_->Append(batch_);
  batch_.clear();
}

void RunRecord::Sync() {
  if (sink_ == nullptr || !std::exchange(unsynced_, false)) return;
  Flush();
  sink_->Sync();
}

void RunRecord::Started(const Json& fields) {
  Json start = DocumentHeader(DocumentKind::Record);
  start.update(fields);
  Write("run-start", start);
  Sync();
}

void RunRecord::PairReached(int /*pair*/) { pendingPair_.reset(); }

void RunRecord::CriterionEvaluated(int pair, const std::wstring& line,
                                   const CriterionResult& result) {
  WriteLine("criterion", [&](JsonLine& fields) {
    fields.Add("pair", pair).Add("section", PairSectionName(PairSide::Criteria, pair));
    AddCriterionFields(fields, line, result);
  });
}

void RunRecord::PairDecided(int pair, Verdict verdict) {
  pendingPair_.emplace(pair, verdict);
  if (verdict == Verdict::Fails) WritePendingPair(false);
}

void RunRecord::WritePendingPair(bool actionsMissing) {
  if (!pendingPair_) return;
  const std::pair<int, Verdict> pending = *pendingPair_;
  pendingPair_.reset();
  WriteLine("pair", [&](JsonLine& fields) {
    fields.Add("pair", pending.first)
        .Add("verdict", VerdictName(pending.second))
        .Add("actionsMissing", actionsMissing);
  });
}

void RunRecord::ActionsMissing(int /*pair*/) { WritePendingPair(true); }

void RunRecord::ActionReached(int pair, const std::wstring& line) { actionReached_ = {pair, line}; }

void RunRecord::ActionRun(int pair, const std::wstring& line, const ActionResult& result) {
  WritePendingPair(false);
  const auto* execute = std::get_if<ExecuteRequest>(&result.Request);
  const bool waited = execute != nullptr && execute->Wait;
  const ActionOutcome& outcome = result.Outcome;
  const RunClass actionClass = ActionClass(outcome, waited, options_);
  class_ = std::max(class_, actionClass);
  pairsRun_.insert(pair);
  if (outcome.Done) ++actionsStarted_;
  if (actionClass == RunClass::Failure) ++actionsFailed_;
  const std::chrono::milliseconds duration = std::exchange(lastDuration_, {});
  Write("action", Json{{"pair", pair},
                       {"section", EncodeUtf8(PairSectionName(PairSide::Actions, pair))},
                       {"text", EncodeUtf8(line)},
                       {"name", EncodeUtf8(result.Name)},
                       {"request", RequestJson(result)},
                       {"done", outcome.Done},
                       {"reason", outcome.Done || outcome.Failure.empty()
                                      ? Json(nullptr)
                                      : Json(EncodeUtf8(outcome.Failure))},
                       {"exitCode", outcome.ExitCode ? Json(*outcome.ExitCode) : Json(nullptr)},
                       {"class", RunClassName(actionClass)},
                       {"durationMs", duration.count()}});
  // An action that was not done changed nothing: its line goes with the next sync.
  if (outcome.Done) Sync();
}

void RunRecord::WalkEnded(const WalkEnd& end) {
  WritePendingPair(false);
  WriteLine("walk-end", [&end](JsonLine& fields) {
    fields.Add("reason", StopName(end.Reason)).Add("section", end.Section);
  });
}

template <typename Call>
ActionOutcome RunRecord::Timed(const Json& request, Call call) {
  WritePendingPair(false);
  const auto& [pair, line] = actionReached_;
  Write("action-start", Json{{"pair", pair},
                             {"section", EncodeUtf8(PairSectionName(PairSide::Actions, pair))},
                             {"text", EncodeUtf8(line)},
                             {"request", request}});
  Sync();
  const auto start = std::chrono::steady_clock::now();
  ActionOutcome outcome = call();
  lastDuration_ = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  return outcome;
}

ActionOutcome RunRecord::Execute(const ExecuteRequest& request, ReportSink& sink) {
  return Timed(RequestJson(ActionResult{{}, request, {}}),
               [&] { return machine_.Execute(request, sink); });
}

ActionOutcome RunRecord::CreateShortcut(const ShortcutRequest& request, ReportSink& sink) {
  return Timed(RequestJson(ActionResult{{}, request, {}}),
               [&] { return machine_.CreateShortcut(request, sink); });
}

int RunRecord::Ended(int programExitCode) {
  const RunClass runClass = programExitCode != 0 ? RunClass::Failure : class_;
  const int exitCode =
      options_.Codes ? ClassExitCode(runClass, options_.ExitCodeBits) : programExitCode;
  Write("run-end", Json{{"result", RunClassName(runClass)},
                        {"exitCode", exitCode},
                        {"pairsRun", pairsRun_.size()},
                        {"actionsStarted", actionsStarted_},
                        {"actionsFailed", actionsFailed_}});
  Sync();
  return exitCode;
}

}  // namespace dorvanta::tool
