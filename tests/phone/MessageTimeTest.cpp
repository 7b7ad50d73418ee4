// The time text of a message: local time, and nothing for a missing date.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

#include "phone/MessageTime.h"

namespace phone {
namespace {

// "YYYY-MM-DD HH:MM:SS" read back as local time, in seconds since the epoch;
// -1 for a text of another shape.
std::int64_t secondsOfLocalText(const std::string& text) {
  std::tm local{};
  if (text.size() != 19 || std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d", &local.tm_year, &local.tm_mon,
                                       &local.tm_mday, &local.tm_hour, &local.tm_min, &local.tm_sec) != 6) {
    return -1;
  }
  local.tm_year -= 1900;
  local.tm_mon -= 1;
  local.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&local));
}

TEST(MessageTimeTest, LocalTimeTextReadsBackAsTheSameSecond) {
  // Winter and summer dates, so that a daylight-saving slip would show.
  for (const std::int64_t millis : {1546819200000LL, 1560000000999LL, 1709647651000LL, 86400000LL}) {
    EXPECT_EQ(secondsOfLocalText(FormatMessageTime(millis)), millis / 1000) << FormatMessageTime(millis);
  }
}

TEST(MessageTimeTest, NoDateGivesNoTextAndNothingOverflows) {
  EXPECT_EQ(FormatMessageTime(0), "");
  EXPECT_EQ(FormatMessageTime(-1), "");
  EXPECT_EQ(FormatMessageTime(INT64_MIN), "");
  const std::string far = FormatMessageTime(INT64_MAX);
  EXPECT_TRUE(far.empty() || far.size() >= 19u) << far;
}

}  // namespace
}  // namespace phone
