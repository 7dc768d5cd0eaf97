#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include "orvacmn/common/ovo_helper.h"
#include "tz.h"

namespace orvacmn {
namespace {

using orvacmn::testing::kCentralEurope;
using orvacmn::testing::ScopedTZ;

constexpr CTime kLast = 253402300799;  // 9999-12-31 23:59:59 UTC

struct Case { CTime t; const char* text; };

TEST(DBTimeUTC, KnownValuesBothWays) {
  ScopedTZ tz(kCentralEurope);  // the UTC flavour ignores the zone
  const Case cases[] = {
      {0, "19700101000000"}, {86400, "19700102000000"}, {86401, "19700102000001"}, {1686832496, "20230615123456"},
      {951868799, "20000229235959"}, {4107542400, "21000301000000"}, {2147483648, "20380119031408"},
      {32503680000, "30000101000000"}, {kLast, "99991231235959"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OVOHelper::CTimeToDBTimeUTC(c.t), c.text);
    EXPECT_EQ(OVOHelper::DBTimeUTCToCTime(c.text), c.t) << c.text;
  }
  for (CTime t : {CTime(-1), CTime(INT64_MIN), kLast + 1, CTime(INT64_MAX)})
    EXPECT_EQ(OVOHelper::CTimeToDBTimeUTC(t), "") << t;
  // 8-digit dates, and days beyond the month's end rolling over.
  const Case oneWay[] = {
      {1686787200, "20230615"}, {86400, "19700102"}, {kLast - 86399, "99991231"}, {1677801600, "20230231000000"},
      {1677628800, "20230229"}, {1677628800, "20230301"}, {1709164800, "20240229"}, {1682942400, "20230431120000"},
  };
  for (const Case& c : oneWay) EXPECT_EQ(OVOHelper::DBTimeUTCToCTime(c.text), c.t) << c.text;
}

// The first day of 1970 (by plain character comparison, digits or not), other
// lengths, non-digits and impossible fields all read as 0, in either flavour.
TEST(DBTime, InvalidTextsAreZero) {
  ScopedTZ tz(kCentralEurope);
  for (const char* text : {"19700101235959", "0000000000000A", "19691231235959", "19700101", "19691231", "18991231",
                           "", "2023", "2023061", "2023-06-15", "2023061512345", "202306151234567",
                           "20230615123456789012", "20231315000000", "20230015000000", "20230600000000",
                           "20230632000000", "20230615240000", "20230615126000", "20230615123460", "99999999999999",
                           "20231301", "20230100", "20230132", "2023061512345a", " 2023061512345", "+2023061512345",
                           "2023061512 456", "20230615-12345", "2023O615123456", "\xff\xff\xff\xff\xff\xff\xff\xff"}) {
    EXPECT_EQ(OVOHelper::DBTimeUTCToCTime(text), 0) << text;
    EXPECT_EQ(OVOHelper::DBTimeToCTime(text), 0) << text;
  }
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime(String("20230615\0" "12345", 14)), 0);
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime(String("2023061\0", 8)), 0);
}

TEST(DBTime, RandomRoundTrips) {
  std::mt19937_64 rng(42);
  std::uniform_int_distribution<CTime> dist(86400, kLast);
  for (int i = 0; i < 20000; ++i) {
    const CTime t = dist(rng);
    const String text = OVOHelper::CTimeToDBTimeUTC(t);
    ASSERT_EQ(text.size(), 14u) << t;
    ASSERT_EQ(OVOHelper::DBTimeUTCToCTime(text), t) << text;
  }
  ScopedTZ tz("UTC0");  // the local flavour in UTC is the UTC flavour
  for (int i = 0; i < 5000; ++i) {
    const CTime t = dist(rng);
    const String text = OVOHelper::CTimeToDBTime(t);
    ASSERT_EQ(text, OVOHelper::CTimeToDBTimeUTC(t));
    ASSERT_EQ(OVOHelper::DBTimeToCTime(text), t) << text;
  }
}

TEST(DBTimeLocal, CentralEuropeIncludingDaylightSavingTransitions) {
  ScopedTZ tz(kCentralEurope);
  const Case cases[] = {
      {0, "19700101010000"}, {86400 - 3600, "19700102000000"}, {1686832496, "20230615143456"},  // summer: +2
      {1678025229, "20230305150709"},                                                            // winter: +1
      {1679790600, "20230326013000"}, {1679794200, "20230326033000"},  // 26 March: 02:00 CET is 03:00 CEST
      {1698535800, "20231029013000"}, {1698546600, "20231029033000"},  // 29 October: 02:00-03:00 twice
      {kLast - 3600, "99991231235959"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OVOHelper::CTimeToDBTime(c.t), c.text);
    EXPECT_EQ(OVOHelper::DBTimeToCTime(c.text), c.t) << c.text;
  }
  EXPECT_EQ(OVOHelper::DBTimeToCTime("19700102"), 86400 - 3600);
  EXPECT_EQ(OVOHelper::DBTimeToCTime("20230615"), 1686787200 - 7200);
  EXPECT_EQ(OVOHelper::DBTimeToCTime("20230231000000"), OVOHelper::DBTimeToCTime("20230303000000"));
  // Negative times and years past 9999 (9999-12-31 23:00 UTC is already 10000 here) give no text.
  for (CTime t : {CTime(-1), CTime(INT64_MIN), CTime(INT64_MAX), kLast - 3599})
    EXPECT_EQ(OVOHelper::CTimeToDBTime(t), "") << t;
  // A time in the spring gap gives one of the neighbouring hours; the autumn overlap one of its two instants.
  const CTime gap = OVOHelper::DBTimeToCTime("20230326023000");
  EXPECT_TRUE(gap == 1679790600 || gap == 1679794200) << gap;
  const String back = OVOHelper::CTimeToDBTime(gap);
  EXPECT_TRUE(back == "20230326013000" || back == "20230326033000") << back;
  EXPECT_EQ(OVOHelper::CTimeToDBTime(1698539400), "20231029023000");
  EXPECT_EQ(OVOHelper::CTimeToDBTime(1698543000), "20231029023000");
  const CTime twice = OVOHelper::DBTimeToCTime("20231029023000");
  EXPECT_TRUE(twice == 1698539400 || twice == 1698543000) << twice;
}

// Every 5 minutes around both transitions and at random: the text always names the same wall-clock time again,
// and the time comes back exactly outside the autumn overlap (00:00 to 02:00 UTC on 29 October 2023).
TEST(DBTimeLocal, RoundTripsOfWallClockText) {
  ScopedTZ tz(kCentralEurope);
  std::vector<CTime> times;
  for (CTime day : {CTime(1679788800) - 86400, CTime(1698537600) - 86400})
    for (CTime t = day; t < day + 3 * 86400; t += 300) times.push_back(t);
  const size_t windows = times.size();
  std::mt19937_64 rng(11);
  std::uniform_int_distribution<CTime> dist(86400, kLast - 86400);
  for (int i = 0; i < 5000; ++i) times.push_back(dist(rng));
  for (size_t i = 0; i < times.size(); ++i) {
    const CTime t = times[i];
    const String text = OVOHelper::CTimeToDBTime(t);
    ASSERT_EQ(text.size(), 14u) << t;
    const CTime back = OVOHelper::DBTimeToCTime(text);
    ASSERT_EQ(OVOHelper::CTimeToDBTime(back), text);
    if (i < windows && (t < 1698537600 || t >= 1698544800)) {
      ASSERT_EQ(back, t) << text;
    } else {
      ASSERT_LE(std::llabs(back - t), 3600) << text;
    }
  }
}

TEST(DBTimeLocal, FollowsTheZoneOfTheMoment) {
  for (auto [zone, text] : {std::pair{"EST5EDT,M3.2.0,M11.1.0", "20230615083456"}, {"JST-9", "20230615213456"}}) {
    ScopedTZ tz(zone);
    EXPECT_EQ(OVOHelper::CTimeToDBTime(1686832496), text);
    EXPECT_EQ(OVOHelper::DBTimeToCTime(text), 1686832496);
  }
}

}  // namespace
}  // namespace orvacmn
