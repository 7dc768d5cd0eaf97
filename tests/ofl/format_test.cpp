#include "ofl/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <utility>

#include "ofl/tools.h"

namespace {

template <class... Args>
std::string F(const char* format, const Args&... args) {
  return OFLFormat(format, args...).str();
}

// Each pair is (formatted, expected).
void Check(std::initializer_list<std::pair<std::string, std::string>> cases) {
  int i = 0;
  for (const auto& [got, want] : cases) EXPECT_EQ(got, want) << "case " << i++;
}

TEST(Format, PlainTextAndPercent) {
  const OFL::String fmt = "[%s]";
  const OFL::String converted = OFLFormat("%d", 7);
  Check({{F(""), ""}, {F("no directives"), "no directives"}, {F("100%%"), "100%"}, {F("%%d", 5), "%d"},
         {F(static_cast<const char*>(nullptr)), ""}, {OFLFormat(fmt, "x").str(), "[x]"}, {converted, "7"}});
}

TEST(Format, Integers) {
  Check({
      {F("%d|%i", 42, -42), "42|-42"},
      {F("[%5d][%-5d][%05d][%+d][% d]", 42, 42, 42, 42, 42), "[   42][42   ][00042][+42][ 42]"},
      {F("%.4d|%8.3d|%-06d|", 7, -7, 9), "0007|    -007|9     |"},
      {F("%x %X %#x %o %#o", 255, 255, 255, 8, 8), "ff FF 0xff 10 010"},
      {F("%#d %#u", 5, 6u), "5 6"},  // "#" drops nothing for decimal
      // The default sizes are 32 bits, as "long" is on the original platform.
      {F("%d", int64_t{0x100000005}), "5"}, {F("%d", uint32_t{0xFFFFFFFF}), "-1"}, {F("%u", -1), "4294967295"},
      {F("%lu", int64_t{-1}), "4294967295"}, {F("%x", int64_t{0x123456789}), "23456789"},
      {F("%I32d", int64_t{0x1FFFFFFFF}), "-1"}, {F("%d", INT32_MIN), "-2147483648"},
      {F("%I64d", INT64_MIN), "-9223372036854775808"}, {F("%lld", INT64_MAX), "9223372036854775807"},
      {F("%I64u", UINT64_MAX), "18446744073709551615"}, {F("%llu", -1), "18446744073709551615"},
      {F("%I64X", uint64_t{0xABCDEF0123456789}), "ABCDEF0123456789"},
      {F("%I64d", uint64_t{0x8000000000000000}), "-9223372036854775808"}, {F("%I64d%%", 5), "5%"},
      {F("%zu %Iu %ju", uint64_t{1} << 40, uint64_t{1} << 40, uint64_t{1} << 40),
       "1099511627776 1099511627776 1099511627776"},
      {F("%hd", 65537), "1"}, {F("%hd", 32768), "-32768"}, {F("%hx", -1), "ffff"}, {F("%hhu", 257), "1"},
      {F("%hhd", 255), "-1"},
  });
}

TEST(Format, StringsAndCharacters) {
  const OFL::String s = "text";
  const std::string_view v = "view";
  char buffer[] = "buf";
  const char* none = nullptr;
  Check({
      {F("%s %s %s %s %s", s, v, buffer, "lit", none), "text view buf lit (null)"},
      {F("[%6s][%-6s][%.2s][%.10s][%.0s]", s, s, s, s, s), "[  text][text  ][te][text][]"},
      {F("%.*s|%-*s|", 3, "abcdef", 5, "ab"), "abc|ab   |"}, {F("%.*s", -1, "whole"), "whole"},  // negative: none
      {F("%ls %S %ws", "a", "b", "c"), "a b c"}, {F("<%s>", std::string("a\0b", 3)), std::string("<a\0b>", 5)},
      {F("%c%c%c", 'O', 75, "!?"), "OK!"}, {F("[%3c][%-3c]", 'a', 'b'), "[  a][b  ]"}, {F("[%c]", 0), "[]"},
      {F("[%c]", ""), "[]"}, {F("%c", 0x141), "A"},
  });
  EXPECT_EQ(F("%s", std::string(10000, 'x')).size(), 10000u);
}

TEST(Format, FloatingPointAndStars) {
  Check({
      {F("%f", 1.5), "1.500000"}, {F("%.2f|%8.3f|%-8.1f|%+.1f", 3.14159, 2.5, 2.5, 2.0), "3.14|   2.500|2.5     |+2.0"},
      {F("%s [Duration: %0.2f ms]", "step", 12.345), "step [Duration: 12.35 ms]"}, {F("%e", 12345.678), "1.234568e+04"},
      {F("%E", 0.5), "5.000000E-01"}, {F("%g %g %G", 100000.0, 1e-5, 1e20), "100000 1e-05 1E+20"},
      {F("%#.0f", 3.0), "3."}, {F("%a", 1.0).substr(0, 3), "0x1"}, {F("%Lf %lf", 1.0, 2.0), "1.000000 2.000000"},
      {F("%.1f", std::numeric_limits<double>::infinity()), "inf"}, {F("%*d", 5, 42), "   42"},
      {F("%*d|", -5, 42), "42   |"}, {F("%-*d|", 4, 1), "1   |"}, {F("%.*f", 2, 3.14159), "3.14"},
      {F("%*.*f", 8, 1, 2.25), "     2.2"}, {F("%*s|", int64_t{0x100000003}, "a"), "  a|"},  // the width is 32-bit
  });
  EXPECT_EQ(F("%*d", INT32_MIN, 1).size(), 4096u);  // width capped, sign taken as "-"
}

TEST(Format, MismatchedMissingAndExtraArguments) {
  enum Color { kRed = 2 };
  Check({
      {F("[%s]", 42), "[]"}, {F("[%s]", 1.5), "[]"}, {F("[%d]", "text"), "[0]"}, {F("%d", 3.9), "3"},
      {F("%d", -3.9), "-3"}, {F("%d", std::nan("")), "0"}, {F("%I64d", 1e300), "9223372036854775807"},
      {F("%I64d", -1e300), "-9223372036854775808"}, {F("%I64u", 1e300), "18446744073709551615"},
      {F("%I64u", 1e19), "10000000000000000000"}, {F("%f", 3), "3.000000"}, {F("%f", "3.5"), "0.000000"},
      {F("%d %d", true, false), "1 0"}, {F("%d", kRed), "2"}, {F("%u", 'A'), "65"},
      {F("%d|%s|%f|%c|%x|%I64d|%p"), "0||0.000000||0|0|0000000000000000"}, {F("%d %d", 1), "1 0"},
      {F("%d", 1, 2, "three"), "1"}, {F("%*d"), "0"},
  });
}

TEST(Format, PointersAndCounts) {
  int x = 0;
  char expected[32];
  std::snprintf(expected, sizeof expected, "%016llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(&x)));
  Check({{F("%p", &x), expected}, {F("%p", nullptr), "0000000000000000"},
         {F("[%20p]", nullptr), "[    0000000000000000]"}, {F("%n%d", &x, 5), "5"}});  // %n writes nothing
  EXPECT_EQ(x, 0);
}

TEST(Format, MalformedDirectivesStayAsWritten) {
  Check({{F("%"), "%"}, {F("abc%", 1), "abc%"}, {F("abc%5", 1), "abc%5"}, {F("%-08.3", 1), "%-08.3"},
         {F("%I64", 1), "%I64"}, {F("%y|%d", 7), "%y|7"}, {F("%5k%d", 7), "%5k7"}, {F("%I6d", 1), "%I6d"},
         {F("%lhd", 1), "%lhd"},
         {F("%'d|%d", 1000), "%'d|1000"}, {F("%.99999999999999999999s", "abc"), "abc"}});
  EXPECT_EQ(F("%99999999999999999999d", 1).size(), 4096u);
  EXPECT_EQ(F("%.99999999999999999999d", 1).size(), 4096u);
}

TEST(Format, ResourceFormats) {
  OFL::SetResourceLanguage(1033);
  const std::string raw = OFLTools::LoadResString(7118);
  ASSERT_NE(raw.find("%d"), std::string::npos);
  EXPECT_EQ(OFLFormat(7118u, 3).str(), F(raw.c_str(), 3));
  EXPECT_EQ(OFLFormat(7118u).str(), F(raw.c_str(), 0));
  EXPECT_EQ(OFLFormat(1u, 3).str(), "");  // unknown resource: empty format
}

// Random directive soup with every kind of argument: must neither crash nor trip a sanitizer, and formatting twice
// gives the same text.
TEST(Format, RandomFormatsAreSafe) {
  static const char kPieces[] = "%%%-+ #0123456789*.hlLIjztw6432diouxXeEfFgGaAcCsSpnZ%%";
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> len(0, 40), pick(0, sizeof kPieces - 2);
  const std::string s = "str";
  for (int round = 0; round < 20000; ++round) {
    std::string f;
    for (int n = len(rng); n > 0; --n) f.push_back(kPieces[pick(rng)]);
    const std::string a = F(f.c_str(), -1, s, 2.5, uint64_t{1} << 63, 'c', nullptr, INT64_MIN);
    ASSERT_EQ(a, F(f.c_str(), -1, s, 2.5, uint64_t{1} << 63, 'c', nullptr, INT64_MIN)) << f;
    F(f.c_str());
  }
}

}  // namespace
