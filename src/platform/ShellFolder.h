// The file-system folders of the shell, looked up by CSIDL number.
#pragma once

#include <string>

namespace dorvanta::platform {

enum class FolderLookupStatus {
  Found,
  NoFolder,  // the shell does not know the folder
  NoPath,    // the folder exists but has no file-system path
};

struct FolderLookup {
  FolderLookupStatus Status = FolderLookupStatus::NoFolder;
  std::wstring Path;  // set when Found, whatever its length
};

// The current location of the shell folder with the CSIDL number `csidl`.
FolderLookup LookUpShellFolder(int csidl);

}  // namespace dorvanta::platform
