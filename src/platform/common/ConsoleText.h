// The console's text encoding, which each platform defines.
#pragma once

#include <string>
#include <string_view>

namespace dorvanta::platform {

std::string EncodeConsoleText(std::wstring_view text);

}  // namespace dorvanta::platform
