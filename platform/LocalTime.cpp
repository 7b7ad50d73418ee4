#include "platform/LocalTime.h"

#include <cstdio>
#include <limits>

namespace platform {

namespace {

// Breaks the seconds down with one of the runtime's thread-safe conversions.
#ifdef _WIN32
using Conversion = errno_t (*)(std::tm*, const __time64_t*);

bool breakDown(std::int64_t secondsSinceEpoch, std::tm& out, Conversion convert) {
  const __time64_t seconds = secondsSinceEpoch;
  return convert(&out, &seconds) == 0;
}
#else
using Conversion = std::tm* (*)(const std::time_t*, std::tm*);

bool breakDown(std::int64_t secondsSinceEpoch, std::tm& out, Conversion convert) {
  if (secondsSinceEpoch < std::numeric_limits<std::time_t>::min() ||
      secondsSinceEpoch > std::numeric_limits<std::time_t>::max()) {
    return false;
  }
  const auto seconds = static_cast<std::time_t>(secondsSinceEpoch);
  return convert(&seconds, &out) != nullptr;
}
#endif

bool utcTimeOf(std::int64_t secondsSinceEpoch, std::tm& out) {
#ifdef _WIN32
  return breakDown(secondsSinceEpoch, out, _gmtime64_s);
#else
  return breakDown(secondsSinceEpoch, out, gmtime_r);
#endif
}

// How far local time is ahead of UTC, in seconds, from the two calendar
// times of one instant: they are at most a day apart.
std::int64_t secondsAheadOfUtc(const std::tm& local, const std::tm& utc) {
  std::int64_t days = local.tm_yday - utc.tm_yday;
  if (local.tm_year != utc.tm_year) days = local.tm_year > utc.tm_year ? 1 : -1;
  return ((days * 24 + local.tm_hour - utc.tm_hour) * 60 + local.tm_min - utc.tm_min) * 60 + local.tm_sec -
         utc.tm_sec;
}

// "YYYY-MM-DDTHH:MM:SS" and the zone; room for any int fields, so that a
// strange year cannot overflow.
std::string isoText(const std::tm& time, const char* zone) {
  char text[96];
  const int length = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%s", time.tm_year + 1900,
                                   time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec, zone);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof text) return std::string();
  return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace

bool localTimeOf(std::int64_t secondsSinceEpoch, std::tm& out) {
#ifdef _WIN32
  return breakDown(secondsSinceEpoch, out, _localtime64_s);
#else
  return breakDown(secondsSinceEpoch, out, localtime_r);
#endif
}

std::string Iso8601LocalTime(std::int64_t secondsSinceEpoch) {
  std::tm local{};
  std::tm utc{};
  if (!localTimeOf(secondsSinceEpoch, local) || !utcTimeOf(secondsSinceEpoch, utc)) return std::string();
  const std::int64_t offset = secondsAheadOfUtc(local, utc);
  if (offset % 60 != 0) return isoText(utc, "Z");
  const std::int64_t minutes = (offset < 0 ? -offset : offset) / 60;
  char zone[16];
  std::snprintf(zone, sizeof zone, "%c%02d:%02d", offset < 0 ? '-' : '+', static_cast<int>(minutes / 60 % 100),
                static_cast<int>(minutes % 60));
  return isoText(local, zone);
}

}  // namespace platform
