#pragma once
// Calendar time in the user's time zone.

#include <cstdint>
#include <ctime>
#include <string>

namespace platform {

// Breaks seconds since 1970-01-01 UTC into the local calendar time (the
// runtime's thread-safe local-time conversion). False when the system cannot
// convert the value (before 1970 on Windows, after the year 3000, ...).
bool localTimeOf(std::int64_t secondsSinceEpoch, std::tm& out);

// The local time as ISO 8601 with the offset from UTC at that instant, such
// as "2026-12-08T09:15:00+01:00"; empty when it cannot be converted. An
// offset that is not a whole number of minutes (local mean time before
// time zones) has no ISO 8601 form: such an instant is written in UTC,
// "1971-06-01T12:00:00Z", which names it exactly.
std::string Iso8601LocalTime(std::int64_t secondsSinceEpoch);

}  // namespace platform
