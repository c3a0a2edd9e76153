// Paths handed from the program's wide texts to the Linux file system.
#pragma once

#include <string>
#include <string_view>

namespace dorvanta::platform::linux_impl {

// The path as file-system bytes: UTF-8, with every backslash taken as a
// directory separator, so that paths written for Windows keep working.
std::string ToNativePath(std::wstring_view path);

}  // namespace dorvanta::platform::linux_impl
