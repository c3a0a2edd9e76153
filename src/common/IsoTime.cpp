#include "common/IsoTime.h"

namespace dorvanta {
namespace {

// The last `width` decimal digits of `value` (not negative) at `out`.
void Digits(int value, int width, char* out) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

}  // namespace

std::string IsoTime(const platform::UtcTime& time) {
  char text[] = "0000-00-00T00:00:00.000Z";
  Digits(time.Year, 4, text);
  Digits(time.Month, 2, text + 5);
  Digits(time.Day, 2, text + 8);
  Digits(time.Hour, 2, text + 11);
  Digits(time.Minute, 2, text + 14);
  Digits(time.Second, 2, text + 17);
  Digits(time.Millisecond, 3, text + 20);
  return std::string(text, sizeof text - 1);
}

}  // namespace dorvanta
