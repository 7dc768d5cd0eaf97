#include "orvacmn/objects/release_level.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <type_traits>

#include "ofl/tools.h"

namespace {

using orvacmn::OVOReleaseLevel;
using L = OVOReleaseLevel;

class LanguageGuard {
 public:
  explicit LanguageGuard(uint16_t lang) : saved_(OFL::GetResourceLanguage()) { OFL::SetResourceLanguage(lang); }
  ~LanguageGuard() { OFL::SetResourceLanguage(saved_); }

 private:
  uint16_t saved_;
};

static_assert(std::is_convertible_v<L, int>);
static_assert(std::is_convertible_v<L, OFL::String>);
static_assert(std::is_convertible_v<int, L>);
static_assert(std::is_convertible_v<L::EReleaseLevel, L>);

TEST(ReleaseLevel, DefaultIsNotSpecified) {
  const L level;
  EXPECT_EQ(level.Value(), L::eNotSpecified);
  EXPECT_EQ(level.ToString(), "200");
}

TEST(ReleaseLevel, RangeRuleOnConstruction) {
  struct Case {
    int in;
    int want;
  };
  for (const Case& c : {Case{42, 200}, Case{0, 200}, Case{-1, 200}, Case{99, 200}, Case{100, 100},
                        Case{101, 101}, Case{250, 250}, Case{499, 499}, Case{500, 500}, Case{501, 200},
                        Case{INT_MIN, 200}, Case{INT_MAX, 200}, Case{-100, 200}, Case{-500, 200}}) {
    const L level(c.in);
    EXPECT_EQ(level.ToInt(), c.want) << c.in;
    EXPECT_EQ(static_cast<int>(level), c.want) << c.in;
    EXPECT_EQ(static_cast<int>(level.Value()), c.want) << c.in;
  }
  for (L::EReleaseLevel e : {L::eCancelled, L::eNotSpecified, L::eNotReleased, L::eReleasedForTest, L::eReleased})
    EXPECT_EQ(L(e).Value(), e);
  EXPECT_EQ(L(static_cast<L::EReleaseLevel>(7)).ToInt(), 200);
  EXPECT_EQ(L(static_cast<L::EReleaseLevel>(600)).ToInt(), 200);
}

TEST(ReleaseLevel, Assignment) {
  L level(L::eReleased);
  const int r1 = (level = 42);
  EXPECT_EQ(r1, 200) << "integer assignment yields the resulting value";
  EXPECT_EQ(level.Value(), L::eNotSpecified);
  const int r2 = (level = 300);
  EXPECT_EQ(r2, 300);
  EXPECT_EQ(level.Value(), L::eNotReleased);
  EXPECT_EQ((level = 777), 200);

  level = L::eReleasedForTest;
  EXPECT_EQ(level.Value(), L::eReleasedForTest);
  level = static_cast<L::EReleaseLevel>(5000);
  EXPECT_EQ(level.Value(), L::eNotSpecified);

  const L other(250);
  level = other;
  EXPECT_EQ(level.ToInt(), 250);
  L copy(level);
  EXPECT_EQ(copy.ToInt(), 250);
  L& self = copy;
  copy = self;
  EXPECT_EQ(copy.ToInt(), 250);
}

TEST(ReleaseLevel, ConversionsToText) {
  EXPECT_EQ(L(500).ToString(), "500");
  EXPECT_EQ(L(250).ToString(), "250");
  EXPECT_EQ(L(-3).ToString(), "200");
  const OFL::String s = L(L::eCancelled);
  EXPECT_EQ(s, "100");
  const int i = L(400);
  EXPECT_EQ(i, 400);
}

TEST(ReleaseLevel, Comparisons) {
  const L released(L::eReleased);
  EXPECT_TRUE(released == L::eReleased);
  EXPECT_TRUE(L::eReleased == released);
  EXPECT_TRUE(released != L::eCancelled);
  EXPECT_TRUE(L::eCancelled != released);
  EXPECT_FALSE(released != L::eReleased);
  EXPECT_TRUE(released == 500);
  EXPECT_TRUE(500 == released);
  EXPECT_TRUE(released != 400);
  EXPECT_TRUE(400 != released);
  EXPECT_TRUE(released == L(500));
  EXPECT_TRUE(released != L(100));

  // 250 is kept and compares as itself.
  const L mid(250);
  EXPECT_TRUE(mid == 250);
  EXPECT_TRUE(mid != 200);
  EXPECT_TRUE(mid != L::eNotSpecified);

  // Out-of-range integers become 200 on either side.
  const L high(501);
  EXPECT_TRUE(high == 200);
  EXPECT_TRUE(high == L::eNotSpecified);
  EXPECT_TRUE(high == 0);
  EXPECT_TRUE(0 == high);
  EXPECT_TRUE(high == 501);
  EXPECT_TRUE(high == -7);
  EXPECT_FALSE(high != 99999);
  EXPECT_TRUE(L(200) == INT_MIN);
  EXPECT_TRUE(L(100) != 0);
  EXPECT_FALSE(L(100) == 99);
  EXPECT_TRUE(L(L::eNotSpecified) == L(42));
}

TEST(ReleaseLevel, ComparisonsWithOtherIntegerTypes) {
  const L cancelled(100);
  EXPECT_TRUE(cancelled == 100L);
  EXPECT_TRUE(cancelled == 100u);
  EXPECT_TRUE(cancelled == int64_t{100});
  EXPECT_TRUE(uint16_t{100} == cancelled);
  // A wide value is not cut down to 32 bits before the range rule.
  EXPECT_FALSE(cancelled == int64_t{0x100000064});
  EXPECT_TRUE(L(200) == int64_t{0x100000064});
  EXPECT_TRUE(L(200) == uint64_t{UINT64_MAX});
  EXPECT_TRUE(L(200) == int64_t{-1});
  EXPECT_TRUE(cancelled != 0x100000064ULL);
}

TEST(ReleaseLevel, TextualDescriptionEnglish) {
  EXPECT_EQ(L::GetTextualDescription(L::eCancelled), "cancelled");
  EXPECT_EQ(L::GetTextualDescription(L::eNotSpecified), "not specified");
  EXPECT_EQ(L::GetTextualDescription(L::eNotReleased), "not released");
  EXPECT_EQ(L::GetTextualDescription(L::eReleasedForTest), "released for test");
  EXPECT_EQ(L::GetTextualDescription(L::eReleased), "released");
  EXPECT_EQ(L::GetTextualDescription(L(250).Value()), "not specified");
  for (int v : {0, 42, 150, 250, 499, 501, -1})
    EXPECT_EQ(L::GetTextualDescription(static_cast<L::EReleaseLevel>(v)), "not specified") << v;
}

TEST(ReleaseLevel, TextualDescriptionGerman) {
  {
    LanguageGuard german(1031);
    EXPECT_EQ(L::GetTextualDescription(L::eCancelled), OFLTools::LoadResString(7141));
    EXPECT_EQ(L::GetTextualDescription(L::eReleased), "freigegeben");
    EXPECT_EQ(L::GetTextualDescription(L::eNotReleased), "nicht freigegeben");
    EXPECT_EQ(L::GetTextualDescription(L::eReleasedForTest), "zum Test freigegeben");
    EXPECT_EQ(L::GetTextualDescription(L::eNotSpecified), "nicht angegeben");
    EXPECT_EQ(L::GetTextualDescription(static_cast<L::EReleaseLevel>(250)), "nicht angegeben");
    EXPECT_NE(L::GetTextualDescription(L::eCancelled), "cancelled");
  }
  EXPECT_EQ(L::GetTextualDescription(L::eCancelled), "cancelled") << "the language was restored";
}

}  // namespace
