#include "ofl/local_time.h"

#include <gtest/gtest.h>

#include <array>

#include "common/tz.h"

namespace {

std::time_t Reference(std::tm tm) {
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

// Every quarter hour of 2024 and a few rolled-over fields, in zones with
// northern, southern and half-hour daylight saving, agree with mktime.
TEST(MakeLocalTime, AgreesWithMktime) {
  for (const char* zone : {orvacmn::testing::kCentralEurope, "EST5EDT,M3.2.0,M11.1.0",
                           "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", "UTC0"}) {
    orvacmn::testing::ScopedTZ tz(zone);
    std::tm tm{};
    tm.tm_year = 124;
    for (int day = 1; day <= 366; ++day)
      for (int minute = 0; minute < 24 * 60; minute += 15) {
        tm.tm_mday = day;  // day 60 of January is 29 February
        tm.tm_hour = minute / 60;
        tm.tm_min = minute % 60;
        ASSERT_EQ(OFL::MakeLocalTime(tm), Reference(tm)) << zone << " day " << day << " minute " << minute;
      }
    for (const auto& [mon, mday, hour, sec] : {std::array{13, 1, 0, 0}, {-1, 1, 0, 0}, {-13, 31, 25, 0},
                                              {2, 0, -1, 0}, {9, 27, 2, 3599}, {0, 400, 48, -30}}) {
      tm = {};
      tm.tm_year = 124, tm.tm_mon = mon, tm.tm_mday = mday, tm.tm_hour = hour, tm.tm_sec = sec;
      EXPECT_EQ(OFL::MakeLocalTime(tm), Reference(tm)) << zone << " month " << mon;
    }
  }
}

}  // namespace
