// The machines of a plan: facts documents, folders of them, and the folders of
// Ansible's jsonfile fact cache, whose files are named after their hosts and
// hold the document as the host's fact dorvanta_facts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "facts/FactsSnapshot.h"
#include "platform/FileSystem.h"

namespace dorvanta::tool {

struct PlanInput {
  std::wstring Path;
  // Listed from a folder: a file whose name does not end in .json is one of
  // the fact cache's, never a document by itself.
  bool CacheOnly = false;
};

// The files that the --facts paths name, in the order given, a folder's by
// name: the folders are kept as their listings, and each input is made when
// it is asked for, so that a fleet of many files takes little room.
class PlanInputs {
 public:
  // Adds what `path` names: a file stands for itself; a folder for its files
  // (not its folders), but for those whose names begin with '.', which the
  // fact cache never writes. Why nothing was added, when nothing was.
  std::optional<std::wstring> Add(const std::wstring& path);

  [[nodiscard]] std::size_t size() const { return entries_.size(); }
  [[nodiscard]] PlanInput operator[](std::size_t index) const;

 private:
  static constexpr std::uint32_t kOwnFile = UINT32_MAX;
  struct Entry {
    std::uint32_t Folder;  // kOwnFile for a file named itself
    std::uint32_t Index;   // in files_, or in the folder's listing
  };

  std::vector<std::wstring> files_;
  std::vector<platform::FolderListing> folders_;
  std::vector<Entry> entries_;
};

// One machine's facts and the name it goes by, or why the file holds none.
struct MachineFacts {
  std::optional<FactsSnapshot> Facts;
  std::wstring Host;
  std::wstring Failure;
};

// Reads the file and its facts: a fact cache file (a JSON object with the
// member dorvanta_facts) is the inventory's host of its file name; a facts
// document is its host's, or for a document that names none (the first
// version's) its file name's without .facts.json or .json.
MachineFacts ReadMachine(const PlanInput& input);

}  // namespace dorvanta::tool
