#pragma once
// The time text of a message: what each bubble shows above the message and
// what the SMS export writes before it.

#include <cstdint>
#include <string>

namespace phone {

// Local time of a moment given in milliseconds since 1970-01-01 UTC (the
// providers' `date` columns), as "YYYY-MM-DD HH:MM:SS". Empty for 0 and
// negative values (no date stored) and for moments the system cannot convert.
std::string FormatMessageTime(std::int64_t millisSinceEpoch);

// The same moment as ISO 8601 local time with the zone's offset from UTC at
// that moment (platform::Iso8601LocalTime), e.g. 2019-01-13T16:54:50+01:00,
// which names the instant wherever it is read. Empty for 0 and negative
// values (no date stored) and for moments the system cannot convert.
std::string FormatIsoMessageTime(std::int64_t millisSinceEpoch);

}  // namespace phone
