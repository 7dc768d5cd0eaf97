#include "ofl/local_time.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>

#include "common/tz.h"

namespace {

using orvacmn::testing::ScopedTZ;

std::tm Fields(int y, int mon, int d, int h, int mi, int s = 0) {
  std::tm tm{};
  tm.tm_year = y - 1900, tm.tm_mon = mon - 1, tm.tm_mday = d, tm.tm_hour = h, tm.tm_min = mi, tm.tm_sec = s;
  return tm;
}

// Skipped times move forward by the gap, repeated ones are their first occurrence, in zones with northern,
// southern and half-hour changes; the answer never depends on what was converted before.
TEST(LocalTime, GapsOverlapsAndRollovers) {
  struct Case { const char* zone; std::array<int, 6> wall; int64_t t; };
  const Case cases[] = {
      {"Europe/Berlin", {2024, 3, 31, 2, 30, 0}, 1711848600}, {"Europe/Berlin", {2024, 3, 31, 1, 59, 59}, 1711846799},
      {"Europe/Berlin", {2024, 10, 27, 2, 30, 0}, 1729989000}, {"Europe/Berlin", {2024, 10, 27, 3, 0, 0}, 1729994400},
      {"America/New_York", {2024, 3, 10, 2, 30, 0}, 1710055800},
      {"America/New_York", {2024, 11, 3, 1, 30, 0}, 1730611800},
      {"Australia/Lord_Howe", {2024, 10, 6, 2, 15, 0}, 1728143100},
      {"Australia/Lord_Howe", {2024, 4, 7, 1, 45, 0}, 1712414700},
      {":Europe/Berlin", {2024, 3, 31, 2, 30, 0}, 1711848600}, {"UTC", {2024, 3, 31, 2, 30, 0}, 1711852200},
      // A TZ that names no zone file is UTC.
      {"CET-1CEST,M3.5.0,M10.5.0/3", {2024, 3, 31, 2, 30, 0}, 1711852200}, {"", {1970, 1, 1, 0, 0, 0}, 0},
      // Fields out of range roll over.
      {"Europe/Berlin", {2023, 13, 1, 0, 0, 0}, 1704063600}, {"Europe/Berlin", {2024, 0, 1, 0, 0, 0}, 1701385200},
      {"Europe/Berlin", {2024, 3, 0, -1, 0, 3599}, 1709161199}, {"Europe/Berlin", {2023, 1, 400, 48, 0, -30}, 1707173970},
  };
  for (const char* before : {"Europe/Berlin", "America/New_York"})
    for (const Case& c : cases) {
      {
        ScopedTZ other(before);  // converting elsewhere first changes nothing
        OFL::MakeLocalTime(Fields(2024, 10, 27, 2, 30));
        OFL::MakeLocalTime(Fields(2024, 3, 31, 2, 30));
      }
      ScopedTZ tz(c.zone);
      const auto& w = c.wall;
      EXPECT_EQ(OFL::MakeLocalTime(Fields(w[0], w[1], w[2], w[3], w[4], w[5])), c.t) << c.zone << ' ' << w[1];
    }
}

// Local fields of a time, and every quarter hour of 2024 there and back: unique times come back as they were,
// skipped ones an hour (half an hour) later, the second of two equal wall times as the first.
TEST(LocalTime, BrokenDownFieldsAndRoundTrips) {
  {
    ScopedTZ tz("Europe/Berlin");
    std::tm tm{};
    ASSERT_TRUE(OFL::LocalTimeOf(1729989000, tm));  // Sunday 27 October 2024 02:30 CEST
    EXPECT_TRUE(tm.tm_year == 124 && tm.tm_mon == 9 && tm.tm_mday == 27 && tm.tm_hour == 2 && tm.tm_min == 30 &&
                tm.tm_sec == 0 && tm.tm_wday == 0 && tm.tm_yday == 300 && tm.tm_isdst == 1 && tm.tm_gmtoff == 7200);
    EXPECT_STREQ(tm.tm_zone, "CEST");
    ASSERT_TRUE(OFL::LocalTimeOf(1729992600, tm));  // the same wall time an hour later, CET
    EXPECT_TRUE(tm.tm_hour == 2 && tm.tm_min == 30 && tm.tm_isdst == 0 && tm.tm_gmtoff == 3600);
    ASSERT_TRUE(OFL::LocalTimeOf(-1, tm));
    EXPECT_TRUE(tm.tm_year == 70 && tm.tm_hour == 0 && tm.tm_min == 59 && tm.tm_sec == 59 && tm.tm_wday == 4);
    ASSERT_TRUE(OFL::LocalTimeOf(1709164800, tm));  // Thursday 29 February 2024 01:00
    EXPECT_TRUE(tm.tm_wday == 4 && tm.tm_yday == 59 && tm.tm_mday == 29 && tm.tm_mon == 1);
    tm.tm_mday = 77;
    EXPECT_FALSE(OFL::LocalTimeOf(INT64_MAX, tm));
    EXPECT_EQ(tm.tm_mday, 77) << "left as it was";
  }
  for (const auto& [zone, repeats] : {std::pair{"Europe/Berlin", 4}, {"America/New_York", 4},
                                      {"Australia/Lord_Howe", 2}, {"UTC", 0}}) {
    ScopedTZ tz(zone);
    int skipped = 0, repeated = 0;
    for (int64_t t = 1704067200; t < 1735689600; t += 900) {
      std::tm tm{}, before{}, first{};
      ASSERT_TRUE(OFL::LocalTimeOf(t, tm) && OFL::LocalTimeOf(t - 1, before));
      const int64_t back = OFL::MakeLocalTime(tm);
      if (back != t) {
        ++repeated;
        ASSERT_TRUE(back < t && back >= t - 3600 && OFL::LocalTimeOf(back, first) && first.tm_mday == tm.tm_mday &&
                    first.tm_hour == tm.tm_hour && first.tm_min == tm.tm_min && first.tm_sec == tm.tm_sec)
            << zone << ' ' << t;
      }
      if (const long jump = tm.tm_gmtoff - before.tm_gmtoff; jump > 0) {
        ++skipped;  // the wall time a second before is one the clock jumped over
        std::tm wall = tm;
        --wall.tm_sec;
        EXPECT_EQ(OFL::MakeLocalTime(wall), t - 1 + jump) << zone << ' ' << t;
      }
    }
    EXPECT_TRUE(repeated == repeats && skipped == (repeats ? 1 : 0)) << zone << ' ' << repeated << ' ' << skipped;
  }
}

}  // namespace
