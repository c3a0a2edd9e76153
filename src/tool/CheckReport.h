// The findings of "dvtool check" over every file it was given, and the forms
// it writes them in: text, a JSON document, a SARIF 2.1.0 log, GitHub
// workflow commands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tool/CheckFindings.h"

namespace dorvanta::tool {

struct FindingCounts {
  std::uint32_t Errors = 0;
  std::uint32_t Warnings = 0;
  std::uint32_t Notes = 0;
};

struct CheckedFile {
  std::wstring Path;  // as named on the command line, or a folder's path joined to the name
  std::vector<Finding> Findings;
  FindingCounts Counts;
};

struct CheckReport {
  std::vector<CheckedFile> Files;    // in the order named, a folder's files by name
  std::vector<std::wstring> Unread;  // files that could not be read, folders without rule files
  FindingCounts Total;
};

// Adds a checked file, its counts to the total.
void AddCheckedFile(CheckReport& report, std::wstring path, std::vector<Finding> findings);

// One line per finding and one of counts per file; with more than one file a
// line of the totals.
std::wstring CheckText(const CheckReport& report);
std::string CheckJson(const CheckReport& report);
std::string CheckSarif(const CheckReport& report);
std::string CheckGithub(const CheckReport& report);

// A path as a URI reference: relative stays relative to the current folder,
// '\' becomes '/', and every byte of its UTF-8 other than letters, digits,
// "-._~" and '/' is percent-encoded; an absolute path becomes a file: URI.
std::string ArtifactUri(std::wstring_view path);

// A workflow command's message, and the value of one of its properties,
// escaped as GitHub reads them back.
std::string WorkflowData(std::string_view text);
std::string WorkflowProperty(std::string_view text);

}  // namespace dorvanta::tool
