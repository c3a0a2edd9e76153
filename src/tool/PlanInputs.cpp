#include "tool/PlanInputs.h"

#include <cstddef>
#include <string_view>

#include <rapidjson/document.h>

#include "common/Text.h"
#include "platform/FileSystem.h"
#include "tool/FactsDocument.h"

namespace dorvanta::tool {
namespace {

// A facts document is some kilobytes, a host's fact cache some more.
constexpr std::size_t kMachineFileLimit = std::size_t{64} * 1024 * 1024;

constexpr std::wstring_view kDocumentSuffix = L".json";
constexpr std::wstring_view kFactsSuffix = L".facts.json";
constexpr std::string_view kCachedFact = "dorvanta_facts";

std::wstring_view FileName(std::wstring_view path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring_view::npos ? path : path.substr(separator + 1);
}

bool EndsWith(std::wstring_view name, std::wstring_view suffix) {
  return name.size() >= suffix.size() &&
         EqualsIgnoringAsciiCase(name.substr(name.size() - suffix.size()), suffix);
}

// A document's file name without the ending that says what it holds.
std::wstring DocumentStem(std::wstring_view path) {
  std::wstring_view name = FileName(path);
  for (const std::wstring_view suffix : {kFactsSuffix, kDocumentSuffix}) {
    if (EndsWith(name, suffix) && name.size() > suffix.size()) {
      name.remove_suffix(suffix.size());
      break;
    }
  }
  return std::wstring(name);
}

}  // namespace

std::optional<std::wstring> PlanInputs::Add(const std::wstring& path) {
  if (!platform::IsFolder(path)) {
    entries_.push_back(Entry{kOwnFile, static_cast<std::uint32_t>(files_.size())});
    files_.push_back(path);
    return std::nullopt;
  }
  platform::FolderFiles listing = platform::ListFolderFiles(path, L"");
  if (!listing.Files) return listing.Failure;
  const auto folder = static_cast<std::uint32_t>(folders_.size());
  const std::size_t before = entries_.size();
  for (std::size_t index = 0; index < listing.Files->size(); ++index) {
    if (listing.Files->Name(index).starts_with(L'.')) continue;  // never the cache's
    entries_.push_back(Entry{folder, static_cast<std::uint32_t>(index)});
  }
  if (entries_.size() == before) return L"the folder holds no file";
  folders_.push_back(std::move(*listing.Files));
  return std::nullopt;
}

PlanInput PlanInputs::operator[](std::size_t index) const {
  const Entry entry = entries_.at(index);
  if (entry.Folder == kOwnFile) return PlanInput{files_.at(entry.Index)};
  const platform::FolderListing& listing = folders_.at(entry.Folder);
  return PlanInput{listing.Path(entry.Index),
                   !EndsWith(listing.Name(entry.Index), kDocumentSuffix)};
}

MachineFacts ReadMachine(const PlanInput& input) {
  MachineFacts machine;
  const platform::FileRead read = platform::ReadWholeFile(input.Path, kMachineFileLimit);
  if (!read.Bytes) {
    machine.Failure = read.Failure;
    return machine;
  }
  rapidjson::Document parsed;
  if (!ParseFactsJson(*read.Bytes, parsed)) {
    machine.Failure = L"no JSON document";
    return machine;
  }
  const rapidjson::Value* cache = FindMember(parsed, kCachedFact);
  const bool cached = cache != nullptr;
  if (!cached && input.CacheOnly) {
    machine.Failure =
        L"neither a facts document (*.json) nor a fact cache file with dorvanta_facts";
    return machine;
  }
  machine.Facts = FactsFromDocument(cached ? *cache : parsed, machine.Failure);
  if (!machine.Facts) {
    if (cached) machine.Failure = L"dorvanta_facts: " + machine.Failure;
    return machine;
  }
  if (cached) {
    machine.Host = std::wstring(FileName(input.Path));
  } else if (machine.Facts->Origin && !machine.Facts->Origin->Host.empty()) {
    machine.Host = machine.Facts->Origin->Host;
  } else {
    machine.Host = DocumentStem(input.Path);
  }
  return machine;
}

}  // namespace dorvanta::tool
