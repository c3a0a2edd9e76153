#include "common/Encoding.h"
#include "platform/common/ConsoleText.h"

namespace dorvanta::platform {

std::string EncodeConsoleText(std::wstring_view text) { return EncodeUtf8(text); }

}  // namespace dorvanta::platform
