// Starting a program or document and waiting for it.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "actions/ActionRequest.h"

namespace dorvanta {

// The working directory of a start: the drive of `file` ("X:") followed by its
// folder part up to and including the last "\" or "/". Empty for a bare file
// name, and empty when the folder, the name or the extension part is longer
// than 259 characters.
std::wstring WorkingDirectoryOf(const std::wstring& file);

// Starts `file` with `parameters` through the shell's default action from its
// own folder and, when `wait`, waits for the process to end and reports its
// exit code, to `sink`. Done when the start was accepted and, when waiting, the process
// ended; otherwise not done, after a report. With a `limit`, a process that
// still runs then is ended with every process it started, and the action is
// not done, for the reason kTimedOut.
inline constexpr std::wstring_view kTimedOut = L"timed out";
ActionOutcome LaunchProcess(ReportSink& sink, const std::wstring& file,
                            const std::wstring& parameters, bool wait,
                            std::optional<std::chrono::seconds> limit = std::nullopt);

}  // namespace dorvanta
