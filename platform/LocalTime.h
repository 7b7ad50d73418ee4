#pragma once
// Calendar time in the user's time zone.

#include <cstdint>
#include <ctime>

namespace platform {

// Breaks seconds since 1970-01-01 UTC into the local calendar time (the
// runtime's thread-safe local-time conversion). False when the system cannot
// convert the value (before 1970 on Windows, after the year 3000, ...).
bool localTimeOf(std::int64_t secondsSinceEpoch, std::tm& out);

// The same in UTC (the runtime's thread-safe UTC conversion); false when
// the system cannot convert the value.
bool utcTimeOf(std::int64_t secondsSinceEpoch, std::tm& out);

}  // namespace platform
