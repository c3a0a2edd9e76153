// Dispatch of one ACTIONx line to its action.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "actions/ActionRequest.h"

namespace dorvanta {

// The action names, matched whole and with letter case significant.
std::span<const std::wstring_view> ActionNames();

// Runs the line's action through `executor`; a line without "=" or with an
// unknown name is reported and asks for nothing.
ActionResult RunActionLine(const std::wstring& line, const std::wstring& section,
                           ActionExecutor& executor);

}  // namespace dorvanta
