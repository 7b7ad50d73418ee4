#include "phone/MessageTime.h"

#include <cstdio>
#include <ctime>

#include "platform/LocalTime.h"

namespace phone {

std::string FormatMessageTime(std::int64_t millisSinceEpoch) {
  if (millisSinceEpoch <= 0) return std::string();
  std::tm local{};
  if (!platform::localTimeOf(millisSinceEpoch / 1000, local)) return std::string();
  // Room for any int fields, so that a strange year cannot overflow.
  char text[80];
  const int length = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900,
                                   local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof text) return std::string();
  return std::string(text, static_cast<std::size_t>(length));
}

std::string FormatIsoMessageTime(std::int64_t millisSinceEpoch) {
  if (millisSinceEpoch <= 0) return std::string();
  return platform::Iso8601LocalTime(millisSinceEpoch / 1000);
}

}  // namespace phone
