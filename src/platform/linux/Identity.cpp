#include "platform/Identity.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "common/Encoding.h"

namespace dorvanta::platform {

std::wstring HostName() {
  utsname names{};
  if (::uname(&names) != 0) return std::wstring();
  return DecodeUtf8(names.nodename);
}

// The account of the effective user; the USER variable where the user
// database has none (a container's unnamed user).
std::wstring UserName() {
  const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr) {
    return DecodeUtf8(found->pw_name);
  }
  const char* user = std::getenv("USER");
  return user == nullptr ? std::wstring() : DecodeUtf8(user);
}

}  // namespace dorvanta::platform
