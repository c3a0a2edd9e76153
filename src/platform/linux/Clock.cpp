#include "platform/Clock.h"

#include <time.h>

namespace dorvanta::platform {

UtcTime UtcNow() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm parts{};
  if (::gmtime_r(&now.tv_sec, &parts) == nullptr) return UtcTime{};
  return UtcTime{parts.tm_year + 1900,
                 parts.tm_mon + 1,
                 parts.tm_mday,
                 parts.tm_hour,
                 parts.tm_min,
                 parts.tm_sec,
                 static_cast<int>(now.tv_nsec / 1000000)};
}

}  // namespace dorvanta::platform
