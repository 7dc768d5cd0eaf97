#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "ofl/tools.h"

namespace {

namespace CRT = OFL::CRT;

TEST(AToUL, ReadsLikeStrtoulWith32BitLong) {
  struct Case { const char* text; uint32_t want; } const cases[] = {
      {"", 0}, {"0", 0}, {"42", 42}, {"  \t\r\n\v\f17", 17}, {"+5", 5}, {"+", 0}, {"-", 0}, {"12abc", 12}, {"abc12", 0},
      {"1 2", 1}, {"007", 7}, {"4294967295", 4294967295u}, {"4294967296", 0xFFFFFFFFu},
      {"99999999999999999999999", 0xFFFFFFFFu}, {"-1", 0xFFFFFFFFu}, {"-4294967295", 1},
      {"-4294967296", 0xFFFFFFFFu},  // a negative overflow saturates too
      {"--1", 0}, {"- 1", 0}, {"0x10", 0}, {"000000000000000000000000004294967295", 4294967295u},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OFLTools::AToUL(c.text), c.want) << c.text;
    EXPECT_EQ(CRT::strtoul(c.text), c.want) << c.text;
  }
  EXPECT_EQ(OFLTools::AToUL(std::string_view("12345", 3)), 123u);  // stops at the view's end
  EXPECT_EQ(CRT::strtoul(static_cast<const char*>(nullptr)), 0u);
}

TEST(AToLLAndAToULL, SixtyFourBitSaturation) {
  struct Case { const char* text; uint64_t wantUnsigned; int64_t wantSigned; } const cases[] = {
      {"18446744073709551615", UINT64_MAX, INT64_MAX}, {"18446744073709551616", UINT64_MAX, INT64_MAX},
      {"9223372036854775807", INT64_MAX, INT64_MAX}, {"9223372036854775808", 9223372036854775808u, INT64_MAX},
      {"-9223372036854775808", 9223372036854775808u, INT64_MIN},
      {"-9223372036854775809", 9223372036854775807u, INT64_MIN}, {"-99999999999999999999999", UINT64_MAX, INT64_MIN},
      {"4294967296", 4294967296u, 4294967296}, {"-1", UINT64_MAX, -1}, {"-18446744073709551615", 1, INT64_MIN},
      {"-18446744073709551616", UINT64_MAX, INT64_MIN}, {" +9x", 9, 9}, {"  -42z", uint64_t(-42), -42},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OFLTools::AToULL(c.text), c.wantUnsigned) << c.text;
    EXPECT_EQ(OFLTools::AToLL(c.text), c.wantSigned) << c.text;
    EXPECT_EQ(CRT::_atoi64(c.text), c.wantSigned) << c.text;
  }
  EXPECT_EQ(CRT::_atoi64(OFL::String("123")), 123);
}

TEST(CrtAtolAndAtof, ThirtyTwoBitSaturationAndLeadingNumbers) {
  for (auto [text, want] : {std::pair<const char*, int32_t>{"2147483647", INT32_MAX}, {"2147483648", INT32_MAX},
                            {"4294967296", INT32_MAX}, {"-2147483648", INT32_MIN}, {"-2147483649", INT32_MIN},
                            {"  -17 apples", -17}, {"+", 0}}) {
    EXPECT_EQ(CRT::atol(text), want) << text;
    EXPECT_EQ(CRT::atoi(text), want) << text;
  }
  EXPECT_EQ(CRT::atoi(static_cast<const char*>(nullptr)), 0);
  EXPECT_EQ(CRT::atol(OFL::String("99")), 99);
  EXPECT_DOUBLE_EQ(CRT::atof("  1.5e3xyz"), 1500.0);
  EXPECT_DOUBLE_EQ(CRT::atof("-0.25"), -0.25);
  EXPECT_DOUBLE_EQ(CRT::atof("abc"), 0.0);
  EXPECT_DOUBLE_EQ(CRT::atof(static_cast<const char*>(nullptr)), 0.0);
  EXPECT_DOUBLE_EQ(CRT::atof(OFL::String("2")), 2.0);
}

TEST(NumberText, WritesDecimalAndReadsBack) {
  EXPECT_EQ(OFLTools::ULToA(0), "0");
  EXPECT_EQ(OFLTools::ULToA(4294967295u), "4294967295");
  EXPECT_EQ(OFLTools::LLToA(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(OFLTools::ULLToA(UINT64_MAX), "18446744073709551615");
  std::mt19937_64 rng(5);
  for (int i = 0; i < 10000; ++i) {
    const uint64_t v = rng() >> (rng() % 64);
    ASSERT_EQ(OFLTools::AToULL(OFLTools::ULLToA(v)), v);
    ASSERT_EQ(OFLTools::AToUL(OFLTools::ULToA(uint32_t(v))), uint32_t(v));
    ASSERT_EQ(OFLTools::AToLL(OFLTools::LLToA(int64_t(v))), int64_t(v));
    ASSERT_EQ(CRT::atol(OFLTools::LLToA(int32_t(v))), int32_t(v));
  }
}

}  // namespace
