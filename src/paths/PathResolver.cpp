#include "paths/PathResolver.h"

#include <array>
#include <optional>
#include <utility>

#include "platform/Environment.h"
#include "report/Report.h"

namespace dorvanta {
namespace {

// In lookup order.
constexpr std::array<FolderToken, 25> kFolders{{
    {L"CSIDL_ADMINTOOLS", 0x30},
    {L"CSIDL_COMMON_ADMINTOOLS", 0x2F},
    {L"CSIDL_STARTUP", 0x07},
    {L"CSIDL_COMMON_STARTUP", 0x18},
    {L"CSIDL_APPDATA", 0x1A},
    {L"CSIDL_COMMON_APPDATA", 0x23},
    {L"CSIDL_BITBUCKET", 0x0A},
    {L"CSIDL_COMMON_DESKTOPDIRECTORY", 0x19},
    {L"CSIDL_DESKTOPDIRECTORY", 0x10},
    {L"CSIDL_COMMON_DOCUMENTS", 0x2E},
    {L"CSIDL_COOKIES", 0x21},
    {L"CSIDL_FONTS", 0x14},
    {L"CSIDL_HISTORY", 0x22},
    {L"CSIDL_INTERNET_CACHE", 0x20},
    {L"CSIDL_LOCAL_APPDATA", 0x1C},
    {L"CSIDL_MYPICTURES", 0x27},
    {L"CSIDL_PERSONAL", 0x05},
    {L"CSIDL_PROGRAM_FILES", 0x26},
    {L"CSIDL_PROGRAM_FILES_COMMON", 0x2B},
    {L"CSIDL_STARTMENU", 0x0B},
    {L"CSIDL_COMMON_STARTMENU", 0x16},
    {L"CSIDL_SYSTEM", 0x25},
    {L"CSIDL_WINDOWS", 0x24},
    {L"CSIDL_PROGRAMS", 0x02},
    {L"CSIDL_COMMON_PROGRAMS", 0x17},
}};

}  // namespace

std::wstring_view FindFolderToken(std::wstring_view path) {
  const std::size_t open = path.find(L'[');
  if (open == std::wstring_view::npos) return {};
  const std::size_t close = path.find(L']');
  if (close == std::wstring_view::npos || close <= open) return {};
  std::wstring_view token = path.substr(open, close - open);
  const std::size_t first = token.find_first_not_of(L"[]");
  if (first == std::wstring_view::npos) return {};
  token.remove_prefix(first);
  token.remove_suffix(token.size() - 1 - token.find_last_not_of(L"[]"));
  return token;
}

namespace {

std::wstring ReplaceAll(std::wstring_view text, std::wstring_view what, std::wstring_view with) {
  std::wstring result;
  std::size_t from = 0;
  for (std::size_t at = text.find(what); at != std::wstring_view::npos;
       at = text.find(what, from)) {
    result.append(text.substr(from, at - from)).append(with);
    from = at + what.size();
  }
  result.append(text.substr(from));
  return result;
}

// The text with its environment references expanded; empty, after a report
// naming the path as written, when the expansion fails.
std::wstring Expand(ReportSink& sink, const std::wstring& text, const std::wstring& path) {
  std::optional<std::wstring> expanded = platform::ExpandEnvironmentReferences(text);
  if (!expanded) {
    Report(sink, L"ERROR: Could not expand environment variables in %s!\n", path);
    return {};
  }
  return std::move(*expanded);
}

}  // namespace

std::span<const FolderToken> FolderTokens() { return kFolders; }

int CsidlFromName(std::wstring_view name) {
  for (const FolderToken& folder : kFolders) {
    if (name == folder.Name) return folder.Csidl;
  }
  return -1;
}

std::wstring ResolvePath(RunContext& context, const std::wstring& path) {
  const std::wstring token(FindFolderToken(path));
  const int csidl = CsidlFromName(token);
  if (csidl < 0) return Expand(context.Sink, path, path);

  const platform::FolderLookup folder = context.Source.ShellFolder(csidl);
  switch (folder.Status) {
    case platform::FolderLookupStatus::NoFolder:
      Report(context.Sink, L"ERROR: Could not get CSIDL %s!\n", token);
      return {};
    case platform::FolderLookupStatus::NoPath:
      Report(context.Sink, L"ERROR: Could not get path for %s!\n", token);
      return {};
    case platform::FolderLookupStatus::Found:
      break;
  }
  return Expand(context.Sink, ReplaceAll(path, L"[" + token + L"]", folder.Path), path);
}

}  // namespace dorvanta
