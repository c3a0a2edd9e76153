// Folder tokens ([CSIDL_...]) and environment references (%NAME%) in paths.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "run/RunContext.h"

namespace dorvanta {

struct FolderToken {
  std::wstring_view Name;  // CSIDL_...
  int Csidl;
};

// Every folder token, in lookup order.
std::span<const FolderToken> FolderTokens();

// The CSIDL number of a folder name of the table (matched whole, letter case
// significant), or -1.
int CsidlFromName(std::wstring_view name);

// The folder token that ResolvePath looks up in the path: the text enclosed by
// the first "[" and the first "]" (searched from the start), with every "["
// and "]" at its ends removed; empty when there is none.
std::wstring_view FindFolderToken(std::wstring_view path);

// The path with its folder token replaced (the folder as the context's fact
// source knows it) and its environment references
// expanded. Only the token that the first "[" and the first "]" enclose is
// resolved, at every place it stands. Empty, after a report, when that token
// names a folder that cannot be found or has no file-system path, or when the
// expansion fails (its result would exceed the system's limit).
std::wstring ResolvePath(RunContext& context, const std::wstring& path);

}  // namespace dorvanta
