// Ownership of a shell item identifier list.
#pragma once

#include <shlobj.h>
#include <windows.h>

namespace dorvanta::platform::win32 {

class UniqueIdList {
 public:
  UniqueIdList() = default;
  UniqueIdList(const UniqueIdList&) = delete;
  UniqueIdList& operator=(const UniqueIdList&) = delete;
  ~UniqueIdList() { ::ILFree(list_); }

  [[nodiscard]] PCIDLIST_ABSOLUTE Get() const { return list_; }
  // For functions that hand out a new list; the current one must be empty.
  [[nodiscard]] PIDLIST_ABSOLUTE* Receive() { return &list_; }

 private:
  PIDLIST_ABSOLUTE list_ = nullptr;
};

}  // namespace dorvanta::platform::win32
