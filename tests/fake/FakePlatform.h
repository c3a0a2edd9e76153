// A platform that a test fills in: every platform call reads from or records
// into the one State below.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/OsInfo.h"

namespace dorvanta::fake {

struct State {
  std::wstring Stdout;
  std::wstring Stderr;
  std::string StdoutBytes;  // documents written as bytes

  // Log files by path; a write with `truncate` replaces the content.
  std::map<std::wstring, std::wstring> Files;
  int LogWrites = 0;
  // When set, the log write with this number (1 = first) fails with this error.
  std::optional<std::pair<int, std::int32_t>> LogFailure;

  std::set<std::wstring> ExistingPaths;
  // File identities by path: paths of one identity name the same existing file.
  std::map<std::wstring, int> FileIdentities;

  // Section lines by section name, as the profile reader hands them back.
  std::map<std::wstring, std::vector<std::wstring>> Sections;
  std::vector<std::wstring> SectionReads;
  // Reading this section throws std::bad_alloc, as a failed allocation would.
  std::wstring OutOfMemoryAt;

  std::optional<platform::OsVersion> Version = platform::OsVersion{10, 0, L""};
  platform::ProcessorInfo Processor{platform::kArchitectureAmd64, 4, 8664, 6, 0x0E08};
  std::uint32_t VersionWord = 10;
  platform::System System = platform::System::Windows;
  platform::OsRelease Release{L"Windows 10 Pro", L"19045"};
  std::wstring Host = L"pc-017";
};

State& Platform();

// Fresh platform state.
void Reset();

}  // namespace dorvanta::fake
