// A line of a CRITERIAx or ACTIONx section read as "key = value".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "report/Report.h"

namespace dorvanta {

struct SectionLine {
  std::wstring Key;    // before the first "=", trimmed
  std::wstring Value;  // after it (later "=" belong to it), trimmed
};

// Splits at the first "="; nothing for a line without one.
std::optional<SectionLine> ReadSectionLine(std::wstring_view line);

// The same; a line without one is reported to `sink`, quoted as handed over,
// and gives nothing.
std::optional<SectionLine> SplitSectionLine(ReportSink& sink, const std::wstring& line,
                                            const std::wstring& section);

}  // namespace dorvanta
