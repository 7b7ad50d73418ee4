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

}  // namespace phone
