#include "tool/SummaryPage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "app/HelpTexts.h"
#include "common/Encoding.h"
#include "common/Text.h"

namespace dorvanta::tool {
namespace {

constexpr std::string_view kGenerator = R"(<meta name="generator" content="dvtool )";

// The page's look. The colours of the results sit behind white text at a
// contrast of at least 4.5:1; every coloured mark has its name and count in
// text beside it, so that the page reads the same without colour. A segment of
// the bar is never narrower than its label: one host among thousands still
// shows its name and count there.
constexpr std::string_view kStyle =
    R"(:root{--ink:#1f2328;--muted:#59636e;--line:#d1d9e0;--panel:#f6f8fa}
*{box-sizing:border-box}
body{margin:0;background:#fff;color:var(--ink);font:14px/1.45 system-ui,-apple-system,"Segoe UI",Roboto,"Helvetica Neue",Arial,sans-serif}
main{max-width:1200px;margin:0 auto;padding:24px 28px 36px}
h1{font-size:22px;margin:0 0 2px}
h2{font-size:16px;margin:30px 0 10px;padding-bottom:6px;border-bottom:1px solid var(--line)}
p{margin:0 0 10px}
.lead,.none,footer{color:var(--muted)}
.bar{display:flex;height:36px;border:1px solid var(--line);border-radius:6px;overflow:hidden;background:var(--panel)}
.bar span{flex:0 1 auto;min-width:max-content;color:#fff;font-size:12px;font-weight:600;line-height:34px;padding:0 8px;white-space:nowrap;overflow:hidden;border-right:2px solid #fff}
.bar span:last-child{border-right:0}
.legend{display:flex;flex-wrap:wrap;gap:6px 20px;list-style:none;margin:10px 0 0;padding:0}
.legend li{display:flex;align-items:center;gap:6px}
.key{display:inline-block;width:12px;height:12px;border-radius:3px}
table{width:100%;border-collapse:collapse;font-size:13px}
th,td{text-align:left;vertical-align:top;padding:6px 10px;border-bottom:1px solid var(--line);overflow-wrap:anywhere}
th{background:var(--panel);color:var(--muted);font-size:12px;font-weight:600;white-space:nowrap}
.n{text-align:right;font-variant-numeric:tabular-nums;white-space:nowrap}
.when,.hash{white-space:nowrap;font-variant-numeric:tabular-nums}
code{font:12px ui-monospace,SFMono-Regular,Menlo,Consolas,"Liberation Mono",monospace}
.badge{display:inline-block;color:#fff;font-size:12px;font-weight:600;padding:1px 8px;border-radius:10px;white-space:nowrap}
.mini{display:flex;height:8px;margin:3px 0 4px;border-radius:2px;overflow:hidden;background:var(--panel)}
.unknown{color:var(--muted);font-style:italic}
footer{font-size:12px;margin-top:30px}
.r-failure{background:#b42318}.r-incomplete{background:#c11574}.r-no-record{background:#475467}
.r-unreadable{background:#6941c6}.r-retry-later{background:#b54708}
.r-reboot-initiated{background:#175cd3}.r-reboot-required{background:#0e7090}.r-success{background:#067647}
@media print{.bar span,.badge,.key,.mini span{print-color-adjust:exact;-webkit-print-color-adjust:exact}}
)";

Standing StandingAt(std::size_t i) { return static_cast<Standing>(i); }

// The style class of a result: "r-no-record".
std::string ResultClass(Standing result) {
  std::string name = "r-";
  name += StandingName(result);
  for (char& c : name) {
    if (c == ' ') c = '-';
  }
  return name;
}

// `part` of `whole` as a CSS width: "14.28%".
std::string Percent(std::size_t part, std::size_t whole) {
  const std::size_t hundredths = whole == 0 ? 0 : part * 10000 / whole;
  const std::size_t fraction = hundredths % 100;
  return std::to_string(hundredths / 100) + (fraction < 10 ? ".0" : ".") +
         std::to_string(fraction) + "%";
}

std::string Count(std::size_t count) { return std::to_string(count); }

// The counts of the results that have hosts, the most severe first: "failure 1, success 2".
std::string CountsText(const std::array<std::size_t, kStandingCount>& counts) {
  std::string text;
  for (std::size_t i = 0; i < kStandingCount; ++i) {
    if (counts[i] == 0) continue;
    if (!text.empty()) text += ", ";
    text += StandingName(StandingAt(i));
    text += ' ';
    text += Count(counts[i]);
  }
  return text;
}

// The page as it is written, element by element.
class Page {
 public:
  // Markup and numbers, none of them a record's text.
  template <typename... Parts>
  Page& Raw(const Parts&... parts) {
    ((out_ += parts), ...);
    return *this;
  }
  Page& Text(std::string_view utf8) {
    out_ += HtmlText(utf8);
    return *this;
  }
  // A cell of a record's text, or a dash for none.
  Page& Cell(const std::optional<std::string>& utf8, std::string_view style = {}) {
    if (style.empty()) {
      Raw("<td>");
    } else {
      Raw("<td class=\"", style, "\">");
    }
    return (utf8 ? Text(*utf8) : Raw("-")).Raw("</td>");
  }
  Page& Badge(Standing result) {
    return Raw("<span class=\"badge ", ResultClass(result), "\">")
        .Text(StandingName(result))
        .Raw("</span>");
  }
  // The counts of the results that have hosts as a thin bar and as words,
  // the most severe first: "failure 1, success 2".
  Page& Results(const std::array<std::size_t, kStandingCount>& counts, std::size_t hosts) {
    Raw("<td><div class=\"mini\" aria-hidden=\"true\">");
    for (std::size_t i = 0; i < kStandingCount; ++i) {
      if (counts[i] == 0) continue;
      Raw("<span class=\"", ResultClass(StandingAt(i)),
          "\" style=\"width:", Percent(counts[i], hosts), "\"></span>");
    }
    return Raw("</div>").Text(CountsText(counts)).Raw("</td>");
  }
  // A rule file's hash, its beginning shown and the whole of it on hovering.
  Page& ShortHash(const std::optional<std::string>& hash) {
    if (!hash) return Raw("<td>-</td>");
    return Raw("<td><code class=\"hash\" title=\"")
        .Text(*hash)
        .Raw("\">")
        .Text(std::string_view(*hash).substr(0, kShortHashDigits))
        .Raw("</code></td>");
  }
  // The host, its record file on hovering.
  Page& Host(const HostRow& row) {
    Raw("<td");
    if (row.File && row.Host) Raw(" title=\"").Text(*row.File).Raw("\"");
    return Raw(">").Text(row.Name()).Raw("</td>");
  }

  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

void ResultsBar(Page& page, const std::vector<HostRow>& rows) {
  const std::array<std::size_t, kStandingCount> totals = Totals(rows);
  page.Raw("<h2 id=\"results\">Results</h2>\n<div class=\"bar\" role=\"img\" aria-label=\"")
      .Text(CountsText(totals))
      .Raw("\">");
  for (std::size_t i = 0; i < kStandingCount; ++i) {
    if (totals[i] == 0) continue;
    const std::string_view name = StandingName(StandingAt(i));
    page.Raw("<span class=\"", ResultClass(StandingAt(i)),
             "\" style=\"width:", Percent(totals[i], rows.size()), "\" title=\"")
        .Text(name)
        .Raw(": ", Count(totals[i]), "\">")
        .Text(name)
        .Raw(" ", Count(totals[i]), "</span>");
  }
  page.Raw("</div>\n<ul class=\"legend\">\n");
  for (std::size_t i = 0; i < kStandingCount; ++i) {
    if (totals[i] == 0) continue;
    page.Raw("<li><span class=\"key ", ResultClass(StandingAt(i)), "\"></span>")
        .Text(StandingName(StandingAt(i)))
        .Raw(" <strong>", Count(totals[i]), "</strong></li>\n");
  }
  page.Raw("</ul>\n");
}

void AttentionTable(Page& page, const std::vector<const HostRow*>& attention) {
  page.Raw("<h2 id=\"attention\">Needs attention</h2>\n");
  if (attention.empty()) {
    page.Raw("<p class=\"none\">No host needs attention.</p>\n");
    return;
  }
  page.Raw(
      "<table>\n<thead><tr><th>Host</th><th>Result</th><th>Why</th><th>Started</th>"
      "<th>Rule file</th></tr></thead>\n<tbody>\n");
  for (const HostRow* row : attention) {
    const std::string why = AttentionText(*row);
    page.Raw("<tr>").Host(*row).Raw("<td>").Badge(row->Result).Raw("</td>");
    page.Cell(why.empty() ? std::nullopt : std::optional(why))
        .Cell(row->Start, "when")
        .ShortHash(row->IniSha256)
        .Raw("</tr>\n");
  }
  page.Raw("</tbody>\n</table>\n");
}

void ModelTable(Page& page, const std::vector<HostRow>& rows) {
  page.Raw(
      "<h2 id=\"models\">By model</h2>\n<table>\n<thead><tr><th>Vendor</th><th>Model</th>"
      "<th class=\"n\">Hosts</th><th>Results</th></tr></thead>\n<tbody>\n");
  for (const ModelTotals& model : TotalsByModel(rows)) {
    page.Raw("<tr>");
    if (model.Known()) {
      page.Cell(model.DmiVendor).Cell(model.DmiMachineType);
    } else {
      page.Raw("<td colspan=\"2\" class=\"unknown\">unknown</td>");
    }
    page.Raw("<td class=\"n\">", Count(model.Hosts), "</td>")
        .Results(model.Counts, model.Hosts)
        .Raw("</tr>\n");
  }
  page.Raw("</tbody>\n</table>\n");
}

void RuleFileTable(Page& page, const std::vector<HostRow>& rows) {
  page.Raw(
      "<h2 id=\"rule-files\">By rule file</h2>\n<table>\n<thead><tr><th>Rule file "
      "(SHA-256)</th><th class=\"n\">Hosts</th><th>First start</th><th>Last start</th>"
      "<th>Results</th></tr></thead>\n<tbody>\n");
  for (const RuleFileTotals& ruleFile : TotalsByRuleFile(rows)) {
    page.Raw("<tr>");
    if (ruleFile.IniSha256) {
      page.Raw("<td><code>").Text(*ruleFile.IniSha256).Raw("</code></td>");
    } else {
      page.Raw("<td class=\"unknown\">unknown</td>");
    }
    page.Raw("<td class=\"n\">", Count(ruleFile.Hosts), "</td>")
        .Cell(ruleFile.FirstStart, "when")
        .Cell(ruleFile.LastStart, "when")
        .Results(ruleFile.Counts, ruleFile.Hosts)
        .Raw("</tr>\n");
  }
  page.Raw("</tbody>\n</table>\n");
}

// The product as one cell: "20XW (LENOVO)", either part alone, or a dash.
std::optional<std::string> ProductText(const HostRow& row) {
  if (!row.DmiMachineType) return row.DmiVendor;
  if (!row.DmiVendor) return row.DmiMachineType;
  std::string product = *row.DmiMachineType;
  product += " (";
  product += *row.DmiVendor;
  return product + ")";
}

void HostTable(Page& page, const std::vector<HostRow>& rows) {
  page.Raw(
      "<h2 id=\"hosts\">All hosts</h2>\n<table>\n<thead><tr><th>Host</th><th>Result</th>"
      "<th class=\"n\">Pairs run</th><th>Failed actions or note</th><th>Reboot</th>"
      "<th class=\"n\">Run time</th><th>Started</th><th>Rule file</th><th>Model</th></tr>"
      "</thead>\n<tbody>\n");
  for (const HostRow& row : rows) {
    const std::string details = AttentionText(row);
    const std::string runTime = RunTimeText(row);
    page.Raw("<tr>").Host(row).Raw("<td>").Badge(row.Result).Raw("</td>");
    page.Cell(row.PairsRun ? std::optional(std::to_string(*row.PairsRun)) : std::nullopt, "n")
        .Cell(details.empty() ? std::nullopt : std::optional(details))
        .Raw(row.RebootNeeded() ? "<td>yes</td>" : "<td>no</td>")
        .Cell(runTime.empty() ? std::nullopt : std::optional(runTime), "n")
        .Cell(row.Start, "when")
        .ShortHash(row.IniSha256)
        .Cell(ProductText(row))
        .Raw("</tr>\n");
  }
  page.Raw("</tbody>\n</table>\n");
}

void OlderTable(Page& page, const std::vector<HostRow>& older) {
  if (older.empty()) return;
  page.Raw("<h2 id=\"older\">Older records left out for a newer one of their host</h2>\n")
      .Raw(
          "<table>\n<thead><tr><th>Host</th><th>Record</th><th>Started</th><th>Result</th>"
          "</tr></thead>\n<tbody>\n");
  for (const HostRow& row : older) {
    page.Raw("<tr>").Cell(std::string(row.Name())).Cell(row.File).Cell(row.Start, "when");
    page.Raw("<td>").Badge(row.Result).Raw("</td></tr>\n");
  }
  page.Raw("</tbody>\n</table>\n");
}

// Appends a character of `text` at `i` as UTF-8, a pair of UTF-16 surrogates
// as one; returns how many units it took.
std::size_t AppendCharacter(std::string& out, std::wstring_view text, std::size_t i) {
  const auto code = [&text](std::size_t at) {
    // A wchar_t code point (signed on Linux), which the check takes for a signed char.
    // NOLINTNEXTLINE(bugprone-signed-char-misuse,cert-str34-c)
    return static_cast<std::uint32_t>(text[at]);
  };
  const std::uint32_t unit = code(i);
  const bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
                    code(i + 1) >= 0xDC00 && code(i + 1) <= 0xDFFF;
  if (!pair && unit >= 0xDC80 && unit <= 0xDCFF) {
    // A byte that is no UTF-8, as DecodeUtf8 keeps it.
    constexpr std::string_view kHex = "0123456789abcdef";
    out += "\\x";
    out += kHex[(unit >> 4) & 0xF];
    out += kHex[unit & 0xF];
    return 1;
  }
  AppendEncodedUtf8(out, text.substr(i, pair ? 2 : 1));
  return pair ? 2 : 1;
}

}  // namespace

std::string HtmlText(std::string_view utf8) {
  const std::wstring text = EscapeControls(DecodeUtf8(utf8));
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    switch (text[i]) {
      case L'&':
        out += "&amp;";
        break;
      case L'<':
        out += "&lt;";
        break;
      case L'>':
        out += "&gt;";
        break;
      case L'"':
        out += "&quot;";
        break;
      case L'\'':
        out += "&#39;";
        break;
      default:
        i += AppendCharacter(out, text, i);
        continue;
    }
    ++i;
  }
  return out;
}

bool IsSummaryPage(std::string_view start) {
  return start.starts_with("<!DOCTYPE html>\n") &&
         start.substr(0, 512).find(kGenerator) != std::string_view::npos;
}

std::string SummaryPage(const std::vector<HostRow>& rows, const std::vector<HostRow>& older) {
  const std::vector<const HostRow*> attention = Attention(rows);
  const std::string hosts = Count(rows.size()) + (rows.size() == 1 ? " host" : " hosts");
  const std::string lead = hosts + ", " + Count(attention.size()) +
                           (attention.size() == 1 ? " needs" : " need") + " attention";
  Page page;
  page.Raw("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n")
      .Raw(kGenerator)
      .Raw(EncodeUtf8(kProgramVersion) + "\">\n")
      .Raw(
          "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
          "style-src 'unsafe-inline'\">\n"
          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n")
      .Raw("<title>Fleet summary: ", lead, "</title>\n<style>\n")
      .Raw(kStyle)
      .Raw("</style>\n</head>\n<body>\n<main>\n<h1>Fleet summary</h1>\n")
      .Raw("<p class=\"lead\">", lead, ".</p>\n");
  if (!rows.empty()) ResultsBar(page, rows);
  AttentionTable(page, attention);
  ModelTable(page, rows);
  RuleFileTable(page, rows);
  HostTable(page, rows);
  OlderTable(page, older);
  page.Raw("<footer>Written by dvtool ")
      .Raw(EncodeUtf8(kProgramVersion))
      .Raw(" summarize from the hosts' run records.</footer>\n</main>\n</body>\n</html>\n");
  return page.Take();
}

}  // namespace dorvanta::tool
