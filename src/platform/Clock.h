// The time of day.
#pragma once

namespace dorvanta::platform {

struct UtcTime {
  int Year = 1970;
  int Month = 1;  // 1 .. 12
  int Day = 1;    // 1 .. 31
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
};

// The system's clock now, in UTC, to the millisecond.
UtcTime UtcNow();

}  // namespace dorvanta::platform
