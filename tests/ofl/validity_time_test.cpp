// Validity windows: the text form at its calendar and range limits, refused texts, and the inclusive window test.
#include "ofl/validity_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace {

constexpr int64_t kMax = OFLValidityTimeString::kMaxTime;

TEST(ValidityTime, AcceptedTextsGiveTheirTimesAndTheCanonicalText) {
  struct Case {
    const char* text;
    int64_t start, end;
    const char* canonical;
  };
  const Case cases[] = {
      {"", 0, 0, ""},
      {"/", 0, 0, ""},
      {"1970-01-01T00:00:00Z/", 0, 0, ""},  // the first second is "not set"
      {"1970-01-01T00:00:01Z/1970-01-01T00:00:01Z", 1, 1, "1970-01-01T00:00:01Z/1970-01-01T00:00:01Z"},
      {"2024-02-29T12:00:00Z/", 1709208000, 0, "2024-02-29T12:00:00Z/"},
      {"2000-02-29T00:00:00Z/2038-01-19T03:14:08Z", 951782400, 2147483648, "2000-02-29T00:00:00Z/2038-01-19T03:14:08Z"},
      {"/9999-12-31T23:59:59Z", 0, kMax, "/9999-12-31T23:59:59Z"},
      {"2023-12-31T23:59:59Z/2024-01-01T00:00:00Z", 1704067199, 1704067200, "2023-12-31T23:59:59Z/2024-01-01T00:00:00Z"},
  };
  for (const Case& c : cases) {
    OFLValidityTimeString w("2001-01-01T00:00:00Z/");
    ASSERT_TRUE(w.SetString(c.text)) << c.text;
    EXPECT_EQ(w.GetStart(), c.start) << c.text;
    EXPECT_EQ(w.GetEnd(), c.end) << c.text;
    EXPECT_EQ(w.GetString(), c.canonical) << c.text;
    OFLValidityTimeString again;
    EXPECT_TRUE(again.SetString(w.GetString()) && again == w) << c.text;
  }
}

TEST(ValidityTime, RefusedTextsLeaveTheWindowAsItWas) {
  const char* refused[] = {
      "garbage", "2024-01-01T00:00:00Z", "2023-02-29T00:00:00Z/", "2100-02-29T00:00:00Z/", "2024-04-31T00:00:00Z/",
      "2024-13-01T00:00:00Z/", "2024-00-10T00:00:00Z/", "2024-01-00T00:00:00Z/", "1969-12-31T23:59:59Z/",
      "2024-01-01T24:00:00Z/", "2024-01-01T00:60:00Z/", "2024-01-01T00:00:60Z/", "2024-01-01 00:00:00Z/",
      "2024-01-01T00:00:00z/", "2024-1-01T00:00:00Z/", "+024-01-01T00:00:00Z/", "2024-01-01T00:00:00+01:00/",
      " 2024-01-01T00:00:00Z/", "2024-01-01T00:00:00Z/ ", "2024-01-01T00:00:00Z//", "//",
      "/2024-01-01T00:00:00Z/", "10000-01-01T00:00:00Z/", "2024-01-02T00:00:00Z/2024-01-01T23:59:59Z",
      "2024-01-01T00:00:00Z/2024-01-01T00:00:00ZX"};
  for (const char* text : refused) {
    OFLValidityTimeString w("2001-01-01T00:00:00Z/2002-01-01T00:00:00Z");
    const OFLValidityTimeString before = w;
    EXPECT_FALSE(w.SetString(text)) << text;
    EXPECT_TRUE(w == before) << text;
  }
  EXPECT_FALSE(OFLValidityTimeString().SetString(std::string_view("2024-01-01T00:00:00Z/\0", 22)));
}

TEST(ValidityTime, WindowIncludesBothEndsAndOpenSidesAcceptEverything) {
  OFLValidityTimeString w;
  for (int64_t t : {int64_t{-5}, int64_t{0}, kMax + 1}) EXPECT_TRUE(w.IsValid(t)) << t;
  ASSERT_TRUE(w.SetStart(1000) && w.SetEnd(2000));
  const std::pair<int64_t, bool> cases[] = {{999, false}, {1000, true}, {2000, true}, {2001, false}};
  for (const auto& [t, valid] : cases) EXPECT_EQ(w.IsValid(t), valid) << t;
  ASSERT_TRUE(w.SetEnd(0));
  EXPECT_TRUE(w.IsValid(INT64_MAX) && !w.IsValid(999));
  ASSERT_TRUE(w.SetStart(0) && w.SetEnd(1000));
  EXPECT_TRUE(w.IsValid(INT64_MIN) && !w.IsValid(1001));
  w.Reset();
  EXPECT_TRUE(w.GetStart() == 0 && w.GetEnd() == 0 && w.GetString().empty());
}

TEST(ValidityTime, SettersRefuseWhatTheTextCannotHold) {
  OFLValidityTimeString w;
  EXPECT_FALSE(w.SetStart(-1));
  EXPECT_FALSE(w.SetEnd(kMax + 1));
  ASSERT_TRUE(w.SetEnd(kMax) && w.SetStart(kMax));
  ASSERT_TRUE(w.SetStart(500) && w.SetEnd(500));
  EXPECT_FALSE(w.SetStart(501));
  EXPECT_FALSE(w.SetEnd(499));
  EXPECT_EQ(w.GetString(), "1970-01-01T00:08:20Z/1970-01-01T00:08:20Z");
  EXPECT_EQ(OFLValidityTimeString::FormatTime(-1), "");
  EXPECT_EQ(OFLValidityTimeString::FormatTime(kMax + 1), "");
}

}  // namespace
