#include "tool/SummaryWriters.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

#include "common/Csv.h"
#include "common/Encoding.h"
#include "common/Text.h"
#include "report/Format.h"
#include "tool/WalkJson.h"

namespace dorvanta::tool {
namespace {

// The widest a text column grows; a longer cell ends in kCut.
constexpr std::size_t kHostWidth = 48;
constexpr std::size_t kFailedWidth = 64;
constexpr std::size_t kNoteWidth = 96;
constexpr std::size_t kStartWidth = 24;  // 2026-12-09T08:31:29.123Z
constexpr std::wstring_view kCut = L"...";

// A host's text as one cell of at most `width` characters, its controls escaped.
// Only the text's beginning is read, so a cell costs the same whatever its size.
std::wstring Cell(std::string_view utf8, std::size_t width) {
  // A character is at most 4 bytes: the first width + 1 of them are enough.
  const std::size_t enough = (width + 1) * 4;
  std::wstring cell = EscapeControls(DecodeUtf8(utf8.substr(0, enough)));
  if (cell.size() <= width) return cell;  // the whole text: a longer one gives more characters
  cell.resize(width - kCut.size());
  return cell + std::wstring(kCut);
}

// Rows of cells as left-aligned columns two blanks apart, without trailing blanks.
std::wstring Table(const std::vector<std::vector<std::wstring>>& rows, std::wstring_view indent) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  std::wstring text;
  for (const auto& row : rows) {
    std::wstring line(indent);
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line.append(widths[i] - row[i].size() + 2, L' ');
    }
    while (!line.empty() && line.back() == L' ') line.pop_back();
    text += line + L"\n";
  }
  return text;
}

std::wstring Wide(std::string_view ascii) { return DecodeUtf8(ascii); }

std::wstring OrDash(const std::wstring& text) { return text.empty() ? L"-" : text; }

std::wstring StartCell(const HostRow& row) {
  return row.Start ? Cell(*row.Start, kStartWidth) : L"-";
}

std::wstring HashCell(const std::optional<std::string>& hash) {
  return hash ? Cell(std::string_view(*hash).substr(0, kShortHashDigits), kShortHashDigits) : L"-";
}

// The counts of the results that have hosts, the most benign first: "; success 1, failure 2".
std::wstring CountsText(const std::array<std::size_t, kStandingCount>& counts) {
  std::wstring text;
  const wchar_t* separator = L";";
  for (std::size_t i = kStandingCount; i-- > 0;) {
    if (counts[i] == 0) continue;
    text += Format(L"%s %s %s", separator, Wide(StandingName(static_cast<Standing>(i))),
                   std::to_wstring(counts[i]));
    separator = L",";
  }
  return text;
}

std::wstring FailedCell(const HostRow& row, std::size_t width) {
  return Cell(FailedText(row, width), width);
}

Json OptionalJson(const std::optional<std::string>& text) {
  return text ? Json(*text) : Json(nullptr);
}

// Every result's count under its name.
void PutCounts(Json& object, const std::array<std::size_t, kStandingCount>& counts) {
  for (std::size_t i = kStandingCount; i-- > 0;) {
    object[std::string(StandingName(static_cast<Standing>(i)))] = counts[i];
  }
}

Json HostJson(const HostRow& row) {
  Json failed = Json::array();
  for (const FailedAction& action : row.Failed) {
    failed.push_back({{"pair", action.Pair},
                      {"section", action.Section},
                      {"program", OptionalJson(action.Program)},
                      {"exitCode", action.ExitCode ? Json(*action.ExitCode) : nullptr},
                      {"reason", OptionalJson(action.Reason)}});
  }
  return {{"host", OptionalJson(row.Host)},
          {"file", OptionalJson(row.File)},
          {"result", StandingName(row.Result)},
          {"pairsRun", row.PairsRun ? Json(*row.PairsRun) : nullptr},
          {"failedActions", failed},
          {"rebootNeeded", row.RebootNeeded()},
          {"runTimeMs", row.RunTimeMs ? Json(*row.RunTimeMs) : nullptr},
          {"start", OptionalJson(row.Start)},
          {"iniSha256", OptionalJson(row.IniSha256)},
          {"note", row.Note.empty() ? nullptr : Json(row.Note)}};
}

}  // namespace

ReadLimits TextLimits() {
  // The widest column's characters, and enough entries to fill it.
  return ReadLimits{(kNoteWidth + 1) * 4, kNoteWidth};
}

std::wstring SummaryText(const std::vector<HostRow>& rows, const std::vector<HostRow>& older) {
  std::vector<std::vector<std::wstring>> table{{L"HOST", L"RESULT", L"PAIRS RUN", L"FAILED ACTIONS",
                                                L"REBOOT", L"RUN TIME", L"STARTED", L"RULE FILE"}};
  table.reserve(rows.size() + 1);
  for (const HostRow& row : rows) {
    table.push_back({Cell(row.Name(), kHostWidth), Wide(StandingName(row.Result)),
                     row.PairsRun ? std::to_wstring(*row.PairsRun) : L"-",
                     OrDash(FailedCell(row, kFailedWidth)), row.RebootNeeded() ? L"yes" : L"no",
                     OrDash(Wide(RunTimeText(row))), StartCell(row), HashCell(row.IniSha256)});
  }
  std::wstring text = Table(table, L"");
  text += L"\nHosts: " + std::to_wstring(rows.size()) + CountsText(Totals(rows)) + L"\n";
  for (const RuleFileTotals& ruleFile : TotalsByRuleFile(rows)) {
    text += Format(L"  rule file %s: %s%s\n",
                   ruleFile.IniSha256 ? HashCell(ruleFile.IniSha256) : std::wstring(L"unknown"),
                   std::to_wstring(ruleFile.Hosts), CountsText(ruleFile.Counts));
  }
  if (!older.empty()) {
    std::vector<std::vector<std::wstring>> left;
    left.reserve(older.size());
    for (const HostRow& row : older) {
      left.push_back(
          {Cell(row.Name(), kHostWidth), Cell(row.File.value_or(""), kNoteWidth), StartCell(row)});
    }
    text += L"\nOlder records left out for a newer one of their host: " +
            std::to_wstring(older.size()) + L"\n" + Table(left, L"  ");
  }
  const std::vector<const HostRow*> attention = Attention(rows);
  if (attention.empty()) return text + L"\nNo host needs attention.\n";
  std::vector<std::vector<std::wstring>> first;
  first.reserve(attention.size());
  for (const HostRow* row : attention) {
    first.push_back({Cell(row->Name(), kHostWidth), Wide(StandingName(row->Result)),
                     Cell(AttentionText(*row, kNoteWidth), kNoteWidth)});
  }
  return text + L"\nAttention first:\n" + Table(first, L"  ");
}

std::string SummaryCsv(const std::vector<HostRow>& rows) {
  std::string text =
      "host,file,result,pairs_run,failed_actions,reboot_needed,run_time_ms,note,start,ini_sha256\n";
  for (const HostRow& row : rows) {
    const std::array<std::string, 10> fields{row.Host.value_or(""),
                                             row.File.value_or(""),
                                             std::string(StandingName(row.Result)),
                                             row.PairsRun ? std::to_string(*row.PairsRun) : "",
                                             FailedText(row),
                                             row.RebootNeeded() ? "yes" : "no",
                                             row.RunTimeMs ? std::to_string(*row.RunTimeMs) : "",
                                             row.Note,
                                             row.Start.value_or(""),
                                             row.IniSha256.value_or("")};
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i != 0) text += ',';
      text += CsvField(fields[i]);
    }
    text += '\n';
  }
  return text;
}

std::string SummaryJson(const std::vector<HostRow>& rows, const std::vector<HostRow>& older) {
  Json hosts = Json::array();
  for (const HostRow& row : rows) hosts.push_back(HostJson(row));
  Json totals{{"hosts", rows.size()}};
  PutCounts(totals, Totals(rows));
  Json byRuleFile = Json::array();
  for (const RuleFileTotals& ruleFile : TotalsByRuleFile(rows)) {
    Json entry{{"iniSha256", OptionalJson(ruleFile.IniSha256)}, {"hosts", ruleFile.Hosts}};
    PutCounts(entry, ruleFile.Counts);
    byRuleFile.push_back(std::move(entry));
  }
  Json attention = Json::array();
  for (const HostRow* row : Attention(rows)) {
    attention.push_back({{"host", OptionalJson(row->Host)},
                         {"file", OptionalJson(row->File)},
                         {"result", StandingName(row->Result)}});
  }
  Json left = Json::array();
  for (const HostRow& row : older) {
    left.push_back({{"host", OptionalJson(row.Host)},
                    {"file", OptionalJson(row.File)},
                    {"start", OptionalJson(row.Start)},
                    {"iniSha256", OptionalJson(row.IniSha256)},
                    {"result", StandingName(row.Result)}});
  }
  Json document = DocumentHeader(DocumentKind::Summary);
  document["hosts"] = std::move(hosts);
  document["totals"] = std::move(totals);
  document["totalsByRuleFile"] = std::move(byRuleFile);
  document["attention"] = std::move(attention);
  document["olderRecords"] = std::move(left);
  return JsonText(document);
}

}  // namespace dorvanta::tool
