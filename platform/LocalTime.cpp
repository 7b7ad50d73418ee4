#include "platform/LocalTime.h"

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

}  // namespace

bool localTimeOf(std::int64_t secondsSinceEpoch, std::tm& out) {
#ifdef _WIN32
  return breakDown(secondsSinceEpoch, out, _localtime64_s);
#else
  return breakDown(secondsSinceEpoch, out, localtime_r);
#endif
}

bool utcTimeOf(std::int64_t secondsSinceEpoch, std::tm& out) {
#ifdef _WIN32
  return breakDown(secondsSinceEpoch, out, _gmtime64_s);
#else
  return breakDown(secondsSinceEpoch, out, gmtime_r);
#endif
}

}  // namespace platform
