// Repeat intervals: the text and display forms, and the next run in local
// time, across daylight-saving changes.
#include <gtest/gtest.h>

#include "common/tz.h"
#include "ofl/interval_str.h"

namespace {

using orvacmn::testing::ScopedTZ;

TEST(IntervalStr, TextForms) {
  const struct {
    const char* text;
    const char* normal;
    const char* display;
  } cases[] = {
      {"30m", "30m", "every 30 minutes"},
      {"1H", "1h", "every hour"},
      {"0002d@02:00", "2d@02:00", "every 2 days at 02:00"},
      {"1d", "1d", "every day"},
      {"1w@22:30/Fr,Mo", "1w@22:30/Mo,Fr", "every week on Mon, Fri at 22:30"},
      {"3w/su", "3w/Su", "every 3 weeks on Sun"},
      {"9999m", "9999m", "every 9999 minutes"},
  };
  for (const auto& c : cases) {
    const OFLIntervalStr interval(c.text);
    ASSERT_TRUE(interval.IsValid()) << c.text;
    EXPECT_EQ(interval.GetIntervalStr(), c.normal);
    EXPECT_EQ(interval.GetIntervalDisplayStr(), c.display);
    OFLIntervalStr back;
    ASSERT_TRUE(back.SetIntervalDisplayStr(c.display)) << c.display;
    EXPECT_EQ(back.GetIntervalStr(), c.normal);
    EXPECT_TRUE(back.SetIntervalDisplayStr(OFL::ToUpper(c.display)));
  }
  for (const char* bad : {"", "m", "0m", "10000m", "100000m", "5x", "5m@01:00", "1d@24:00", "1d@1:00", "1d@01:60",
                          "1w/Mo,Mo", "1w/Xx", "1d/Mo", "1w/", "1h ", " 1h", "-1h", "1d@01:00x"}) {
    OFLIntervalStr interval;
    EXPECT_FALSE(interval.SetIntervalStr(bad)) << bad;
    EXPECT_FALSE(OFLIntervalStr::IsValidInterval(bad)) << bad;
    EXPECT_EQ(interval.GetIntervalStr(), "");
    EXPECT_EQ(interval.GetIntervalDisplayStr(), "never");
  }
  for (const char* bad : {"", "every", "every 1 hours", "every 2 hour", "every hours", "every day at 2:00",
                          "every week on Xyz", "each day", "every day extra"}) {
    OFLIntervalStr interval;
    EXPECT_FALSE(interval.SetIntervalDisplayStr(bad)) << bad;
  }
}

TEST(IntervalStr, NextRunInLocalTime) {
  ScopedTZ tz("Europe/Berlin");
  // 2024-03-30 12:00 CET (Saturday); the clocks go forward the next night.
  const int64_t sat = 1711796400;
  EXPECT_EQ(OFLIntervalStr("90m").GetNextRunTime(sat), sat + 5400);
  EXPECT_EQ(OFLIntervalStr("2h").GetNextRunTime(sat), sat + 7200);
  EXPECT_EQ(OFLIntervalStr("1d").GetNextRunTime(sat), sat + 86400);
  EXPECT_EQ(OFLIntervalStr("2w").GetNextRunTime(sat), sat + 14 * 86400);
  // Sunday 02:30 does not exist: the first slot after is 03:30 CEST.
  EXPECT_EQ(OFLIntervalStr("1d@14:00").GetNextRunTime(sat), sat + 2 * 3600);
  EXPECT_EQ(OFLIntervalStr("1d@02:00").GetNextRunTime(sat), 1711846800);      // Sun 03:00 CEST
  EXPECT_EQ(OFLIntervalStr("3d@11:00").GetNextRunTime(sat), 1712048400);      // Tue 11:00 CEST
  EXPECT_EQ(OFLIntervalStr("1w@12:00").GetNextRunTime(sat), 1712397600);      // Sat 12:00 CEST
  EXPECT_EQ(OFLIntervalStr("1w/Sa").GetNextRunTime(sat), 1712354400);         // next Sat 00:00
  EXPECT_EQ(OFLIntervalStr("1w@13:00/Sa,Mo").GetNextRunTime(sat), sat + 3600);
  // Every other week: a slot in a later week moves on one more week.
  EXPECT_EQ(OFLIntervalStr("2w@08:00/Mo").GetNextRunTime(sat), 1712556000);   // Mon 8 April 08:00
  EXPECT_EQ(OFLIntervalStr("2w@13:00/Sa,Mo").GetNextRunTime(sat), sat + 3600);
  EXPECT_EQ(OFLIntervalStr("").GetNextRunTime(sat), -1);
  EXPECT_EQ(OFLIntervalStr("1d").GetNextRunTime(int64_t{1} << 50), -1);
}

}  // namespace
