#include "platform/linux/NativePath.h"

#include <algorithm>

#include "common/Encoding.h"

namespace dorvanta::platform::linux_impl {

std::string ToNativePath(std::wstring_view path) {
  std::string bytes = EncodeUtf8(path);
  std::replace(bytes.begin(), bytes.end(), '\\', '/');
  return bytes;
}

}  // namespace dorvanta::platform::linux_impl
