// Reads the run record that 'dvtool run --record' writes back into a host's row.
#pragma once

#include <string>
#include <string_view>

#include "tool/SummaryModel.h"

namespace dorvanta::tool {

// The row of one record's bytes, `file` naming it. A record reads in whole or
// not at all: a line that is not JSON, not a line of a record this dvtool reads
// (versions 1 and 2 of any minor), or that holds a value no record can hold
// (a negative pairsRun, an unknown class) makes the host unreadable, the line
// and why in the note. A record that ends without run-end (cut by a kill or a
// power loss, perhaps in the middle of its last line) is incomplete. The row
// keeps what `limits` allow of the texts and the failed actions.
HostRow ReadRecord(std::string_view bytes, std::string file, const ReadLimits& limits = {});

}  // namespace dorvanta::tool
