// The machines of a plan: facts documents, folders of them, and the folders of
// Ansible's jsonfile fact cache, whose files are named after their hosts and
// hold the document as the host's fact dorvanta_facts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "facts/FactsSnapshot.h"

namespace dorvanta::tool {

struct PlanInput {
  std::wstring Path;
  // Listed from a folder: a file whose name does not end in .json is one of
  // the fact cache's, never a document by itself.
  bool CacheOnly = false;
};

// What a --facts path names, by name within a folder; why not, when it names
// nothing that can be listed.
struct ListedInputs {
  std::vector<PlanInput> Inputs;
  std::wstring Failure;
};

// A file stands for itself. A folder stands for its files by name (not its
// folders), but for those whose names begin with '.', which the fact cache
// never writes.
ListedInputs ListInputs(const std::wstring& path);

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
