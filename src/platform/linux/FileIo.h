// Reading and writing whole files through file descriptors.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/UniqueResource.h"

namespace dorvanta::platform::linux_impl {

void CloseDescriptor(int fd);

// Owns an open file descriptor; -1 is no file.
using FileHandle = UniqueResource<&CloseDescriptor, int, -1>;

// Closes the file and says whether the close itself succeeded (a write the
// system kept back can fail there); on failure `error`, when given, receives errno.
bool CloseFile(FileHandle file, int* error = nullptr);

// What a read of at most a given number of bytes found.
struct LimitedRead {
  std::string Bytes;
  // The file held more than the limit: Bytes holds the first `limit` of them.
  bool Cut = false;
};

// The bytes from `fd` to the end of the file, but never more than `limit` of
// them (room for min(sizeHint, limit) bytes made first); nothing when a read
// fails, and `error` then receives errno of the failure when given.
std::optional<LimitedRead> ReadUpTo(int fd, std::size_t limit, int* error = nullptr,
                                    std::size_t sizeHint = 0);

// Configuration files (os-release, locale files, user-dirs.dirs, /proc and
// /sys entries) are read up to this size; the rest of a longer file is ignored.
inline constexpr std::size_t kConfigFileLimit = std::size_t{64} * 1024;

// The first kConfigFileLimit bytes of a configuration file, or nothing when it
// cannot be opened or read; `error` receives errno of the failure when given.
// The file is opened without blocking, so a FIFO without a writer reads as empty.
std::optional<std::string> ReadConfigFile(const std::string& path, int* error = nullptr);

// Writes all of `bytes` to `fd`. On failure `error`, when given, receives errno,
// or 0 when the system wrote nothing without saying why.
bool WriteAll(int fd, std::string_view bytes, int* error = nullptr);

}  // namespace dorvanta::platform::linux_impl
