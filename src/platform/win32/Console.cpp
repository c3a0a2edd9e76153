#include "common/Encoding.h"
#include "platform/common/ConsoleText.h"

namespace dorvanta::platform {

// 8-bit text; the C runtime's text mode ends its lines with CRLF.
std::string EncodeConsoleText(std::wstring_view text) { return EncodeEightBit(text); }

}  // namespace dorvanta::platform
