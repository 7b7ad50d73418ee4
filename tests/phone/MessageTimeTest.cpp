// The time text of a message: local time, and nothing for a missing date.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
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

// "YYYY-MM-DDTHH:MM:SS+HH:MM" read back: the moment it names, in seconds
// since the epoch, by subtracting the offset from the local time read as
// if it were UTC; -1 for a text of another shape.
std::int64_t secondsOfIsoText(const std::string& text) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, zoneHours = 0, zoneMinutes = 0;
  char sign = 0;
  if (text.size() != 25 || std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c%2d:%2d", &year, &month, &day, &hour,
                                       &minute, &second, &sign, &zoneHours, &zoneMinutes) != 9 ||
      (sign != '+' && sign != '-')) {
    return -1;
  }
  // Days from 1970 by counting: the test needs no calendar library.
  std::int64_t days = 0;
  const auto leap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
  for (int y = 1970; y < year; ++y) days += leap(y) ? 366 : 365;
  const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int m = 1; m < month; ++m) days += monthDays[m - 1] + (m == 2 && leap(year) ? 1 : 0);
  days += day - 1;
  const std::int64_t offset = (sign == '-' ? -1 : 1) * (zoneHours * 3600 + zoneMinutes * 60);
  return days * 86400 + hour * 3600 + minute * 60 + second - offset;
}

TEST(MessageTimeTest, IsoTextIsTheLocalTextWithTheOffsetOfThatMoment) {
  for (const std::int64_t millis : {1546819200000LL, 1560000000999LL, 1709647651000LL, 86400000LL}) {
    const std::string iso = FormatIsoMessageTime(millis);
    EXPECT_EQ(secondsOfIsoText(iso), millis / 1000) << iso;
    std::string local = FormatMessageTime(millis);
    local[10] = 'T';
    EXPECT_EQ(iso.substr(0, 19), local);
  }
  EXPECT_EQ(FormatIsoMessageTime(0), "");
  EXPECT_EQ(FormatIsoMessageTime(-5), "");
  EXPECT_EQ(FormatIsoMessageTime(INT64_MIN), "");
}

#ifndef _WIN32
// Runs with the TZ variable set to a zone of the system's zone data.
class TimeZoneTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (had_) {
      ::setenv("TZ", saved_.c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  void use(const std::string& zone) {
    if (!std::filesystem::exists("/usr/share/zoneinfo/" + zone)) GTEST_SKIP() << "no zone data for " << zone;
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) saved_ = old;
    ::setenv("TZ", zone.c_str(), 1);
    ::tzset();
  }

 private:
  bool had_ = false;
  std::string saved_;
};

TEST_F(TimeZoneTest, OffsetsEastAndWestSummerAndWinterAndHalfHours) {
  use("Europe/Berlin");
  EXPECT_EQ(FormatIsoMessageTime(1547394890000), "2019-01-13T16:54:50+01:00");
  EXPECT_EQ(FormatIsoMessageTime(1563029690000), "2019-07-13T16:54:50+02:00");
  use("America/St_Johns");
  EXPECT_EQ(FormatIsoMessageTime(1547394890000), "2019-01-13T12:24:50-03:30");
  use("Asia/Kolkata");
  EXPECT_EQ(FormatIsoMessageTime(1547394890000), "2019-01-13T21:24:50+05:30");
  // Across midnight and the year's end: the offset is still the zone's.
  use("Pacific/Kiritimati");
  EXPECT_EQ(FormatIsoMessageTime(1577829600000), "2020-01-01T12:00:00+14:00");
  use("UTC");
  EXPECT_EQ(FormatIsoMessageTime(1547394890000), "2019-01-13T15:54:50+00:00");
}

TEST_F(TimeZoneTest, AnOffsetOfSecondsIsWrittenInUtc) {
  // Liberia kept Monrovia Mean Time, 44 minutes 30 seconds behind UTC, until
  // 7 January 1972: ISO 8601 has no seconds in an offset, so such a moment
  // is written in UTC, which names it exactly.
  use("Africa/Monrovia");
  EXPECT_EQ(FormatIsoMessageTime(44625600000), "1971-06-01T12:00:00Z");
  EXPECT_EQ(FormatIsoMessageTime(1547394890000), "2019-01-13T15:54:50+00:00");
}
#endif

}  // namespace
}  // namespace phone
