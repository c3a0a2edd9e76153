#include "report/SectionLine.h"

#include <string_view>

#include "common/Text.h"
#include "report/Report.h"

namespace dorvanta {

std::optional<SectionLine> ReadSectionLine(std::wstring_view line) {
  const std::size_t equals = line.find(L'=');
  if (equals == std::wstring_view::npos) return std::nullopt;
  return SectionLine{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

std::optional<SectionLine> SplitSectionLine(ReportSink& sink, const std::wstring& line,
                                            const std::wstring& section) {
  std::optional<SectionLine> split = ReadSectionLine(line);
  if (!split) Report(sink, L"ERROR: Missing '=' in section %s (line: %s)!\n", section, line);
  return split;
}

}  // namespace dorvanta
