// A time of the system's clock as the documents and records write it.
#pragma once

#include <string>

#include "platform/Clock.h"

namespace dorvanta {

// "2026-12-09T08:31:29.123Z": UTC, ISO 8601 with milliseconds, a year of four digits.
std::string IsoTime(const platform::UtcTime& time);

}  // namespace dorvanta
