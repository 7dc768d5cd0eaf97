#include <gtest/gtest.h>

#include <random>

#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace {

using Parts = OVOHelper::IntervalParts;

// Bit i of `days` is weekday i, Monday first.
Parts Make(uint32_t kind, uint32_t count, uint32_t minutes, unsigned days) {
  return {kind, count, minutes, bool(days & 1), bool(days & 2), bool(days & 4), bool(days & 8),
          bool(days & 16), bool(days & 32), bool(days & 64)};
}

TEST(Interval, LayoutTruncationAndMonthlyKinds) {
  struct Case { uint32_t kind, count, minutes; unsigned days; uint32_t packed; } const cases[] = {
      {4, 2, 510, 0x7F, 0x7F0241FE}, {0, 0, 0, 0, 0}, {3, 0, 0, 0x01, 0x01003000}, {3, 0, 0, 0x40, 0x40003000},
      {5, 0, 0, 0x20, 0x20005000}, {6, 1, 60, 0, 0x0001603C}, {15, 1, 60, 0, 0x0001F03C},
      // Kind, count and minutes are cut to 4, 8 and 11 bits; minutes never spill into bit 11.
      {0x13, 0x1FF, 0xFFF, 0, 0x00FF37FF}, {3, 256, 2048, 0, 0x3000}, {3, 257, 2049, 0, 0x00013001},
      // Monthly kinds (1, 2, also after truncation) run on every weekday.
      {1, 1, 60, 0, 0x7F01103C}, {2, 1, 60, 0x01, 0x7F01203C}, {17, 1, 60, 0, 0x7F01103C},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.packed);
    EXPECT_EQ(OVOHelper::CompressInterval(Make(c.kind, c.count, c.minutes, c.days)), c.packed);
    EXPECT_EQ(OVOHelper::CompressInterval(OVOHelper::ExpandInterval(c.packed)), c.packed);
  }
  for (int day = 0; day < 7; ++day) {
    const uint32_t v = OVOHelper::CompressInterval(Make(4, 1, 0, 1u << day));
    EXPECT_EQ(v & 0x7F000000u, 1u << (24 + day)) << day;
    EXPECT_EQ(OVOHelper::ExpandInterval(v), Make(4, 1, 0, 1u << day));
  }
}

TEST(Interval, ExpandReadsEveryField) {
  EXPECT_EQ(OVOHelper::ExpandInterval(0xFFFFFFFFu), Make(15, 255, 2047, 0x7F));
  EXPECT_EQ(OVOHelper::ExpandInterval(0x80000800u), Make(0, 0, 0, 0));  // the two always-clear bits
  Parts p = Make(99, 99, 99, 0x55);
  OVOHelper::ExpandInterval(0x0A024123u, p.kind, p.count, p.minutes, p.monday, p.tuesday, p.wednesday, p.thursday,
                            p.friday, p.saturday, p.sunday);
  EXPECT_EQ(p, Make(4, 2, 0x123, 0x0A));
}

TEST(Interval, RandomRoundTrips) {
  std::mt19937 rng(5);
  for (int i = 0; i < 20000; ++i) {
    const uint32_t kind = rng(), count = rng(), minutes = rng(), days = rng();
    const uint32_t v = OVOHelper::CompressInterval(Make(kind, count, minutes, days));
    EXPECT_EQ(v & 0x80000800u, 0u);
    const bool monthly = (kind & 0xF) == 1 || (kind & 0xF) == 2;
    ASSERT_EQ(OVOHelper::ExpandInterval(v), Make(kind & 0xF, count & 0xFF, minutes & 0x7FF, monthly ? 0x7F : days))
        << std::hex << v;
    // Any value with clean reserved bits (and all days for monthly kinds) survives expand and compress.
    uint32_t w = rng() & ~0x80000800u;
    if (((w >> 12) & 0xF) == 1 || ((w >> 12) & 0xF) == 2) w |= 0x7F000000u;
    ASSERT_EQ(OVOHelper::CompressInterval(OVOHelper::ExpandInterval(w)), w) << std::hex << w;
  }
}

}  // namespace
}  // namespace orvacmn
