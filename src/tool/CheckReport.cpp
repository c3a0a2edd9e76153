#include "tool/CheckReport.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <utility>

#include "common/Encoding.h"
#include "report/Format.h"
#include "tool/WalkJson.h"

namespace dorvanta::tool {
namespace {

constexpr std::string_view kSarifSchema =
    "https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/sarif-schema-2.1.0.json";

std::wstring Plural(std::uint32_t count, std::wstring_view word) {
  return Format(L"%u %s%s", count, word, count == 1 ? L"" : L"s");
}

std::wstring CountsText(const FindingCounts& counts) {
  return Format(L"%s, %s, %s", Plural(counts.Errors, L"error"), Plural(counts.Warnings, L"warning"),
                Plural(counts.Notes, L"note"));
}

void Count(Severity level, FindingCounts& counts) {
  switch (level) {
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

void PutCounts(const FindingCounts& counts, Json& object) {
  object["errors"] = counts.Errors;
  object["warnings"] = counts.Warnings;
  object["notes"] = counts.Notes;
}

// SARIF's level of a severity, and GitHub's.
const char* SarifLevel(Severity level) {
  switch (level) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
    case Severity::Note:
      break;
  }
  return "note";
}

const char* WorkflowLevel(Severity level) {
  return level == Severity::Note ? "notice" : SarifLevel(level);
}

Json SarifLocation(std::wstring_view path, std::size_t line) {
  Json physical{{"artifactLocation", Json{{"uri", ArtifactUri(path)}}}};
  if (line != 0) physical["region"] = Json{{"startLine", line}};
  return Json{{"physicalLocation", std::move(physical)}};
}

// '%' and two upper-case hex digits for each byte of `special` in `text`.
std::string Escaped(std::string_view text, std::string_view special) {
  constexpr std::string_view kHex = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    if (special.find(c) == std::string_view::npos) {
      out.push_back(c);
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    out += '%';
    out += kHex[byte >> 4U];
    out += kHex[byte & 0xFU];
  }
  return out;
}

}  // namespace

void AddCheckedFile(CheckReport& report, std::wstring path, std::vector<Finding> findings) {
  FindingCounts counts;
  for (const Finding& finding : findings) {
    Count(finding.Level, counts);
    Count(finding.Level, report.Total);
  }
  report.Files.push_back(CheckedFile{std::move(path), std::move(findings), counts});
}

std::wstring CheckText(const CheckReport& report) {
  std::wstring text;
  for (const CheckedFile& file : report.Files) {
    for (const Finding& finding : file.Findings) {
      text += finding.Line == 0
                  ? Format(L"%s: ", file.Path)
                  : Format(L"%s:%u: ", file.Path, static_cast<std::uint32_t>(finding.Line));
      text += Format(L"%s %s: %s\n", SeverityName(finding.Level), finding.Code, finding.Message);
    }
    text += Format(L"%s: %s\n", file.Path, CountsText(file.Counts));
  }
  if (report.Files.size() > 1) {
    text += Format(L"%u files: %s\n", static_cast<std::uint32_t>(report.Files.size()),
                   CountsText(report.Total));
  }
  return text;
}

std::string CheckJson(const CheckReport& report) {
  // Each file its own findings and counts, and the files that were not read.
  Json document = DocumentHeader(DocumentKind::Check);
  document["files"] = Json::array();
  for (const CheckedFile& file : report.Files) {
    Json entry{{"file", EncodeUtf8(file.Path)}, {"findings", Json::array()}};
    for (const Finding& finding : file.Findings) {
      entry["findings"].push_back({{"line", finding.Line},
                                   {"severity", EncodeUtf8(SeverityName(finding.Level))},
                                   {"code", EncodeUtf8(finding.Code)},
                                   {"section", EncodeUtf8(finding.Section)},
                                   {"message", EncodeUtf8(finding.Message)}});
    }
    PutCounts(file.Counts, entry);
    document["files"].push_back(std::move(entry));
  }
  document["unread"] = Json::array();
  for (const std::wstring& path : report.Unread) document["unread"].push_back(EncodeUtf8(path));
  PutCounts(report.Total, document);
  return JsonText(document);
}

std::string CheckSarif(const CheckReport& report) {
  const std::vector<FindingRule> rules = FindingRules();
  Json driver{{"name", "dvtool"}, {"rules", Json::array()}};
  for (const FindingRule& rule : rules) {
    driver["rules"].push_back({{"id", EncodeUtf8(rule.Code)},
                               {"shortDescription", Json{{"text", EncodeUtf8(rule.Help)}}},
                               {"help", Json{{"text", EncodeUtf8(rule.Help)}}},
                               {"defaultConfiguration", Json{{"level", SarifLevel(rule.Level)}}}});
  }
  Json results = Json::array();
  for (const CheckedFile& file : report.Files) {
    for (const Finding& finding : file.Findings) {
      const auto rule = std::find_if(rules.begin(), rules.end(),
                                     [&](const FindingRule& r) { return r.Code == finding.Code; });
      results.push_back({{"ruleId", EncodeUtf8(finding.Code)},
                         {"ruleIndex", rule - rules.begin()},
                         {"level", SarifLevel(finding.Level)},
                         {"message", Json{{"text", EncodeUtf8(finding.Message)}}},
                         {"locations", Json::array({SarifLocation(file.Path, finding.Line)})}});
    }
  }
  Json notifications = Json::array();
  for (const std::wstring& path : report.Unread) {
    notifications.push_back(
        {{"level", "error"},
         {"message", Json{{"text", EncodeUtf8(Format(L"cannot read %s", path))}}},
         {"locations", Json::array({SarifLocation(path, 0)})}});
  }
  Json run{{"tool", Json{{"driver", std::move(driver)}}},
           {"invocations",
            Json::array({Json{{"executionSuccessful", report.Unread.empty()},
                              {"toolExecutionNotifications", std::move(notifications)}}})},
           {"results", std::move(results)}};
  Json log{{"$schema", kSarifSchema}, {"version", "2.1.0"}, {"runs", Json::array({run})}};
  return JsonText(log);
}

std::string CheckGithub(const CheckReport& report) {
  std::string out;
  for (const CheckedFile& file : report.Files) {
    std::wstring shown = file.Path;
    std::replace(shown.begin(), shown.end(), L'\\', L'/');
    const std::string property = WorkflowProperty(EncodeUtf8(shown));
    for (const Finding& finding : file.Findings) {
      out += "::";
      out += WorkflowLevel(finding.Level);
      out += " file=" + property;
      if (finding.Line != 0) out += ",line=" + std::to_string(finding.Line);
      out += ",title=" + WorkflowProperty(EncodeUtf8(finding.Code));
      out += "::" + WorkflowData(EncodeUtf8(finding.Message)) + "\n";
    }
  }
  return out;
}

std::string ArtifactUri(std::wstring_view path) {
  std::wstring slashed(path);
  std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
  std::string_view rest;
  std::string uri;
  const std::string bytes = EncodeUtf8(slashed);
  rest = bytes;
  const bool drive = rest.size() >= 2 && rest[1] == ':' &&
                     ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'));
  if (rest.starts_with("//")) {
    uri = "file:";  // a share: its server is the URI's authority
  } else if (drive) {
    uri = "file:///" + std::string(rest.substr(0, 2));
    rest.remove_prefix(2);
  } else if (rest.starts_with('/')) {
    uri = "file://";
  } else {
    while (rest.starts_with("./")) rest.remove_prefix(2);
  }
  for (const char c : rest) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                       (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                       c == '~' || c == '/';
    uri += plain ? std::string(1, c) : Escaped(std::string_view(&c, 1), std::string_view(&c, 1));
  }
  return uri;
}

std::string WorkflowData(std::string_view text) { return Escaped(text, "%\r\n"); }

std::string WorkflowProperty(std::string_view text) { return Escaped(text, "%\r\n:,"); }

}  // namespace dorvanta::tool
