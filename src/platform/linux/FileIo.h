// Reading small system files whole.
#pragma once

#include <optional>
#include <string>

namespace dorvanta::platform::linux_impl {

// The whole content of the file, or empty when it cannot be opened or read;
// `error` receives errno of the failure when given.
std::optional<std::string> ReadWholeFile(const std::string& path, int* error = nullptr);

}  // namespace dorvanta::platform::linux_impl
