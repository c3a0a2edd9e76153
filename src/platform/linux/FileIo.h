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

// Everything from `fd` to the end of the file (room for `sizeHint` bytes made
// first), or nothing when a read fails; `error` receives errno of the failure
// when given.
std::optional<std::string> ReadToEnd(int fd, int* error = nullptr, std::size_t sizeHint = 0);

// The whole content of the file, or nothing when it cannot be opened or read;
// `error` receives errno of the failure when given.
std::optional<std::string> ReadWholeFile(const std::string& path, int* error = nullptr);

// Writes all of `bytes` to `fd`. On failure `error`, when given, receives errno,
// or 0 when the system wrote nothing without saying why.
bool WriteAll(int fd, std::string_view bytes, int* error = nullptr);

}  // namespace dorvanta::platform::linux_impl
