// The one road by which every message reaches the console and the log file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "report/Format.h"

namespace dorvanta {

// Process-wide output settings, written once by the entry.
extern bool Verbose;
extern std::wstring LogPath;

// The settings a run starts with: no console copy, no log, and the next log
// write empties the file and writes the header.
void ResetOutputSettings();

// Learns how the run ends, once: with the program's exit code, which it may
// replace. Set by a front end that keeps its own account of the run.
extern std::function<int(int exitCode)> RunEndHook;

// Ends the run with the program's exit code `exitCode`: through RunEndHook when
// one is set, then the process ends.
[[noreturn]] void EndRun(int exitCode);

// Delivers one formatted message: to standard output when Verbose is set, then
// appended to the log file when LogPath is not empty.
void Deliver(std::wstring_view message);

// Delivers the message, then ends the process with `exitCode`.
[[noreturn]] void DeliverAndExit(int exitCode, std::wstring_view message);

template <typename... Args>
void Report(Fmt<Args...> format, const Args&... args) {
  Deliver(Format<Args...>(format, args...));
}

template <typename... Args>
[[noreturn]] void ReportAndExit(int exitCode, Fmt<Args...> format, const Args&... args) {
  DeliverAndExit(exitCode, Format<Args...>(format, args...));
}

// The separator lines of the report.
inline constexpr std::wstring_view kEqualsLine =
    L"===============================================================================\n";
inline constexpr std::wstring_view kDashLine =
    L"-------------------------------------------------------------------------------\n";

}  // namespace dorvanta
