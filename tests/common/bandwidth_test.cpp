#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace {

constexpr int64_t kUntouched = -12345;

// The bytes per second of `text`, or kUntouched when it is not a bandwidth.
int64_t Bps(const String& text) {
  int64_t out = kUntouched;
  const bool ok = OVOHelper::BandwidthToBytePerSec(text, out);
  if (!ok) {
    EXPECT_EQ(out, kUntouched) << "out value changed on failure: " << text;
  }
  return ok ? out : kUntouched;
}

TEST(Bandwidth, KbitAndMbit) {
  EXPECT_EQ(Bps("512kbit"), 65536);
  EXPECT_EQ(Bps("512 kbit"), 65536);
  EXPECT_EQ(Bps("512     kbit"), 65536);
  EXPECT_EQ(Bps("10 mbit"), 1310720);
  EXPECT_EQ(Bps("10mbit"), 1310720);
  EXPECT_EQ(Bps("1kbit"), 128);
  EXPECT_EQ(Bps("1 mbit"), 131072);
  EXPECT_EQ(Bps("0 kbit"), 0);
  EXPECT_EQ(Bps("7 kbit"), 896);  // 7168 / 8
  EXPECT_EQ(Bps("3 kbit"), 384);
}

TEST(Bandwidth, CaseIsIgnored) {
  EXPECT_EQ(Bps("512 KBIT"), 65536);
  EXPECT_EQ(Bps("10 MBit"), 1310720);
  EXPECT_EQ(Bps("10 mBiT/s"), 1310720);
}

TEST(Bandwidth, NoMatchIsFalse) {
  for (const char* text : {"", "kbit", "mbit", " kbit", "512", "512 kb", "512 kbps", "512 bit", "512 gbit",
                           "512\tkbit", "512_kbit", "512 k bit", "five kbit", "-kbit", "512 kibit"})
    EXPECT_EQ(Bps(text), kUntouched) << text;
}

TEST(Bandwidth, NumberIsReadFromTheStartOfTheText) {
  // The match may sit anywhere; the number comes from the start.
  EXPECT_EQ(Bps("abc 5 kbit"), 0);
  EXPECT_EQ(Bps("limit: 5 kbit"), 0);
  EXPECT_EQ(Bps("8 then 16 kbit"), 1024);
  EXPECT_EQ(Bps("   16 kbit"), 2048);
  EXPECT_EQ(Bps("\t16 kbit"), 2048);
  EXPECT_EQ(Bps("+16 kbit"), 2048);
  EXPECT_EQ(Bps("16kbitfoo"), 2048);
  EXPECT_EQ(Bps("16.9 kbit"), 2048);  // the match is "9 kbit"; 16 is read
}

TEST(Bandwidth, MbitAnywhereSelectsTheLargerUnit) {
  EXPECT_EQ(Bps("1 kbit, not mbit"), 131072);
  EXPECT_EQ(Bps("2 mbitx 3 kbit"), 262144);
  EXPECT_EQ(Bps("mbit 4 kbit"), 0);  // no leading number
}

TEST(Bandwidth, NumberBehavesLikeA32BitUnsigned) {
  EXPECT_EQ(Bps("4294967295 kbit"), int64_t(4294967295) * 128);
  EXPECT_EQ(Bps("4294967295 mbit"), int64_t(4294967295) * 131072);
  EXPECT_EQ(Bps("4294967296 kbit"), 0);    // wraps modulo 2^32
  EXPECT_EQ(Bps("4294967297 kbit"), 128);
  EXPECT_EQ(Bps("18446744073709551615 kbit"), int64_t(4294967295) * 128);
  EXPECT_EQ(Bps("18446744073709551616 kbit"), int64_t(4294967295) * 128);  // saturates
  EXPECT_EQ(Bps("99999999999999999999999999999999 mbit"), int64_t(4294967295) * 131072);
  EXPECT_EQ(Bps("00000000000000000000000000000000001 kbit"), 128);
  // A minus sign negates modulo 2^32.
  EXPECT_EQ(Bps("-1 kbit"), int64_t(4294967295) * 128);
  EXPECT_EQ(Bps("-8 kbit"), int64_t(4294967288) * 128);
}

TEST(Bandwidth, TextEndsAtTheFirstNul) {
  EXPECT_EQ(Bps(String("\0 5 kbit", 8)), kUntouched);
  EXPECT_EQ(Bps(String("5 kbit\0 mbit", 12)), 640);
}

TEST(Bandwidth, LongHostileTexts) {
  const String digits(200000, '7');
  EXPECT_EQ(Bps(digits), kUntouched);
  EXPECT_EQ(Bps(digits + String(100000, ' ')), kUntouched);
  EXPECT_EQ(Bps(digits + String(100000, ' ') + "kbi"), kUntouched);
  EXPECT_EQ(Bps(digits + String(100000, ' ') + "kbit"), int64_t(4294967295) * 128);
  String mixed;
  for (int i = 0; i < 50000; ++i) mixed += "1 k";
  EXPECT_EQ(Bps(mixed), kUntouched);
  EXPECT_EQ(Bps(mixed + "bit"), 128);
}

TEST(TransmissionSpeed, UnitsAndPadding) {
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(1500000), " 1.5 MBit/s");
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(0), " 0.0 KBit/s");
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(1000), " 1.0 KBit/s");
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(40), " 0.0 KBit/s");
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(64000), "64.0 KBit/s");
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(100000), "100.0 KBit/s");
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(2.5e9), " 2.5 GBit/s");
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(12345678901234.0), "12345.7 GBit/s");
}

TEST(TransmissionSpeed, BoundariesAreExclusive) {
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(1000000), "1000.0 KBit/s");
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(1000001), " 1.0 MBit/s");
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(999999), "1000.0 KBit/s");
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(1000000000), "1000.0 MBit/s");
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(1000000001), " 1.0 GBit/s");
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(std::nextafter(1e9, 2e9)), " 1.0 GBit/s");
}

TEST(TransmissionSpeed, OddValuesStillFormat) {
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(-5000), "-5.0 KBit/s");
  const String huge = OVOHelper::TranslateTransmissionSpeed(1e300);
  EXPECT_EQ(huge.size(), 292u + 2 + 7);  // 292 digits, ".0" and " GBit/s"
  EXPECT_EQ(huge.substr(huge.size() - 7), " GBit/s");
  const String inf = OVOHelper::TranslateTransmissionSpeed(std::numeric_limits<double>::infinity());
  EXPECT_EQ(inf, " inf GBit/s");
  const String nan = OVOHelper::TranslateTransmissionSpeed(std::nan(""));
  EXPECT_EQ(nan.substr(nan.size() - 7), " KBit/s");
}

TEST(BandwidthAndSpeed, ParseCountsIn1024DisplayIn1000) {
  int64_t bps = 0;
  ASSERT_TRUE(OVOHelper::BandwidthToBytePerSec("10 mbit", bps));
  EXPECT_EQ(OVOHelper::TranslateTransmissionSpeed(double(bps) * 8), "10.5 MBit/s");
}

}  // namespace
}  // namespace orvacmn
