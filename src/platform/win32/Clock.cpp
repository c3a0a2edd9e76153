#include "platform/Clock.h"

#include <windows.h>

namespace dorvanta::platform {

UtcTime UtcNow() {
  SYSTEMTIME now{};
  ::GetSystemTime(&now);
  return UtcTime{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                 now.wMinute, now.wSecond, now.wMilliseconds};
}

}  // namespace dorvanta::platform
