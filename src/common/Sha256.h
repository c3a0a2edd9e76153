// SHA-256 (FIPS 180-4) of bytes in memory.
#pragma once

#include <string>
#include <string_view>

namespace dorvanta {

// The digest of `bytes` as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace dorvanta
