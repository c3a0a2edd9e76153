// The profile reader on Linux: the file is read and indexed once, and read
// again only when it has changed.
#include "platform/ProfileReader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <optional>
#include <string>
#include <utility>

#include "platform/linux/FileIo.h"
#include "platform/linux/NativePath.h"
#include "platform/linux/parse/ProfileParser.h"

namespace dorvanta::platform {
namespace linux_impl {
namespace {

// What tells one version of a file from another: replacing or rewriting the
// file changes at least one of these.
struct FileIdentity {
  dev_t device;
  ino_t inode;
  off_t size;
  std::time_t modified_seconds;
  long modified_nanoseconds;

  bool operator==(const FileIdentity&) const = default;
};

struct CachedProfile {
  // Compared in LoadProfile (cache->path), which cppcheck does not see.
  // cppcheck-suppress unusedStructMember
  std::string path;
  FileIdentity identity;
  Profile profile;
};

// The profile at `path`, from the cache while the file is unchanged; nothing
// when the file cannot be opened or read.
const Profile* LoadProfile(const std::string& path) {
  static std::optional<CachedProfile> cache;
  const FileHandle file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return nullptr;
  struct stat status {};
  if (fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return nullptr;
  const FileIdentity identity{status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec,
                              status.st_mtim.tv_nsec};
  if (cache && cache->path == path && cache->identity == identity) return &cache->profile;
  // The old profile goes first, so that two large files are never held at once.
  cache.reset();
  std::optional<std::string> bytes =
      ReadToEnd(file.get(), nullptr, static_cast<std::size_t>(status.st_size));
  if (!bytes) return nullptr;
  cache.emplace(CachedProfile{path, identity, Profile(std::move(*bytes))});
  return &cache->profile;
}

}  // namespace
}  // namespace linux_impl

std::uint32_t ReadProfileSection(const std::wstring& iniPath, const std::wstring& section,
                                 std::span<wchar_t> buffer) {
  const linux_impl::Profile* profile = linux_impl::LoadProfile(linux_impl::ToNativePath(iniPath));
  if (profile == nullptr) {
    // A file that cannot be read reads like one without sections.
    static const linux_impl::Profile kNoFile{std::string()};
    return kNoFile.ReadSection(section, buffer);
  }
  return profile->ReadSection(section, buffer);
}

}  // namespace dorvanta::platform
