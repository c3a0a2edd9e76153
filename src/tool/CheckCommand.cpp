#include "tool/CheckCommand.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "platform/ProfileReader.h"
#include "report/Format.h"
#include "rules/RuleDriver.h"
#include "tool/CheckReport.h"
#include "tool/RuleCheck.h"

namespace dorvanta::tool {
namespace {

constexpr std::wstring_view kHelp =
    L"Usage: dvtool check <INI or folder>... [--format text|json|sarif|github]\n"
    L"                    [--werror]\n"
    L"\n"
    L"Checks rule files as Dorvanta reads them and reports, with the files' line\n"
    L"numbers, what makes the run do something other than its writer evidently\n"
    L"meant: gaps in the pair numbers, sections that are never read, lines the\n"
    L"reader takes otherwise, unknown keys and actions, operators, numbers, hardware\n"
    L"IDs, Execute and DesktopShortcut parameters, folder tokens and environment\n"
    L"references, and criteria that can never hold together. Each finding has a\n"
    L"severity (error, warning, note) and a code DVnnn (see the README's table).\n"
    L"A folder stands for its files named *.ini (any letter case), by name.\n"
    L"\n"
    L"Options:\n"
    L"  --format text    one line per finding, a line of counts per file (default)\n"
    L"  --format json    one JSON document over all files (schema/check.schema.json)\n"
    L"  --format sarif   a SARIF 2.1.0 log for code review and code scanning\n"
    L"  --format github  GitHub Actions workflow commands (::error file=...)\n"
    L"  --json           the same as --format json\n"
    L"  --werror         warnings count as errors for the exit code\n"
    L"  --help           show this text\n"
    L"\n"
    L"Exit codes, the worst over all files: 0 no errors (warnings allowed unless\n"
    L"--werror); 1 errors found; 2 a file could not be read, a folder holds no\n"
    L"rule file, or a usage error.\n";

enum class OutputForm { Text, Json, Sarif, Github };

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

// The form the command line asks for; nothing after a usage error.
std::optional<OutputForm> FormOf(const Arguments& arguments) {
  const std::optional<std::wstring> format = arguments.Value(L"--format");
  if (arguments.Has(L"--json")) {
    if (format && *format != L"json") {
      UsageError(L"check", L"--json and --format " + *format + L" contradict each other");
      return std::nullopt;
    }
    return OutputForm::Json;
  }
  if (!format || *format == L"text") return OutputForm::Text;
  if (*format == L"json") return OutputForm::Json;
  if (*format == L"sarif") return OutputForm::Sarif;
  if (*format == L"github") return OutputForm::Github;
  UsageError(L"check", Format(L"unknown format \"%s\": use text, json, sarif or github", *format));
  return std::nullopt;
}

// The files a command line word names: the word, or a folder's rule files.
// Nothing, said on standard error, when a folder cannot be listed or holds
// no rule file.
std::vector<std::wstring> FilesNamed(const std::wstring& word) {
  if (!platform::IsFolder(word)) return {word};
  platform::FolderFiles listing = platform::ListFolderFiles(word, L".ini");
  if (!listing.Files) {
    platform::WriteStandardError(
        Format(L"dvtool check: cannot list the folder %s: %s\n", word, listing.Failure));
    return {};
  }
  if (listing.Files->empty()) {
    platform::WriteStandardError(Format(L"dvtool check: no *.ini file in %s\n", word));
  }
  return listing.Files->Paths();
}

int RunCheck(const Arguments& arguments) {
  if (arguments.Words.empty()) return UsageError(L"check", L"no INI file given");
  const std::optional<OutputForm> form = FormOf(arguments);
  if (!form) return kExitUsage;
  CheckReport report;
  for (const std::wstring& word : arguments.Words) {
    const std::vector<std::wstring> files = FilesNamed(word);
    if (files.empty()) report.Unread.push_back(word);
    for (const std::wstring& path : files) {
      const std::optional<Profile> profile = platform::ReadProfile(path);
      if (!profile) {
        platform::WriteStandardError(Format(L"dvtool check: cannot read %s\n", path));
        report.Unread.push_back(path);
        continue;
      }
      std::vector<Finding> findings = CheckRuleFile(*profile);
      CrossCheck(path, *profile, findings);
      AddCheckedFile(report, path, std::move(findings));
    }
  }
  switch (*form) {
    case OutputForm::Text:
      platform::WriteStandardOutput(CheckText(report));
      break;
    // Bytes of a file that are no UTF-8 become U+FFFD in the UTF-8 forms.
    case OutputForm::Json:
      platform::WriteStandardOutputBytes(CheckJson(report));
      break;
    case OutputForm::Sarif:
      platform::WriteStandardOutputBytes(CheckSarif(report));
      break;
    case OutputForm::Github:
      platform::WriteStandardOutputBytes(CheckGithub(report));
      break;
  }
  if (!report.Unread.empty()) return kExitUsage;
  const bool failed =
      report.Total.Errors != 0 || (arguments.Has(L"--werror") && report.Total.Warnings != 0);
  return failed ? kExitFindings : kExitOk;
}

}  // namespace

Command CheckCommand() {
  return Command{L"check", L"check rule files and report their mistakes with line numbers", kHelp,
                 OptionSpec{{L"--json", L"--werror"}, {L"--format"}}, &RunCheck};
}

}  // namespace dorvanta::tool
