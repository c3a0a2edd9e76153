#include "fake/FakePlatform.h"

#include <algorithm>
#include <new>

#include "fake/FakeDevices.h"
#include "fake/FakeLanguage.h"
#include "fake/FakeShell.h"
#include "fake/FakeShortcut.h"
#include "fake/FakeWmi.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "platform/Identity.h"
#include "platform/LogFile.h"
#include "platform/ProfileReader.h"

namespace dorvanta {
namespace fake {

State& Platform() {
  static State state;
  return state;
}

void Reset() {
  Platform() = State{};
  ResetLanguage();
  ResetWmi();
  ResetDevices();
  ResetShell();
  ResetShortcuts();
}

}  // namespace fake

namespace platform {

void WriteStandardOutput(std::wstring_view text) { fake::Platform().Stdout.append(text); }

void WriteStandardError(std::wstring_view text) { fake::Platform().Stderr.append(text); }

void WriteStandardOutputBytes(std::string_view bytes) {
  fake::Platform().StdoutBytes.append(bytes);
}

LogWriteResult WriteLogFile(const std::wstring& path, std::wstring_view text, bool truncate) {
  fake::State& state = fake::Platform();
  ++state.LogWrites;
  if (state.LogFailure && state.LogFailure->first == state.LogWrites) {
    return LogWriteResult{false, state.LogFailure->second};
  }
  std::wstring& file = state.Files[path];
  if (truncate) file.clear();
  file.append(text);
  return LogWriteResult{};
}

UtcTime UtcNow() { return UtcTime{2026, 12, 9, 8, 31, 29, 7}; }

bool PathExists(const std::wstring& path) {
  return fake::Platform().ExistingPaths.count(path) != 0;
}

bool NameSameExistingFile(const std::wstring& first, const std::wstring& second) {
  const std::map<std::wstring, int>& identities = fake::Platform().FileIdentities;
  const auto one = identities.find(first);
  const auto other = identities.find(second);
  return one != identities.end() && other != identities.end() && one->second == other->second;
}

std::uint32_t ReadProfileSection(const std::wstring&, const std::wstring& section,
                                 std::span<wchar_t> buffer) {
  fake::State& state = fake::Platform();
  state.SectionReads.push_back(section);
  if (section == state.OutOfMemoryAt) throw std::bad_alloc();
  const auto found = state.Sections.find(section);
  if (found == state.Sections.end() || found->second.empty()) {
    buffer[0] = buffer[1] = L'\0';
    return 0;
  }
  std::wstring packed;
  for (const std::wstring& line : found->second) packed.append(line).push_back(L'\0');
  if (packed.size() + 1 > buffer.size()) {
    buffer[buffer.size() - 2] = buffer[buffer.size() - 1] = L'\0';
    return static_cast<std::uint32_t>(buffer.size() - 2);
  }
  std::copy(packed.begin(), packed.end(), buffer.begin());
  buffer[packed.size()] = L'\0';
  return static_cast<std::uint32_t>(packed.size());
}

std::optional<OsVersion> QueryOsVersion() { return fake::Platform().Version; }
ProcessorInfo QueryProcessorInfo() { return fake::Platform().Processor; }
std::uint32_t QueryVersionWord() { return fake::Platform().VersionWord; }
System ThisSystem() { return fake::Platform().System; }
OsRelease QueryOsRelease() { return fake::Platform().Release; }
std::wstring HostName() { return fake::Platform().Host; }

}  // namespace platform
}  // namespace dorvanta
