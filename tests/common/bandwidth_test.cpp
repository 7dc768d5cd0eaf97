#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace {

constexpr int64_t kNo = -12345;                          // not a bandwidth: the output stays untouched
constexpr int64_t kMaxK = int64_t(4294967295) * 128;     // the largest 32-bit number of kbit
constexpr int64_t kMaxM = int64_t(4294967295) * 131072;  // ... and of mbit

int64_t Bps(const String& text) {
  int64_t out = kNo;
  const bool ok = OVOHelper::BandwidthToBytePerSec(text, out);
  if (!ok) {
    EXPECT_EQ(out, kNo) << "output changed on failure: " << text;
  }
  return ok ? out : kNo;
}

TEST(Bandwidth, Texts) {
  struct Case { const char* text; int64_t want; } const cases[] = {
      {"512kbit", 65536}, {"512     kbit", 65536}, {"10mbit", 1310720}, {"1 mbit", 131072}, {"0 kbit", 0},
      {"7 kbit", 896}, {"512 KBIT", 65536}, {"10 mBiT/s", 1310720},
      // No digits, blanks and unit in a row anywhere: no match.
      {"", kNo}, {"kbit", kNo}, {" kbit", kNo}, {"512", kNo}, {"512 kb", kNo}, {"512 kbps", kNo}, {"512 gbit", kNo},
      {"512\tkbit", kNo}, {"512_kbit", kNo}, {"512 k bit", kNo}, {"five kbit", kNo}, {"-kbit", kNo},
      // The match may sit anywhere; the number comes from the start of the text.
      {"abc 5 kbit", 0}, {"8 then 16 kbit", 1024}, {"\t16 kbit", 2048}, {"+16 kbit", 2048}, {"16kbitfoo", 2048},
      {"16.9 kbit", 2048}, {"mbit 4 kbit", 0},
      // "mbit" anywhere selects the larger unit.
      {"1 kbit, not mbit", 131072}, {"2 mbitx 3 kbit", 262144},
      // The number behaves like "%lu" into 32 bits: wraps, saturates beyond 2^64-1, a minus negates mod 2^32.
      {"4294967295 kbit", kMaxK}, {"4294967295 mbit", kMaxM}, {"4294967296 kbit", 0}, {"4294967297 kbit", 128},
      {"18446744073709551615 kbit", kMaxK}, {"18446744073709551616 kbit", kMaxK},
      {"99999999999999999999999999999999 mbit", kMaxM}, {"00000000000000000000000000000000001 kbit", 128},
      {"-1 kbit", kMaxK}, {"-8 kbit", int64_t(4294967288) * 128},
  };
  for (const Case& c : cases) EXPECT_EQ(Bps(c.text), c.want) << c.text;
  // The text ends at the first NUL.
  EXPECT_EQ(Bps(String("\0 5 kbit", 8)), kNo);
  EXPECT_EQ(Bps(String("5 kbit\0 mbit", 12)), 640);
}

TEST(Bandwidth, LongHostileTexts) {
  const String digits(200000, '7'), blanks(100000, ' ');
  EXPECT_EQ(Bps(digits), kNo);
  EXPECT_EQ(Bps(digits + blanks + "kbi"), kNo);
  EXPECT_EQ(Bps(digits + blanks + "kbit"), kMaxK);
  String mixed;
  for (int i = 0; i < 50000; ++i) mixed += "1 k";
  EXPECT_EQ(Bps(mixed), kNo);
  EXPECT_EQ(Bps(mixed + "bit"), 128);
}

TEST(TransmissionSpeed, UnitsPaddingAndExclusiveBoundaries) {
  struct Case { double bits; const char* want; } const cases[] = {
      {0, " 0.0 KBit/s"}, {40, " 0.0 KBit/s"}, {64000, "64.0 KBit/s"}, {100000, "100.0 KBit/s"},
      {999999, "1000.0 KBit/s"}, {1000000, "1000.0 KBit/s"}, {1000001, " 1.0 MBit/s"}, {1500000, " 1.5 MBit/s"},
      {1000000000, "1000.0 MBit/s"}, {1000000001, " 1.0 GBit/s"}, {std::nextafter(1e9, 2e9), " 1.0 GBit/s"},
      {2.5e9, " 2.5 GBit/s"}, {12345678901234.0, "12345.7 GBit/s"}, {-5000, "-5.0 KBit/s"},
      {std::numeric_limits<double>::infinity(), " inf GBit/s"},
  };
  for (const Case& c : cases) EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(c.bits), c.want) << c.bits;
  const String huge = OVOHelper::TranslateTransmissionSpeed(1e300);
  EXPECT_EQ(huge.size(), 292u + 2 + 7);  // 292 digits, ".0" and " GBit/s"
  EXPECT_EQ(huge.substr(huge.size() - 7), " GBit/s");
  const String nan = OVOHelper::TranslateTransmissionSpeed(std::nan(""));
  EXPECT_EQ(nan.substr(nan.size() - 7), " KBit/s");
  // Parsing counts in 1024, display in 1000.
  int64_t bps = 0;
  ASSERT_TRUE(OVOHelper::BandwidthToBytePerSec("10 mbit", bps));
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(double(bps) * 8), "10.5 MBit/s");
}

}  // namespace
}  // namespace orvacmn
