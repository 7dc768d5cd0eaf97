#include "orvacmn/objects/release_level.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <type_traits>

#include "ofl/tools.h"

namespace {

using L = orvacmn::OVOReleaseLevel;

static_assert(std::is_convertible_v<L, int> && std::is_convertible_v<L, OFL::String>);
static_assert(std::is_convertible_v<int, L> && std::is_convertible_v<L::EReleaseLevel, L>);

TEST(ReleaseLevel, RangeRuleOnConstructionAndAssignment) {
  EXPECT_EQ(L().Value(), L::eNotSpecified);
  const int cases[][2] = {{42, 200},  {0, 200},   {-1, 200},  {99, 200},      {100, 100},     {101, 101},
                          {250, 250}, {499, 499}, {500, 500}, {501, 200},     {-500, 200},    {INT_MIN, 200},
                          {INT_MAX, 200}};
  for (const auto& [in, want] : cases) {
    const L level(in);
    L assigned(L::eReleased);
    EXPECT_EQ((assigned = in), want) << "integer assignment yields the resulting value";
    EXPECT_TRUE(static_cast<int>(level) == want && static_cast<int>(level.Value()) == want && assigned.ToInt() == want) << in;
    EXPECT_EQ(level.ToString(), std::to_string(want)) << in;
    EXPECT_EQ(static_cast<OFL::String>(level), std::to_string(want)) << in;
  }
  for (L::EReleaseLevel e : {L::eCancelled, L::eNotSpecified, L::eNotReleased, L::eReleasedForTest, L::eReleased})
    EXPECT_EQ(L(e).Value(), e);
  for (int bad : {7, 600, 5000}) {
    EXPECT_EQ(L(static_cast<L::EReleaseLevel>(bad)).ToInt(), 200) << bad;
    L level(L::eReleased);
    level = static_cast<L::EReleaseLevel>(bad);
    EXPECT_EQ(level.Value(), L::eNotSpecified) << bad;
  }
  L copy(L(250));
  copy = *&copy;
  EXPECT_EQ(copy.ToInt(), 250);
}

TEST(ReleaseLevel, ComparisonsApplyTheRangeRuleOnBothSidesTextsInBothLanguages) {
  const L released(L::eReleased), mid(250), high(501);
  EXPECT_TRUE(released == L::eReleased && L::eReleased == released && !(released != L::eReleased));
  EXPECT_TRUE(released != L::eCancelled && L::eCancelled != released);
  EXPECT_TRUE(released == 500 && 500 == released && released != 400 && 400 != released);
  EXPECT_TRUE(released == L(500) && released != L(100));
  EXPECT_TRUE(mid == 250 && mid != 200 && mid != L::eNotSpecified) << "250 is kept and compares as itself";
  // Out-of-range integers become 200 on either side.
  EXPECT_TRUE(high == 200 && high == L::eNotSpecified && high == 0 && 0 == high && high == 501 && high == -7);
  EXPECT_FALSE(high != 99999);
  EXPECT_TRUE(L(200) == INT_MIN && L(100) != 0 && !(L(100) == 99) && L(L::eNotSpecified) == L(42));
  // Other integer types; a wide value is not cut down to 32 bits before the range rule.
  const L cancelled(100);
  EXPECT_TRUE(cancelled == 100L && cancelled == 100u && cancelled == int64_t{100} && uint16_t{100} == cancelled);
  EXPECT_FALSE(cancelled == int64_t{0x100000064});
  EXPECT_TRUE(cancelled != 0x100000064ULL);
  EXPECT_TRUE(L(200) == int64_t{0x100000064} && L(200) == uint64_t{UINT64_MAX} && L(200) == int64_t{-1});

  const L::EReleaseLevel levels[] = {L::eCancelled, L::eNotSpecified, L::eNotReleased, L::eReleasedForTest,
                                     L::eReleased};
  const char* english[] = {"cancelled", "not specified", "not released", "released for test", "released"};
  const char* german[] = {"zur\u00fcckgezogen", "nicht angegeben", "nicht freigegeben", "zum Test freigegeben",
                          "freigegeben"};
  const uint16_t saved = OFL::GetResourceLanguage();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(L::GetTextualDescription(levels[i]), english[i]);
  for (int v : {0, 42, 150, 250, 499, 501, -1})
    EXPECT_EQ(L::GetTextualDescription(static_cast<L::EReleaseLevel>(v)), "not specified") << v;
  OFL::SetResourceLanguage(1031);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(L::GetTextualDescription(levels[i]), german[i]);
  EXPECT_EQ(L::GetTextualDescription(static_cast<L::EReleaseLevel>(250)), "nicht angegeben");
  OFL::SetResourceLanguage(saved);
  EXPECT_EQ(L::GetTextualDescription(L::eCancelled), "cancelled") << "the language was restored";
}

}  // namespace
