#include <gtest/gtest.h>

#include <random>

#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace {

using Parts = OVOHelper::IntervalParts;

Parts Make(uint32_t kind, uint32_t count, uint32_t minutes, unsigned dayBits) {
  Parts p;
  p.kind = kind;
  p.count = count;
  p.minutes = minutes;
  bool* days[] = {&p.monday, &p.tuesday, &p.wednesday, &p.thursday, &p.friday, &p.saturday, &p.sunday};
  for (int i = 0; i < 7; ++i) *days[i] = (dayBits >> i) & 1;
  return p;
}

TEST(Interval, Layout) {
  // Kind 4, every 2 days, 08:30, all weekdays.
  EXPECT_EQ(OVOHelper::CompressInterval(4, 2, 510, true, true, true, true, true, true, true),
            510u | (4u << 12) | (2u << 16) | 0x7F000000u);
  EXPECT_EQ(OVOHelper::CompressInterval(0, 0, 0, false, false, false, false, false, false, false), 0u);
  EXPECT_EQ(OVOHelper::CompressInterval(3, 0, 0, true, false, false, false, false, false, false), 0x01003000u);
  EXPECT_EQ(OVOHelper::CompressInterval(3, 0, 0, false, false, false, false, false, false, true), 0x40003000u);
  EXPECT_EQ(OVOHelper::CompressInterval(5, 0, 0, false, false, false, false, false, true, false), 0x20005000u);
}

TEST(Interval, EachWeekdayHasItsBit) {
  for (int day = 0; day < 7; ++day) {
    const Parts p = Make(4, 1, 0, 1u << day);
    const uint32_t v = OVOHelper::CompressInterval(p);
    EXPECT_EQ(v & 0x7F000000u, 1u << (24 + day)) << day;
    EXPECT_EQ(OVOHelper::ExpandInterval(v), p);
  }
}

TEST(Interval, TruncatesCountMinutesAndKind) {
  const uint32_t v = OVOHelper::CompressInterval(0x13, 0x1FF, 0xFFF, false, false, false, false, false, false, false);
  const Parts p = OVOHelper::ExpandInterval(v);
  EXPECT_EQ(p.count, 0xFFu);
  EXPECT_EQ(p.minutes, 0x7FFu);
  EXPECT_EQ(p.kind, 3u);
  EXPECT_EQ(v & 0x800u, 0u);  // minutes never spill into bit 11
  EXPECT_EQ(OVOHelper::CompressInterval(3, 256, 2048, false, false, false, false, false, false, false), 0x3000u);
  EXPECT_EQ(OVOHelper::CompressInterval(3, 257, 2049, false, false, false, false, false, false, false),
            0x3000u | (1u << 16) | 1u);
}

TEST(Interval, MonthlyKindsRunOnEveryWeekday) {
  for (uint32_t kind : {1u, 2u, 17u}) {
    const uint32_t v = OVOHelper::CompressInterval(kind, 1, 60, false, false, false, false, false, false, false);
    EXPECT_EQ(v & 0x7F000000u, 0x7F000000u) << kind;
    const Parts p = OVOHelper::ExpandInterval(v);
    EXPECT_TRUE(p.monday && p.tuesday && p.wednesday && p.thursday && p.friday && p.saturday && p.sunday);
  }
  for (uint32_t kind : {0u, 3u, 4u, 5u, 6u, 15u})
    EXPECT_EQ(OVOHelper::CompressInterval(kind, 1, 60, false, false, false, false, false, false, false) & 0x7F000000u,
              0u)
        << kind;
}

TEST(Interval, ExpandReadsEveryField) {
  Parts p = OVOHelper::ExpandInterval(0xFFFFFFFFu);
  EXPECT_EQ(p, Make(15, 255, 2047, 0x7F));
  p = OVOHelper::ExpandInterval(0x80000800u);  // the two always-clear bits alone
  EXPECT_EQ(p, Make(0, 0, 0, 0));
  uint32_t kind = 99, count = 99, minutes = 99;
  bool d[7] = {true, false, true, false, true, false, true};
  OVOHelper::ExpandInterval(0x0A024123u, kind, count, minutes, d[0], d[1], d[2], d[3], d[4], d[5], d[6]);
  EXPECT_EQ(kind, 4u);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(minutes, 0x123u);
  EXPECT_FALSE(d[0]);
  EXPECT_TRUE(d[1]);
  EXPECT_FALSE(d[2]);
  EXPECT_TRUE(d[3]);
  EXPECT_FALSE(d[4] || d[5] || d[6]);
}

TEST(Interval, RandomRoundTrips) {
  std::mt19937 rng(5);
  for (int i = 0; i < 20000; ++i) {
    const Parts in = Make(rng(), rng(), rng(), rng());
    const uint32_t v = OVOHelper::CompressInterval(in);
    EXPECT_EQ(v & 0x80000800u, 0u);
    Parts want = Make(in.kind & 0xF, in.count & 0xFF, in.minutes & 0x7FF, 0);
    const bool monthly = want.kind == 1 || want.kind == 2;
    want.monday = monthly || in.monday;
    want.tuesday = monthly || in.tuesday;
    want.wednesday = monthly || in.wednesday;
    want.thursday = monthly || in.thursday;
    want.friday = monthly || in.friday;
    want.saturday = monthly || in.saturday;
    want.sunday = monthly || in.sunday;
    ASSERT_EQ(OVOHelper::ExpandInterval(v), want) << std::hex << v;
    ASSERT_EQ(OVOHelper::CompressInterval(OVOHelper::ExpandInterval(v)), v);
  }
}

TEST(Interval, ValuesWithCleanReservedBitsSurviveExpandAndCompress) {
  std::mt19937 rng(6);
  for (int i = 0; i < 20000; ++i) {
    uint32_t v = rng() & ~0x80000800u;
    const uint32_t kind = (v >> 12) & 0xF;
    if (kind == 1 || kind == 2) v |= 0x7F000000u;
    ASSERT_EQ(OVOHelper::CompressInterval(OVOHelper::ExpandInterval(v)), v) << std::hex << v;
  }
}

}  // namespace
}  // namespace orvacmn
