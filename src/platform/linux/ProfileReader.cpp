// The profile reader on Linux: the file is read and indexed once, and read
// again only when it has changed.
#include "platform/ProfileReader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <utility>

#include "platform/linux/FileIo.h"
#include "platform/linux/NativePath.h"
#include "rules/ProfileParser.h"

namespace dorvanta::platform {
namespace linux_impl {
namespace {

// A larger file is read as holding no sections, as the Windows reader reads a
// file too large for it, rather than held in memory.
constexpr std::size_t kProfileFileLimit = std::size_t{64} * 1024 * 1024;

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
// when the file cannot be opened or read, is no regular file (a FIFO or a
// device, which the open must not wait for) or is larger than kProfileFileLimit.
const Profile* LoadProfile(const std::string& path) {
  static std::optional<CachedProfile> cache;
  const FileHandle file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) return nullptr;
  struct stat status {};
  if (fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return nullptr;
  if (static_cast<std::uintmax_t>(status.st_size) > kProfileFileLimit) return nullptr;
  const FileIdentity identity{status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec,
                              status.st_mtim.tv_nsec};
  if (cache && cache->path == path && cache->identity == identity) return &cache->profile;
  // The old profile goes first, so that two large files are never held at once.
  cache.reset();
  // The file may have grown since fstat.
  std::optional<LimitedRead> read =
      ReadUpTo(file.get(), kProfileFileLimit, nullptr, static_cast<std::size_t>(status.st_size));
  if (!read || read->Cut) return nullptr;
  cache.emplace(CachedProfile{path, identity, Profile(std::move(read->Bytes))});
  return &cache->profile;
}

}  // namespace
}  // namespace linux_impl

std::uint32_t ReadProfileSection(const std::wstring& iniPath, const std::wstring& section,
                                 std::span<wchar_t> buffer) {
  const Profile* profile = linux_impl::LoadProfile(linux_impl::ToNativePath(iniPath));
  if (profile == nullptr) {
    // A file that cannot be read reads like one without sections.
    static const Profile kNoFile{std::string()};
    return kNoFile.ReadSection(section, buffer);
  }
  return profile->ReadSection(section, buffer);
}

std::optional<Profile> ReadProfile(const std::wstring& iniPath) {
  const Profile* profile = linux_impl::LoadProfile(linux_impl::ToNativePath(iniPath));
  if (profile == nullptr) return std::nullopt;
  return *profile;
}

}  // namespace dorvanta::platform
