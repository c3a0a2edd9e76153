// The fleet summary as one HTML page for a person's browser: the results as a
// bar, the hosts that need attention, the results by model and by rule file,
// and every host. The page stands alone (its style inline, nothing loaded from
// elsewhere, no script) and every text of a record is escaped, as the hosts
// wrote them and no markup.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tool/SummaryModel.h"

namespace dorvanta::tool {

// The page in UTF-8; `older` are the records left out for a newer one of their
// host (KeepNewest), which it names.
std::string SummaryPage(const std::vector<HostRow>& rows, const std::vector<HostRow>& older = {});

// Whether a file's first bytes are those of a page SummaryPage wrote.
bool IsSummaryPage(std::string_view start);

// A text of a record as HTML text or attribute value: &, <, >, " and ' as
// references, controls and layout characters written out as the text summary
// shows them (\x1b, \n, \u202e), a byte that is no UTF-8 as \xHH.
std::string HtmlText(std::string_view utf8);

}  // namespace dorvanta::tool
