// The fleet summary for a person (text), for spreadsheets (CSV) and for programs
// (JSON, schema/summary.schema.json). The rows are the hosts' own texts: the text
// shows them escaped and cut to its columns, the CSV keeps spreadsheets from
// taking them for formulas, the JSON holds them exactly.
#pragma once

#include <string>
#include <vector>

#include "tool/SummaryModel.h"

namespace dorvanta::tool {

// What SummaryText shows of a record: its rows may be read with these limits.
ReadLimits TextLimits();

// `older` are the records left out for a newer one of their host (KeepNewest):
// the text and the JSON name them; the CSV holds the rows alone.
std::wstring SummaryText(const std::vector<HostRow>& rows, const std::vector<HostRow>& older = {});
std::string SummaryCsv(const std::vector<HostRow>& rows);
std::string SummaryJson(const std::vector<HostRow>& rows, const std::vector<HostRow>& older = {});

}  // namespace dorvanta::tool
