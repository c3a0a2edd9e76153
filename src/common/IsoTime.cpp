#include "common/IsoTime.h"

namespace dorvanta {
namespace {

// `value` in at least `width` decimal digits.
std::string Digits(int value, std::size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

}  // namespace

std::string IsoTime(const platform::UtcTime& time) {
  return Digits(time.Year, 4) + "-" + Digits(time.Month, 2) + "-" + Digits(time.Day, 2) + "T" +
         Digits(time.Hour, 2) + ":" + Digits(time.Minute, 2) + ":" + Digits(time.Second, 2) + "." +
         Digits(time.Millisecond, 3) + "Z";
}

}  // namespace dorvanta
