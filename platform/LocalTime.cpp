#include "platform/LocalTime.h"

#include <cstdio>
#include <limits>

namespace platform {

bool localTimeOf(std::int64_t secondsSinceEpoch, std::tm& out) {
#ifdef _WIN32
  const __time64_t seconds = secondsSinceEpoch;
  return _localtime64_s(&out, &seconds) == 0;
#else
  if (secondsSinceEpoch < std::numeric_limits<std::time_t>::min() ||
      secondsSinceEpoch > std::numeric_limits<std::time_t>::max()) {
    return false;
  }
  const auto seconds = static_cast<std::time_t>(secondsSinceEpoch);
  return localtime_r(&seconds, &out) != nullptr;
#endif
}

namespace {

// Days from 1970-01-01 to a civil date of the proleptic Gregorian calendar.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

}  // namespace

std::string Iso8601LocalTime(std::int64_t secondsSinceEpoch) {
  std::tm local{};
  if (!localTimeOf(secondsSinceEpoch, local)) return {};
  // The local calendar time read as if it were UTC, less the instant itself,
  // is the offset of the local time from UTC at that instant.
  const std::int64_t asUtc = daysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                           static_cast<unsigned>(local.tm_mday)) * 86400 +
                             local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  const std::int64_t offsetMinutes = (asUtc - secondsSinceEpoch) / 60;
  const std::int64_t magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, offsetMinutes < 0 ? '-' : '+',
                static_cast<int>(magnitude / 60), static_cast<int>(magnitude % 60));
  return text;
}

}  // namespace platform
