// dvtool explain: the walk exactly as the program would do it, with no action run.
#include "tool/ExplainCommand.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/Encoding.h"
#include "facts/FactSource.h"
#include "facts/FactsSnapshot.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "report/Report.h"
#include "rules/PairName.h"
#include "rules/RuleDriver.h"
#include "run/RunContext.h"
#include "tool/FactsDocument.h"
#include "tool/MachineVerdicts.h"
#include "tool/WalkJson.h"

namespace dorvanta::tool {
namespace {

// A facts document is small; anything much larger is no such document.
constexpr std::size_t kFactsDocumentLimit = std::size_t{64} * 1024 * 1024;

// Keeps the walk as a document, and the verdicts for the closing line.
class Explanation final : public WalkObserver {
 public:
  void PairReached(int pair) override {
    pairs_.push_back(Json{{"pair", pair},
                          {"criteria", EncodeUtf8(PairSectionName(PairSide::Criteria, pair))},
                          {"verdict", nullptr},
                          {"criteriaLines", Json::array()},
                          {"actions", Json::array()}});
  }
  void CriterionEvaluated(int /*pair*/, const std::wstring& line,
                          const CriterionResult& result) override {
    Json criterion = CriterionJson(line, result);
    criterion["earlierActions"] = result.EarlierActions != 0 ? Json(result.EarlierActions) : Json();
    pairs_.back()["criteriaLines"].push_back(std::move(criterion));
    if (result.EarlierActions != 0) earlierActions_ = result.EarlierActions;
    changedByActions_ = changedByActions_ || result.EarlierActions != 0;
  }
  void PairDecided(int pair, Verdict verdict) override {
    pairs_.back()["verdict"] = VerdictName(verdict);
    if (verdict == Verdict::Holds) holding_.push_back(pair);
    if (verdict == Verdict::Unknown)
      (changedByActions_ ? afterActions_ : undecided_).push_back(pair);
    changedByActions_ = false;
  }
  void ActionsMissing(int /*pair*/) override { pairs_.back()["actionsMissing"] = true; }
  void ActionRun(int /*pair*/, const std::wstring& line, const ActionResult& result) override {
    pairs_.back()["actions"].push_back(Json{{"text", EncodeUtf8(line)},
                                            {"name", EncodeUtf8(result.Name)},
                                            {"request", RequestJson(result)}});
  }
  void WalkEnded(const WalkEnd& end) override { end_ = end; }

  [[nodiscard]] Json Document(const std::wstring& iniPath, const Json& facts) const {
    Json document = DocumentHeader(DocumentKind::Explain);
    document.update(Json{
        {"file", EncodeUtf8(iniPath)},
        {"facts", facts},
        {"startupFailure", nullptr},
        {"pairs", pairs_},
        {"stop", Json{{"reason", StopName(end_.Reason)}, {"section", EncodeUtf8(end_.Section)}}}});
    return document;
  }

  [[nodiscard]] std::wstring Summary() const {
    std::wstring text = L"\nResult: ";
    text += holding_.empty() ? L"no pair holds" : L"the criteria of " + Pairs(holding_) + L" hold";
    if (!undecided_.empty()) {
      text += L"; " + Pairs(undecided_) + (undecided_.size() == 1 ? L" depends" : L" depend") +
              L" on files of that machine";
    }
    if (!afterActions_.empty()) {
      text += L"; " + Pairs(afterActions_) +
              (afterActions_.size() == 1 ? L" depends" : L" depend") +
              Format(L" on files that the actions of pair %d may change", earlierActions_);
    }
    switch (end_.Reason) {
      case WalkStop::MissingCriteria:
        return text + Format(L"; the walk stops at %s (missing or empty).\n", end_.Section);
      case WalkStop::LastPair:
        return text + L"; the walk ends after the last pair.\n";
      case WalkStop::SectionTooBig:
        break;
    }
    return text +
           Format(L"; the run fails at %s (too big for the section buffer).\n", end_.Section);
  }

 private:
  static std::wstring Pairs(const std::vector<int>& pairs) {
    std::wstring text;
    for (const int pair : pairs) {
      if (!text.empty()) text += L", ";
      text += Format(L"%d", pair);
    }
    return (pairs.size() == 1 ? L"pair " : L"pairs ") + text;
  }

  Json pairs_ = Json::array();
  std::vector<int> holding_;
  std::vector<int> undecided_;     // unknown by a fact the walk cannot learn here
  std::vector<int> afterActions_;  // unknown by what earlier actions may change
  int earlierActions_ = 0;         // the pair whose actions those are
  bool changedByActions_ = false;  // of the pair being decided
  WalkEnd end_;
};

// The facts of a document, or the usage exit after saying why not.
std::optional<FactsSnapshot> LoadFacts(const std::wstring& path) {
  const platform::FileRead read = platform::ReadWholeFile(path, kFactsDocumentLimit);
  std::wstring reason = read.Failure;
  if (read.Bytes) {
    if (std::optional<FactsSnapshot> facts = FactsFromJson(*read.Bytes, reason)) return facts;
  }
  platform::WriteStandardError(
      Format(L"dvtool explain: cannot read the facts document %s: %s\n", path, reason));
  return std::nullopt;
}

int RunExplain(const Arguments& arguments) {
  if (arguments.Words.size() != 1) {
    return UsageError(L"explain",
                      arguments.Words.empty() ? L"which rule file?" : L"one rule file at a time");
  }
  const std::wstring& iniPath = arguments.Words.front();
  if (!platform::PathExists(iniPath)) {
    platform::WriteStandardError(
        Format(L"dvtool explain: the rule file %s does not exist\n", iniPath));
    return kExitUsage;
  }
  const std::optional<std::wstring> document = arguments.Value(L"--facts");
  std::optional<FactsSnapshot> facts;
  if (document) {
    facts = LoadFacts(*document);
    if (!facts) return kExitUsage;
  } else {
    facts = CollectStartupFacts();
  }
  const bool json = arguments.Has(L"--json");
  // The text goes to standard output as the program's verbose run writes it;
  // the document is written whole at the end, and nothing is formatted for it.
  ProgramSink sink;
  sink.SetVerbose(!json);
  sink.SetTextsFromElsewhere(document.has_value());
  SnapshotFacts replay(*facts);
  RunContext context(sink, document ? static_cast<FactSource&>(replay) : MachineFacts());
  context.Facts = facts->Record;

  const Json source = document ? Json{{"source", "document"}, {"document", EncodeUtf8(*document)}}
                               : Json{{"source", "machine"}};
  if (!json) {
    platform::WriteStandardOutput(
        Format(L"Explaining %s with the facts of %s; no action is run.\n\n", iniPath,
               document ? Format(L"the document %s", *document) : std::wstring(L"this machine")));
  }
  Explanation explanation;
  if (const std::optional<std::wstring> failure = StartupFailure(*facts)) {
    if (json) {
      Json result = explanation.Document(iniPath, source);
      result["startupFailure"] = EncodeUtf8(*failure);
      result["stop"] = nullptr;
      platform::WriteStandardOutputBytes(JsonText(result));
    } else {
      Report(sink, L"ERROR: %s\n", sink.Shown(*failure));
      Report(sink, L"\nResult: the run ends here, before the walk, with exit code 1.\n");
    }
    return kExitOk;
  }
  NothingRuns executor;
  RuleFile rules(iniPath);
  WalkRules(context, rules, explanation, executor);
  if (json) {
    platform::WriteStandardOutputBytes(JsonText(explanation.Document(iniPath, source)));
  } else {
    Report(sink, L"%s", explanation.Summary());
  }
  return kExitOk;
}

}  // namespace

const Command& ExplainCommand() {
  static const Command command{
      L"explain", L"show what a rule file would do here, or on the machine of a facts document",
      L"Usage: dvtool explain <INI file> [--facts FILE] [--json]\n\n"
      L"Walks the rule file exactly as Dorvanta would (the same reader, section buffer,\n"
      L"stop rules and result lines) and runs no action: for each pair its verdict and\n"
      L"the actions that would run, with folder tokens and %NAME% resolved, and the\n"
      L"reason the walk stops. Once a pair whose actions would run is passed, a\n"
      L"FileExists line is unknown: those actions may change what it finds.\n\n"
      L"  --facts FILE  take every fact, hardware ID and folder token from a document\n"
      L"                written by 'dvtool facts --json' (on another machine, say);\n"
      L"                a FileExists line is then unknown, and so is a pair that\n"
      L"                depends on one\n"
      L"  --json        a JSON document (schema/explain.schema.json), UTF-8\n\n"
      L"Exit codes: 0 explained; 2 usage error, or the rule file or the facts document\n"
      L"could not be read.\n",
      OptionSpec{{L"--json"}, {L"--facts"}}, &RunExplain};
  return command;
}

}  // namespace dorvanta::tool
