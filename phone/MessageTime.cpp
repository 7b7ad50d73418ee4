#include "phone/MessageTime.h"

#include <cstdio>
#include <ctime>

#include "platform/LocalTime.h"

namespace phone {

namespace {

// "YYYY-MM-DD", the separator, "HH:MM:SS"; room for any int fields, so
// that a strange year cannot overflow.
std::string dateAndTime(const std::tm& time, char separator) {
  char text[80];
  const int length = std::snprintf(text, sizeof text, "%04d-%02d-%02d%c%02d:%02d:%02d", time.tm_year + 1900,
                                   time.tm_mon + 1, time.tm_mday, separator, time.tm_hour, time.tm_min, time.tm_sec);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof text) return std::string();
  return std::string(text, static_cast<std::size_t>(length));
}

// How far local time is ahead of UTC, in seconds, from the two calendar
// times of one moment: they are at most a day apart.
std::int64_t secondsAheadOfUtc(const std::tm& local, const std::tm& utc) {
  std::int64_t days = 0;
  if (local.tm_year != utc.tm_year) {
    days = local.tm_year > utc.tm_year ? 1 : -1;
  } else {
    days = local.tm_yday - utc.tm_yday;
  }
  return ((days * 24 + local.tm_hour - utc.tm_hour) * 60 + local.tm_min - utc.tm_min) * 60 + local.tm_sec -
         utc.tm_sec;
}

}  // namespace

std::string FormatMessageTime(std::int64_t millisSinceEpoch) {
  if (millisSinceEpoch <= 0) return std::string();
  std::tm local{};
  if (!platform::localTimeOf(millisSinceEpoch / 1000, local)) return std::string();
  return dateAndTime(local, ' ');
}

std::string FormatIsoMessageTime(std::int64_t millisSinceEpoch) {
  if (millisSinceEpoch <= 0) return std::string();
  const std::int64_t seconds = millisSinceEpoch / 1000;
  std::tm local{};
  std::tm utc{};
  if (!platform::localTimeOf(seconds, local) || !platform::utcTimeOf(seconds, utc)) return std::string();
  const std::int64_t offset = secondsAheadOfUtc(local, utc);
  if (offset % 60 != 0) {
    const std::string text = dateAndTime(utc, 'T');
    return text.empty() ? text : text + "Z";
  }
  const std::string text = dateAndTime(local, 'T');
  if (text.empty()) return text;
  const std::int64_t minutes = (offset < 0 ? -offset : offset) / 60;
  char zone[32];
  std::snprintf(zone, sizeof zone, "%c%02d:%02d", offset < 0 ? '-' : '+', static_cast<int>(minutes / 60 % 100),
                static_cast<int>(minutes % 60));
  return text + zone;
}

}  // namespace phone
