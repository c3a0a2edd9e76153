// dvtool test: what a rule file should come to on the machines of facts
// documents, checked as a test runner checks its tests.
#include "tool/TestCommand.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/Encoding.h"
#include "common/Text.h"
#include "criteria/CriteriaLine.h"
#include "platform/Console.h"
#include "platform/ProfileReader.h"
#include "report/Format.h"
#include "rules/RuleSource.h"
#include "tool/JUnitReport.h"
#include "tool/MachineVerdicts.h"
#include "tool/OutputGuard.h"
#include "tool/TestCases.h"

namespace dorvanta::tool {
namespace {

// Every criteria line of each pair the walk reached, with its result.
class PairTracer final : public WalkObserver {
 public:
  struct Trace {
    Verdict Outcome = Verdict::Fails;
    std::vector<std::pair<std::wstring, CriterionResult>> Lines;
  };

  void PairReached(int pair) override { traces_[pair] = Trace{}; }
  void CriterionEvaluated(int pair, const std::wstring& line,
                          const CriterionResult& result) override {
    traces_[pair].Lines.emplace_back(line, result);
  }
  void PairDecided(int pair, Verdict verdict) override { traces_[pair].Outcome = verdict; }

  [[nodiscard]] const Trace* Find(int pair) const {
    const auto found = traces_.find(pair);
    return found == traces_.end() ? nullptr : &found->second;
  }

 private:
  std::map<int, Trace> traces_;
};

const wchar_t* ActualWords(PairStatus state) {
  switch (state) {
    case PairStatus::Runs:
      return L"holds";
    case PairStatus::Unknown:
      return L"is unknown";
    case PairStatus::DoesNotRun:
      break;
  }
  return L"does not hold";
}

const wchar_t* ExpectedWords(PairStatus state) {
  switch (state) {
    case PairStatus::Runs:
      return L"expected to hold";
    case PairStatus::Unknown:
      return L"expected to be unknown";
    case PairStatus::DoesNotRun:
      break;
  }
  return L"expected not to hold";
}

// Whether the key's line asks whether something is there rather than compares.
bool AsksPresence(const std::wstring& key) {
  for (const CriterionKey& known : CriterionKeys()) {
    if (EqualsIgnoringAsciiCase(key, known.Key)) {
      return known.Kind == CriterionKind::HardwareId ||
             known.Kind == CriterionKind::HardwareIdPrefix ||
             known.Kind == CriterionKind::FileExists;
    }
  }
  return false;
}

// The line's result as explain's walk shows it.
std::wstring ResultText(const std::wstring& line, const CriterionResult& result) {
  if (result.Malformed) return line + L" --> error: the run refuses the line";
  const wchar_t* tail = result.Outcome == Verdict::Holds     ? L"OK"
                        : result.Outcome == Verdict::Unknown ? L"??"
                                                             : L"NG";
  if (AsksPresence(result.Key)) {
    return Format(L"%s %s %s (%s) --> %s", result.Key, result.Operand, result.Fact, result.Operator,
                  tail);
  }
  return Format(L"%s OS=%s %s INI=%s --> %s", result.Key, result.Fact, result.Operator,
                result.Operand, tail);
}

// Why the walk never came to a pair.
std::wstring NotReached(const MachineVerdicts& verdicts) {
  if (verdicts.StartupFailure) {
    return L"the run ends before the walk: " + *verdicts.StartupFailure;
  }
  if (verdicts.End.Reason == WalkStop::SectionTooBig) {
    return Format(L"the run fails at %s (too big for the section buffer)", verdicts.End.Section);
  }
  return Format(L"the walk stops at %s (missing or empty)", verdicts.End.Section);
}

struct Difference {
  std::wstring Summary;             // "pair 2 does not hold, expected to hold"
  std::vector<std::wstring> Lines;  // the criteria lines that decided it, or why none
};

std::vector<Difference> Differences(const RuleTestCase& testCase, const MachineVerdicts& verdicts,
                                    const PairTracer& tracer) {
  std::set<int> pairs(testCase.Holds.begin(), testCase.Holds.end());
  pairs.insert(testCase.Unknown.begin(), testCase.Unknown.end());
  pairs.insert(verdicts.Holds.begin(), verdicts.Holds.end());
  pairs.insert(verdicts.Unknown.begin(), verdicts.Unknown.end());
  std::vector<Difference> differences;
  for (const int pair : pairs) {
    const PairStatus expected = StatusIn(pair, testCase.Holds, testCase.Unknown);
    const PairStatus actual = StatusIn(pair, verdicts.Holds, verdicts.Unknown);
    if (expected == actual) continue;
    Difference difference{
        Format(L"pair %d %s, %s", pair, ActualWords(actual), ExpectedWords(expected)), {}};
    const PairTracer::Trace* trace = verdicts.StartupFailure ? nullptr : tracer.Find(pair);
    if (trace == nullptr) {
      difference.Lines.push_back(L"not reached: " + NotReached(verdicts));
    } else {
      // A pair holds by all of its lines, and fails or stays unknown by those
      // that did.
      for (const auto& [line, result] : trace->Lines) {
        if (trace->Outcome == Verdict::Holds || result.Outcome == trace->Outcome) {
          difference.Lines.push_back(ResultText(line, result));
        }
      }
    }
    differences.push_back(std::move(difference));
  }
  return differences;
}

// The JUnit class of the cases: the rule file's name without folder and ending.
std::wstring ClassName(const std::wstring& iniPath) {
  const std::size_t slash = iniPath.find_last_of(L"/\\");
  std::wstring name = slash == std::wstring::npos ? iniPath : iniPath.substr(slash + 1);
  const std::size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.resize(dot);
  return name;
}

// Walks the case's facts, writes its line and what differs to standard output,
// and gives its JUnit test case.
JUnitCase RunCase(RuleSource& rules, const RuleTestCase& testCase) {
  PairTracer tracer;
  SnapshotFacts facts(testCase.Facts);
  const MachineVerdicts verdicts = WalkVerdicts(rules, facts, &tracer);
  const std::vector<Difference> differences = Differences(testCase, verdicts, tracer);
  // The texts of a document are another machine's: on the terminal their
  // control characters are written out; the report holds them as they are.
  std::wstring text =
      (differences.empty() ? L"PASS " : L"FAIL ") + EscapeControls(testCase.Name) + L"\n";
  JUnitCase junitCase{testCase.Name, {}, {}};
  for (const Difference& difference : differences) {
    junitCase.FailureMessage +=
        (junitCase.FailureMessage.empty() ? L"" : L"; ") + difference.Summary;
    junitCase.FailureText += difference.Summary + L"\n";
    text += L"  " + difference.Summary + L"\n";
    for (const std::wstring& line : difference.Lines) {
      junitCase.FailureText += L"  " + line + L"\n";
      text += L"    " + EscapeControls(line) + L"\n";
    }
  }
  platform::WriteStandardOutput(text);
  return junitCase;
}

bool IsJUnitReport(std::string_view start) { return start.starts_with(kJUnitStart); }

const OutputKind kJUnitKind{L"a JUnit report", &IsJUnitReport};

int TestError(const std::wstring& message) {
  platform::WriteStandardError(L"dvtool test: " + message + L"\n");
  return kExitUsage;
}

int RunTest(const Arguments& arguments) {
  if (arguments.Words.size() != 2) {
    return UsageError(L"test", arguments.Words.size() < 2 ? L"a rule file and a cases file, please"
                                                          : L"one rule file and one cases file");
  }
  const std::wstring& iniPath = arguments.Words[0];
  const std::wstring& casesPath = arguments.Words[1];
  const std::optional<Profile> profile = platform::ReadProfile(iniPath);
  if (!profile) return TestError(Format(L"cannot read the rule file %s", iniPath));
  std::wstring error;
  const std::optional<CasesFile> cases = ReadCasesFile(casesPath, error);
  if (!cases) return TestError(error);

  const std::optional<std::wstring> junitPath = arguments.Value(L"--junit");
  GuardedOutput junit;
  if (junitPath) {
    std::vector<CommandInput> inputs{{iniPath, L"the rule file"}, {casesPath, L"the cases file"}};
    for (const std::wstring& document : cases->Documents) {
      inputs.push_back(CommandInput{document, L"a facts document"});
    }
    junit = OpenGuardedOutput(*junitPath, inputs, kJUnitKind);
    if (!junit.Refusal.empty()) {
      return TestError(Format(L"refusing to write %s: %s", *junitPath, junit.Refusal));
    }
    if (!junit.File) return TestError(Format(L"cannot write %s: %s", *junitPath, junit.Failure));
  }

  KeptRules rules(*profile);
  std::vector<JUnitCase> reported;
  std::uint32_t failed = 0;
  for (const RuleTestCase& testCase : cases->Cases) {
    reported.push_back(RunCase(rules, testCase));
    if (!reported.back().FailureMessage.empty()) ++failed;
  }
  const auto total = static_cast<std::uint32_t>(cases->Cases.size());
  platform::WriteStandardOutput(Format(L"%u passed, %u failed\n", total - failed, failed));
  if (junit.File) {
    const std::optional<std::wstring> failure =
        platform::WriteOutputFile(*junit.File, JUnitReport(iniPath, ClassName(iniPath), reported));
    if (failure) return TestError(Format(L"cannot write %s: %s", *junitPath, *failure));
  }
  return failed == 0 ? kExitOk : kExitFindings;
}

}  // namespace

const Command& TestCommand() {
  static const Command command{
      L"test", L"check what a rule file should do on the machines of facts documents",
      L"Usage: dvtool test <INI file> <cases file> [--junit FILE]\n\n"
      L"Walks the rule file over the facts of each case, as 'dvtool explain --facts'\n"
      L"does and with no action run, and compares the pairs whose criteria hold, and\n"
      L"those that none fails but a FileExists line leaves unknown, with the case's\n"
      L"expectation. The cases file is JSON (schema/cases.schema.json):\n\n"
      L"  {\"cases\": [{\"name\": \"german desktop\",\n"
      L"              \"facts\": \"pc-017.json\",\n"
      L"              \"set\": {\"UserDefaultUI\": 1031, \"DMIVendor\": \"LENOVO\"},\n"
      L"              \"devices\": [\"PCI\\\\VEN_8086&DEV_1234\", [\"USB\\\\VID_0A5C\", "
      L"\"USB\\\\Class_e0\"]],\n"
      L"              \"expect\": {\"holds\": [1, 3], \"unknown\": [4]}}]}\n\n"
      L"  facts    a document written by 'dvtool facts --json', its path relative to\n"
      L"           the cases file's folder\n"
      L"  set      optional: facts that replace the document's, named by their\n"
      L"           criteria keys and written as the document writes them\n"
      L"           ({\"error\": \"...\"} for a fact whose source failed)\n"
      L"  devices  optional: the present devices instead of the document's; each a\n"
      L"           hardware ID (a device with that one ID) or a list of one device's\n"
      L"           IDs in search order\n"
      L"  expect   the pairs that hold; optionally the pairs that are unknown. Every\n"
      L"           other pair is expected not to hold (or not to be reached)\n\n"
      L"One line per case, PASS or FAIL name; under a failed case each pair that\n"
      L"differs, with the criteria lines that decided it and their results; at the\n"
      L"end \"N passed, M failed\".\n\n"
      L"  --junit FILE  also write a JUnit XML report for a CI server; an existing\n"
      L"                FILE is replaced only when it is empty or such a report\n"
      L"                written by dvtool\n\n"
      L"Exit codes: 0 every case met its expectation; 1 a case failed; 2 usage error,\n"
      L"or the rule file, the cases file or a facts document could not be read, or\n"
      L"a case is not as the schema says (an unknown fact, a wrong value), or FILE\n"
      L"was refused or not written.\n",
      OptionSpec{{}, {L"--junit"}}, &RunTest};
  return command;
}

}  // namespace dorvanta::tool
