#include "tool/CheckCommand.h"

#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "common/Encoding.h"
#include "platform/Console.h"
#include "platform/ProfileReader.h"
#include "report/Format.h"
#include "rules/RuleDriver.h"
#include "tool/RuleCheck.h"
#include "tool/WalkJson.h"

namespace dorvanta::tool {
namespace {

constexpr std::wstring_view kHelp =
    L"Usage: dvtool check <INI> [--json]\n"
    L"\n"
    L"Checks a rule file as Dorvanta reads it and reports, with the file's line\n"
    L"numbers, what makes the run do something other than its writer evidently\n"
    L"meant: gaps in the pair numbers, sections that are never read, lines the\n"
    L"reader takes otherwise, unknown keys and actions, operators, numbers, hardware\n"
    L"IDs, Execute and DesktopShortcut parameters, folder tokens and environment\n"
    L"references, and criteria that can never hold together. Each finding has a\n"
    L"severity (error, warning, note) and a code DVnnn (see the README's table).\n"
    L"\n"
    L"Options:\n"
    L"  --json   write a JSON document (schema/check.schema.json) instead of text\n"
    L"  --help   show this text\n"
    L"\n"
    L"Exit codes: 0 no errors (warnings allowed); 1 errors found; 2 the file could\n"
    L"not be read, or a usage error.\n";

struct Counts {
  std::uint32_t Errors = 0;
  std::uint32_t Warnings = 0;
  std::uint32_t Notes = 0;
};

Counts CountOf(const std::vector<Finding>& findings) {
  Counts counts;
  for (const Finding& finding : findings) {
    switch (finding.Level) {
      case Severity::Error:
        ++counts.Errors;
        break;
      case Severity::Warning:
        ++counts.Warnings;
        break;
      case Severity::Note:
        ++counts.Notes;
        break;
    }
  }
  return counts;
}

// The sections that the system's profile reader returns otherwise than the
// check read them (on Linux the reader is the check's own and always agrees).
void CrossCheck(const std::wstring& path, const Profile& profile, std::vector<Finding>& findings) {
  std::vector<wchar_t> system(kSectionBufferSize);
  std::vector<wchar_t> own(kSectionBufferSize);
  for (const Profile::OutlineSection& section : profile.Outline()) {
    if (section.HeaderLine == 0 || !section.Read) continue;
    const std::uint32_t systemLength = platform::ReadProfileSection(path, section.Name, system);
    const std::uint32_t ownLength = profile.ReadSection(section.Name, own);
    if (systemLength == ownLength &&
        std::equal(system.begin(), system.begin() + systemLength, own.begin())) {
      continue;
    }
    findings.push_back(MakeFinding(
        FindingKind::SystemReaderDiffers, section.HeaderLine, section.Name,
        Format(L"the system's profile reader returns other lines for [%s] (%u characters, the "
               L"check read %u): findings for this section may not be what the run sees",
               section.Name, systemLength, ownLength)));
  }
  SortFindings(findings);
}

std::wstring Plural(std::uint32_t count, std::wstring_view word) {
  return Format(L"%u %s%s", count, word, count == 1 ? L"" : L"s");
}

void WriteText(const std::wstring& path, const std::vector<Finding>& findings,
               const Counts& counts) {
  std::wstring text;
  for (const Finding& finding : findings) {
    text += finding.Line == 0 ? Format(L"%s: ", path)
                              : Format(L"%s:%u: ", path, static_cast<std::uint32_t>(finding.Line));
    text += Format(L"%s %s: %s\n", SeverityName(finding.Level), finding.Code, finding.Message);
  }
  text += Format(L"%s: %s, %s, %s\n", path, Plural(counts.Errors, L"error"),
                 Plural(counts.Warnings, L"warning"), Plural(counts.Notes, L"note"));
  platform::WriteStandardOutput(text);
}

void WriteJson(const std::wstring& path, const std::vector<Finding>& findings,
               const Counts& counts) {
  Json document = DocumentHeader("check");
  document["file"] = EncodeUtf8(path);
  document["findings"] = nlohmann::ordered_json::array();
  for (const Finding& finding : findings) {
    document["findings"].push_back({{"line", finding.Line},
                                    {"severity", EncodeUtf8(SeverityName(finding.Level))},
                                    {"code", EncodeUtf8(finding.Code)},
                                    {"section", EncodeUtf8(finding.Section)},
                                    {"message", EncodeUtf8(finding.Message)}});
  }
  document["errors"] = counts.Errors;
  document["warnings"] = counts.Warnings;
  document["notes"] = counts.Notes;
  // Bytes of the file that are no UTF-8 become U+FFFD.
  platform::WriteStandardOutputBytes(JsonText(document));
}

int RunCheck(const Arguments& arguments) {
  if (arguments.Words.size() != 1) {
    return UsageError(L"check", arguments.Words.empty() ? L"no INI file given"
                                                        : L"only one INI file can be checked");
  }
  const std::wstring& path = arguments.Words.front();
  const std::optional<Profile> profile = platform::ReadProfile(path);
  if (!profile) {
    platform::WriteStandardError(Format(L"dvtool check: cannot read %s\n", path));
    return kExitUsage;
  }
  std::vector<Finding> findings = CheckRuleFile(*profile);
  CrossCheck(path, *profile, findings);
  const Counts counts = CountOf(findings);
  if (arguments.Has(L"--json")) {
    WriteJson(path, findings, counts);
  } else {
    WriteText(path, findings, counts);
  }
  return counts.Errors == 0 ? kExitOk : kExitFindings;
}

}  // namespace

Command CheckCommand() {
  return Command{L"check", L"check a rule file and report its mistakes with line numbers", kHelp,
                 OptionSpec{{L"--json"}, {}}, &RunCheck};
}

}  // namespace dorvanta::tool
