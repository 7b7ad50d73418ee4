#include "platform/LocalTime.h"

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

bool utcTimeOf(std::int64_t secondsSinceEpoch, std::tm& out) {
#ifdef _WIN32
  const __time64_t seconds = secondsSinceEpoch;
  return _gmtime64_s(&out, &seconds) == 0;
#else
  if (secondsSinceEpoch < std::numeric_limits<std::time_t>::min() ||
      secondsSinceEpoch > std::numeric_limits<std::time_t>::max()) {
    return false;
  }
  const auto seconds = static_cast<std::time_t>(secondsSinceEpoch);
  return gmtime_r(&seconds, &out) != nullptr;
#endif
}

}  // namespace platform
