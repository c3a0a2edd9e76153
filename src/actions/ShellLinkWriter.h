// Writes one shortcut file and reports the outcome.
#pragma once

#include <cstdint>
#include <string>

#include "actions/ActionRequest.h"

namespace dorvanta {

// Done when the shortcut file was saved; the outcome has been reported to
// `sink` either way.
ActionOutcome WriteShellLink(ReportSink& sink, const std::wstring& target,
                             const std::wstring& linkFile, std::int32_t iconIndex,
                             const std::wstring& description, const std::wstring& arguments,
                             const std::wstring& iconFile);

}  // namespace dorvanta
