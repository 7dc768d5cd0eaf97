#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "orvacmn/common/ovo_helper.h"
#include "tz.h"

namespace orvacmn {
namespace {

using orvacmn::testing::kCentralEurope;
using orvacmn::testing::ScopedTZ;

constexpr CTime kLastDbTime = 253402300799;  // 9999-12-31 23:59:59 UTC

TEST(DBTimeUTC, KnownValues) {
  ScopedTZ tz(kCentralEurope);  // the UTC flavour ignores the zone
  EXPECT_EQ(OVOHelper::CTimeToDBTimeUTC(1686832496), "20230615123456");
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("20230615123456"), 1686832496);
  EXPECT_EQ(OVOHelper::CTimeToDBTimeUTC(951868799), "20000229235959");
  EXPECT_EQ(OVOHelper::CTimeToDBTimeUTC(4107542400), "21000301000000");
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("21000301000000"), 4107542400);
  EXPECT_EQ(OVOHelper::CTimeToDBTimeUTC(2147483648), "20380119031408");
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("30000101000000"), 32503680000);
  EXPECT_EQ(OVOHelper::CTimeToDBTimeUTC(kLastDbTime), "99991231235959");
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("99991231235959"), kLastDbTime);
  EXPECT_EQ(OVOHelper::CTimeToDBTimeUTC(0), "19700101000000");
}

TEST(DBTimeUTC, OutOfRangeTimesGiveEmptyText) {
  EXPECT_EQ(OVOHelper::CTimeToDBTimeUTC(-1), "");
  EXPECT_EQ(OVOHelper::CTimeToDBTimeUTC(INT64_MIN), "");
  EXPECT_EQ(OVOHelper::CTimeToDBTimeUTC(kLastDbTime + 1), "");
  EXPECT_EQ(OVOHelper::CTimeToDBTimeUTC(INT64_MAX), "");
}

TEST(DBTimeUTC, RoundTripsFromTheSecondDay) {
  std::mt19937_64 rng(42);
  std::uniform_int_distribution<CTime> dist(86400, kLastDbTime);
  for (int i = 0; i < 20000; ++i) {
    const CTime t = dist(rng);
    const String text = OVOHelper::CTimeToDBTimeUTC(t);
    ASSERT_EQ(text.size(), 14u) << t;
    ASSERT_EQ(OVOHelper::DBTimeUTCToCTime(text), t) << text;
  }
  for (CTime t : {CTime(86400), CTime(86401), CTime(951782400), CTime(951868800), kLastDbTime})
    EXPECT_EQ(OVOHelper::DBTimeUTCToCTime(OVOHelper::CTimeToDBTimeUTC(t)), t);
}

TEST(DBTimeUTC, FirstDayOf1970IsZero) {
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("19700101235959"), 0);
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("19700101120000"), 0);
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("19700102000000"), 86400);
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("19700102000001"), 86401);
  // Plain character comparison: anything sorting before is 0, digits or not.
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("1970010200000"), 0);
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("0000000000000A"), 0);
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("19691231235959"), 0);
}

TEST(DBTimeUTC, EightDigitDate) {
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("20230615"), OVOHelper::DBTimeUTCToCTime("20230615000000"));
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("19700102"), 86400);
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("19700101"), 0);
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("19691231"), 0);  // before 1970
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("18991231"), 0);
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("99991231"), kLastDbTime - 86399);
}

TEST(DBTimeUTC, OtherLengthsAreZero) {
  for (const char* text : {"", "2", "2023", "2023061", "202306151", "2023-06-15", "202306151234", "2023061512345",
                           "202306151234567", "20230615123456789012"})
    EXPECT_EQ(OVOHelper::DBTimeUTCToCTime(text), 0) << text;
}

TEST(DBTimeUTC, ImpossibleFieldsAreZero) {
  for (const char* text :
       {"20231315000000", "20230015000000", "20230600000000", "20230632000000", "20230615240000",
        "20230615250000", "20230615126000", "20230615123460", "20230615129999", "99999999999999", "2023131",
        "20231301", "20230100", "20230132", "2023061512345a", "2023-6-15 1234", " 2023061512345",
        "+2023061512345", "2023061512 456", "20230615-12345", "2023O615123456", "\xff\xff\xff\xff\xff\xff\xff"
        "\xff\xff\xff\xff\xff\xff\xff"})
    EXPECT_EQ(OVOHelper::DBTimeUTCToCTime(text), 0) << text;
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime(String("20230615\0" "12345", 14)), 0);
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime(String("2023061\0", 8)), 0);
}

TEST(DBTimeUTC, DayBeyondMonthEndRollsOver) {
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("20230231000000"), 1677801600);  // 3 March
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("20230229"), OVOHelper::DBTimeUTCToCTime("20230301"));
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("20240229"), OVOHelper::DBTimeUTCToCTime("20240301") - 86400);
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("20230431120000"), OVOHelper::DBTimeUTCToCTime("20230501120000"));
  EXPECT_EQ(OVOHelper::DBTimeUTCToCTime("99991231235959"), kLastDbTime);
}

TEST(DBTimeLocal, UTCZoneMatchesUTCFlavour) {
  ScopedTZ tz("UTC0");
  std::mt19937_64 rng(3);
  std::uniform_int_distribution<CTime> dist(0, kLastDbTime);
  for (int i = 0; i < 5000; ++i) {
    const CTime t = dist(rng);
    const String text = OVOHelper::CTimeToDBTime(t);
    ASSERT_EQ(text, OVOHelper::CTimeToDBTimeUTC(t));
    ASSERT_EQ(OVOHelper::DBTimeToCTime(text), OVOHelper::DBTimeUTCToCTime(text)) << text;
  }
  EXPECT_EQ(OVOHelper::DBTimeToCTime("99991231235959"), kLastDbTime);
}

TEST(DBTimeLocal, NegativeAndUnrepresentableTimesGiveEmptyText) {
  ScopedTZ tz(kCentralEurope);
  EXPECT_EQ(OVOHelper::CTimeToDBTime(-1), "");
  EXPECT_EQ(OVOHelper::CTimeToDBTime(INT64_MIN), "");
  EXPECT_EQ(OVOHelper::CTimeToDBTime(INT64_MAX), "");
  // 9999-12-31 23:00 UTC is already year 10000 in Central Europe.
  EXPECT_EQ(OVOHelper::CTimeToDBTime(kLastDbTime - 3599), "");
  EXPECT_EQ(OVOHelper::CTimeToDBTime(kLastDbTime - 3600), "99991231235959");
}

TEST(DBTimeLocal, CentralEuropeOffsets) {
  ScopedTZ tz(kCentralEurope);
  EXPECT_EQ(OVOHelper::CTimeToDBTime(0), "19700101010000");
  EXPECT_EQ(OVOHelper::CTimeToDBTime(1686832496), "20230615143456");  // summer: +2
  EXPECT_EQ(OVOHelper::DBTimeToCTime("20230615143456"), 1686832496);
  EXPECT_EQ(OVOHelper::CTimeToDBTime(1678025229), "20230305150709");  // winter: +1
  EXPECT_EQ(OVOHelper::DBTimeToCTime("20230305150709"), 1678025229);
  // The first local day of 1970 is 0 by the text rule, even where it is a
  // real time; the second day converts.
  EXPECT_EQ(OVOHelper::DBTimeToCTime("19700101235959"), 0);
  EXPECT_EQ(OVOHelper::DBTimeToCTime("19700102000000"), 86400 - 3600);
  EXPECT_EQ(OVOHelper::DBTimeToCTime("19700102"), 86400 - 3600);
  EXPECT_EQ(OVOHelper::DBTimeToCTime("19700101"), 0);
  EXPECT_EQ(OVOHelper::DBTimeToCTime("20230615"), OVOHelper::DBTimeUTCToCTime("20230615") - 7200);
}

TEST(DBTimeLocal, SpringGapGivesOneOfTheNeighbouringHours) {
  ScopedTZ tz(kCentralEurope);
  // 26 March 2023: 02:00 CET becomes 03:00 CEST at 01:00 UTC.
  EXPECT_EQ(OVOHelper::DBTimeToCTime("20230326013000"), 1679790600);
  EXPECT_EQ(OVOHelper::DBTimeToCTime("20230326033000"), 1679794200);
  const CTime t = OVOHelper::DBTimeToCTime("20230326023000");
  EXPECT_TRUE(t == 1679790600 || t == 1679794200) << t;
  const String back = OVOHelper::CTimeToDBTime(t);
  EXPECT_TRUE(back == "20230326013000" || back == "20230326033000") << back;
}

TEST(DBTimeLocal, AutumnOverlapGivesOneOfTheTwoInstants) {
  ScopedTZ tz(kCentralEurope);
  // 29 October 2023: 02:30 happens at 00:30 UTC (CEST) and 01:30 UTC (CET).
  EXPECT_EQ(OVOHelper::CTimeToDBTime(1698539400), "20231029023000");
  EXPECT_EQ(OVOHelper::CTimeToDBTime(1698543000), "20231029023000");
  const CTime t = OVOHelper::DBTimeToCTime("20231029023000");
  EXPECT_TRUE(t == 1698539400 || t == 1698543000) << t;
  EXPECT_EQ(OVOHelper::DBTimeToCTime("20231029013000"), 1698535800);
  EXPECT_EQ(OVOHelper::DBTimeToCTime("20231029033000"), 1698546600);
}

TEST(DBTimeLocal, RoundTripAcrossTransitions) {
  ScopedTZ tz(kCentralEurope);
  const CTime overlapStart = 1698539400 - 1800;  // 00:00 UTC, 02:00 CEST
  const CTime overlapEnd = 1698543000 + 1800;    // 02:00 UTC, 03:00 CET
  for (CTime day : {CTime(1679788800) - 86400, CTime(1698537600) - 86400}) {
    for (CTime t = day; t < day + 3 * 86400; t += 300) {
      const String text = OVOHelper::CTimeToDBTime(t);
      ASSERT_EQ(text.size(), 14u);
      const CTime back = OVOHelper::DBTimeToCTime(text);
      // The text always names the same wall-clock time again.
      EXPECT_EQ(OVOHelper::CTimeToDBTime(back), text);
      if (t < overlapStart || t >= overlapEnd) EXPECT_EQ(back, t) << text;
      else EXPECT_LE(std::llabs(back - t), 3600) << text;
    }
  }
}

TEST(DBTimeLocal, RandomRoundTripsOfWallClockText) {
  ScopedTZ tz(kCentralEurope);
  std::mt19937_64 rng(11);
  std::uniform_int_distribution<CTime> dist(86400, kLastDbTime - 86400);
  for (int i = 0; i < 5000; ++i) {
    const CTime t = dist(rng);
    const String text = OVOHelper::CTimeToDBTime(t);
    ASSERT_EQ(text.size(), 14u);
    const CTime back = OVOHelper::DBTimeToCTime(text);
    ASSERT_EQ(OVOHelper::CTimeToDBTime(back), text);
    ASSERT_LE(std::llabs(back - t), 3600);
  }
}

TEST(DBTimeLocal, InvalidTextsAreZeroHereToo) {
  ScopedTZ tz(kCentralEurope);
  for (const char* text : {"", "20231315000000", "20230632000000", "20230615250000", "20230615126000",
                           "2023061512345a", "202306151234", "19700101235959", "19691231", "18000101"})
    EXPECT_EQ(OVOHelper::DBTimeToCTime(text), 0) << text;
  EXPECT_EQ(OVOHelper::DBTimeToCTime("20230231000000"), OVOHelper::DBTimeToCTime("20230303000000"));
}

TEST(DBTimeLocal, FollowsTheZoneOfTheMoment) {
  {
    ScopedTZ tz("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(OVOHelper::CTimeToDBTime(1686832496), "20230615083456");
    EXPECT_EQ(OVOHelper::DBTimeToCTime("20230615083456"), 1686832496);
  }
  {
    ScopedTZ tz("JST-9");
    EXPECT_EQ(OVOHelper::CTimeToDBTime(1686832496), "20230615213456");
    EXPECT_EQ(OVOHelper::DBTimeToCTime("20230615213456"), 1686832496);
  }
}

}  // namespace
}  // namespace orvacmn
