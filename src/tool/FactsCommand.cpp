// dvtool facts: every fact a rule can test on this machine.
#include "tool/FactsCommand.h"

#include "common/Encoding.h"
#include "facts/FactSource.h"
#include "facts/FactsSnapshot.h"
#include "platform/Console.h"
#include "platform/OutputFile.h"
#include "report/Format.h"
#include "tool/FactsDocument.h"
#include "tool/OutputGuard.h"
#include "tool/WalkJson.h"

namespace dorvanta::tool {
namespace {

// The text, which starts with the same line on every machine, or a JSON
// document of dvtool's with facts.
bool IsFactsDocument(std::string_view start) {
  const std::string text = EncodeUtf8(FactsToText(FactsSnapshot{}));
  if (start.starts_with(std::string_view(text).substr(0, text.find('\n') + 1))) return true;
  const Json document = Json::parse(start, nullptr, false);
  if (!document.is_object() || !document.contains("facts")) return false;
  const auto producer = document.find("producer");
  return producer != document.end() && producer->is_string() &&
         producer->get_ref<const std::string&>().starts_with("dvtool ");
}

const OutputKind kFactsKind{L"a facts document", &IsFactsDocument};

int RunFacts(const Arguments& arguments) {
  if (!arguments.Words.empty()) {
    return UsageError(L"facts", Format(L"unexpected argument %s", arguments.Words.front()));
  }
  const FactsSnapshot facts = CollectFacts(MachineFacts());
  const bool json = arguments.Has(L"--json");
  const std::optional<std::wstring> file = arguments.Value(L"-o");
  if (!file) {
    if (json) {
      platform::WriteStandardOutputBytes(JsonText(FactsToJson(facts)));
    } else {
      platform::WriteStandardOutput(FactsToText(facts));
    }
    return kExitOk;
  }
  GuardedOutput output = OpenGuardedOutput(*file, {}, kFactsKind);
  if (!output.Refusal.empty()) {
    platform::WriteStandardError(
        Format(L"dvtool facts: refusing to write %s: %s\n", *file, output.Refusal));
    return kExitUsage;
  }
  const std::string bytes = json ? JsonText(FactsToJson(facts)) : EncodeUtf8(FactsToText(facts));
  std::optional<std::wstring> failure = std::move(output.Failure);
  if (output.File) failure = platform::WriteOutputFile(*output.File, bytes);
  if (failure) {
    platform::WriteStandardError(Format(L"dvtool facts: cannot write %s: %s\n", *file, *failure));
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace

const Command& FactsCommand() {
  static const Command command{
      L"facts", L"show every fact a rule can test on this machine",
      L"Usage: dvtool facts [--json] [-o FILE]\n\n"
      L"Shows every fact a rule file can test on this machine: the OS and processor,\n"
      L"the nine language identifiers, the location, the DMI texts, every present\n"
      L"device with its hardware IDs in search order, and every folder token with its\n"
      L"path. A fact whose source fails is shown with its error. First comes the\n"
      L"machine: platform, host name, the system's release name and build, and when\n"
      L"the facts were gathered.\n\n"
      L"  --json    a JSON document (schema/facts.schema.json), UTF-8; it can be\n"
      L"            replayed with 'dvtool explain --facts FILE' on another machine\n"
      L"  -o FILE   write to FILE instead of standard output; an existing FILE is\n"
      L"            replaced only when it is empty or facts written by dvtool\n\n"
      L"Exit codes: 0 written; 2 usage error, or FILE refused or not written.\n",
      OptionSpec{{L"--json"}, {L"-o"}}, &RunFacts};
  return command;
}

}  // namespace dorvanta::tool
