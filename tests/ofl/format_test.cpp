#include "ofl/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "ofl/tools.h"

namespace {

template <class... Args>
std::string F(const char* format, const Args&... args) {
  return OFLFormat(format, args...).str();
}

TEST(Format, PlainTextAndPercent) {
  EXPECT_EQ(F(""), "");
  EXPECT_EQ(F("no directives"), "no directives");
  EXPECT_EQ(F("100%%"), "100%");
  EXPECT_EQ(F("%%d", 5), "%d");
  EXPECT_EQ(F(static_cast<const char*>(nullptr)), "");
  const OFL::String fmt = "[%s]";
  EXPECT_EQ(OFLFormat(fmt, "x").str(), "[x]");
  const OFL::String asString = OFLFormat("%d", 7);
  EXPECT_EQ(asString, "7");
}

TEST(Format, IntegerFlagsWidthPrecision) {
  EXPECT_EQ(F("%d|%i", 42, -42), "42|-42");
  EXPECT_EQ(F("[%5d][%-5d][%05d][%+d][% d]", 42, 42, 42, 42, 42), "[   42][42   ][00042][+42][ 42]");
  EXPECT_EQ(F("%.4d|%8.3d|%-06d|", 7, -7, 9), "0007|    -007|9     |");
  EXPECT_EQ(F("%x %X %#x %o %#o", 255, 255, 255, 8, 8), "ff FF 0xff 10 010");
  EXPECT_EQ(F("%#d %#u", 5, 6u), "5 6");  // "#" drops nothing for decimal
}

TEST(Format, DefaultIntegersAre32Bit) {
  EXPECT_EQ(F("%d", int64_t{0x100000005}), "5");
  EXPECT_EQ(F("%d", uint32_t{0xFFFFFFFF}), "-1");
  EXPECT_EQ(F("%ld", int64_t{1} << 32), "0");
  EXPECT_EQ(F("%u", -1), "4294967295");
  EXPECT_EQ(F("%lu", int64_t{-1}), "4294967295");
  EXPECT_EQ(F("%x", int64_t{0x123456789}), "23456789");
  EXPECT_EQ(F("%I32d", int64_t{0x1FFFFFFFF}), "-1");
  EXPECT_EQ(F("%d", INT32_MIN), "-2147483648");
}

TEST(Format, SixtyFourBitDirectives) {
  EXPECT_EQ(F("%I64d", INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(F("%lld", INT64_MAX), "9223372036854775807");
  EXPECT_EQ(F("%I64u", UINT64_MAX), "18446744073709551615");
  EXPECT_EQ(F("%llu", -1), "18446744073709551615");
  EXPECT_EQ(F("%I64X", uint64_t{0xABCDEF0123456789}), "ABCDEF0123456789");
  EXPECT_EQ(F("%I64d", uint64_t{0x8000000000000000}), "-9223372036854775808");
  EXPECT_EQ(F("%zu %Iu %ju", uint64_t{1} << 40, uint64_t{1} << 40, uint64_t{1} << 40),
            "1099511627776 1099511627776 1099511627776");
  EXPECT_EQ(F("%I64d%%", 5), "5%");
}

TEST(Format, ShortAndCharSizes) {
  EXPECT_EQ(F("%hd", 65537), "1");
  EXPECT_EQ(F("%hd", 32768), "-32768");
  EXPECT_EQ(F("%hx", -1), "ffff");
  EXPECT_EQ(F("%hhu", 257), "1");
  EXPECT_EQ(F("%hhd", 255), "-1");
}

TEST(Format, Strings) {
  const OFL::String s = "text";
  const std::string_view v = "view";
  char buffer[] = "buf";
  const char* none = nullptr;
  EXPECT_EQ(F("%s %s %s %s %s", s, v, buffer, "lit", none), "text view buf lit (null)");
  EXPECT_EQ(F("[%6s][%-6s][%.2s][%.10s][%.0s]", s, s, s, s, s), "[  text][text  ][te][text][]");
  EXPECT_EQ(F("%.*s|%-*s|", 3, "abcdef", 5, "ab"), "abc|ab   |");
  EXPECT_EQ(F("%.*s", -1, "whole"), "whole");  // negative precision: none
  EXPECT_EQ(F("%ls %S %ws", "a", "b", "c"), "a b c");
  const std::string withNul("a\0b", 3);
  EXPECT_EQ(F("<%s>", withNul), std::string("<a\0b>", 5));
  EXPECT_EQ(F("%s", std::string(10000, 'x')).size(), 10000u);
}

TEST(Format, Characters) {
  EXPECT_EQ(F("%c%c%c", 'O', 75, "!?"), "OK!");
  EXPECT_EQ(F("[%3c][%-3c]", 'a', 'b'), "[  a][b  ]");
  EXPECT_EQ(F("[%c]", 0), "[]");
  EXPECT_EQ(F("[%c]", ""), "[]");
  EXPECT_EQ(F("%c", 0x141), "A");
}

TEST(Format, FloatingPoint) {
  EXPECT_EQ(F("%f", 1.5), "1.500000");
  EXPECT_EQ(F("%.2f|%8.3f|%-8.1f|%+.1f", 3.14159, 2.5, 2.5, 2.0), "3.14|   2.500|2.5     |+2.0");
  EXPECT_EQ(F("%s [Duration: %0.2f ms]", "step", 12.345), "step [Duration: 12.35 ms]");
  EXPECT_EQ(F("%e", 12345.678), "1.234568e+04");
  EXPECT_EQ(F("%E", 0.5), "5.000000E-01");
  EXPECT_EQ(F("%g %g %G", 100000.0, 1e-5, 1e20), "100000 1e-05 1E+20");
  EXPECT_EQ(F("%#.0f", 3.0), "3.");
  EXPECT_EQ(F("%a", 1.0).substr(0, 3), "0x1");
  EXPECT_EQ(F("%Lf %lf", 1.0, 2.0), "1.000000 2.000000");
  EXPECT_EQ(F("%.1f", std::numeric_limits<double>::infinity()), "inf");
}

TEST(Format, StarWidthAndPrecision) {
  EXPECT_EQ(F("%*d", 5, 42), "   42");
  EXPECT_EQ(F("%*d|", -5, 42), "42   |");
  EXPECT_EQ(F("%-*d|", 4, 1), "1   |");
  EXPECT_EQ(F("%.*f", 2, 3.14159), "3.14");
  EXPECT_EQ(F("%*.*f", 8, 1, 2.25), "     2.2");
  EXPECT_EQ(F("%*d", INT32_MIN, 1).size(), 4096u);  // width capped, sign taken as "-"
  EXPECT_EQ(F("%*s|", int64_t{0x100000003}, "a"), "  a|");  // width is a 32-bit int
}

TEST(Format, MismatchedArgumentKinds) {
  EXPECT_EQ(F("[%s]", 42), "[]");
  EXPECT_EQ(F("[%s]", 1.5), "[]");
  EXPECT_EQ(F("[%d]", "text"), "[0]");
  EXPECT_EQ(F("%d", 3.9), "3");
  EXPECT_EQ(F("%d", -3.9), "-3");
  EXPECT_EQ(F("%d", std::nan("")), "0");
  EXPECT_EQ(F("%I64d", 1e300), "9223372036854775807");
  EXPECT_EQ(F("%I64d", -1e300), "-9223372036854775808");
  EXPECT_EQ(F("%I64u", 1e300), "18446744073709551615");
  EXPECT_EQ(F("%I64u", 1e19), "10000000000000000000");
  EXPECT_EQ(F("%f", 3), "3.000000");
  EXPECT_EQ(F("%f", "3.5"), "0.000000");
  EXPECT_EQ(F("%d %d", true, false), "1 0");
  enum Color { kRed = 2 };
  EXPECT_EQ(F("%d", kRed), "2");
  EXPECT_EQ(F("%u", 'A'), "65");
}

TEST(Format, MissingAndExtraArguments) {
  EXPECT_EQ(F("%d|%s|%f|%c|%x|%I64d|%p"), "0||0.000000||0|0|0000000000000000");
  EXPECT_EQ(F("%d %d", 1), "1 0");
  EXPECT_EQ(F("%d", 1, 2, "three"), "1");
  EXPECT_EQ(F("%*d"), "0");
}

TEST(Format, PointersAndCounts) {
  int x = 0;
  char expected[32];
  std::snprintf(expected, sizeof expected, "%016llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(&x)));
  EXPECT_EQ(F("%p", &x), expected);
  EXPECT_EQ(F("%p", nullptr), "0000000000000000");
  EXPECT_EQ(F("[%20p]", nullptr), "[    0000000000000000]");
  EXPECT_EQ(F("%n%d", &x, 5), "5");  // %n takes its argument and writes nothing
  EXPECT_EQ(x, 0);
}

TEST(Format, MalformedDirectivesStayAsWritten) {
  EXPECT_EQ(F("%"), "%");
  EXPECT_EQ(F("abc%", 1), "abc%");
  EXPECT_EQ(F("abc%5", 1), "abc%5");
  EXPECT_EQ(F("%-08.3", 1), "%-08.3");
  EXPECT_EQ(F("%I64", 1), "%I64");
  EXPECT_EQ(F("%y|%d", 7), "%y|7");
  EXPECT_EQ(F("%5k%d", 7), "%5k7");
  EXPECT_EQ(F("%I6d", 1), "%I6d");
  EXPECT_EQ(F("%lhd", 1), "%lhd");
  EXPECT_EQ(F("%'d|%d", 1000), "%'d|1000");
  EXPECT_EQ(F("%99999999999999999999d", 1).size(), 4096u);
  EXPECT_EQ(F("%.99999999999999999999d", 1).size(), 4096u);
  EXPECT_EQ(F("%.99999999999999999999s", "abc"), "abc");
}

TEST(Format, ResourceFormats) {
  OFL::SetResourceLanguage(1033);
  const std::string raw = OFLTools::LoadResString(7118);
  ASSERT_NE(raw.find("%d"), std::string::npos);
  EXPECT_EQ(OFLFormat(7118u, 3).str(), F(raw.c_str(), 3));
  EXPECT_EQ(OFLFormat(7118u).str(), F(raw.c_str(), 0));
  EXPECT_EQ(OFLFormat(1u, 3).str(), "");  // unknown resource: empty format
}

// Random directive soup with every kind of argument: must neither crash nor
// trip a sanitizer, and formatting twice gives the same text.
TEST(Format, RandomFormatsAreSafe) {
  static const char kPieces[] = "%%%-+ #0123456789*.hlLIjztw6432diouxXeEfFgGaAcCsSpnZ%%";
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> len(0, 40), pick(0, sizeof kPieces - 2);
  const std::string s = "str";
  for (int round = 0; round < 20000; ++round) {
    std::string f;
    const int n = len(rng);
    for (int i = 0; i < n; ++i) f.push_back(kPieces[pick(rng)]);
    const std::string a = F(f.c_str(), -1, s, 2.5, uint64_t{1} << 63, 'c', nullptr, INT64_MIN);
    const std::string b = F(f.c_str(), -1, s, 2.5, uint64_t{1} << 63, 'c', nullptr, INT64_MIN);
    ASSERT_EQ(a, b) << f;
    F(f.c_str());
  }
}

}  // namespace
