#include "report/SectionLine.h"

#include <string_view>

#include "common/Text.h"
#include "report/Report.h"

namespace dorvanta {

std::optional<SectionLine> SplitSectionLine(const std::wstring& line, const std::wstring& section) {
  const std::size_t equals = line.find(L'=');
  if (equals == std::wstring::npos) {
    Report(L"ERROR: Missing '=' in section %s (line: %s)!\n", section, line);
    return std::nullopt;
  }
  const std::wstring_view text(line);
  return SectionLine{Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

}  // namespace dorvanta
