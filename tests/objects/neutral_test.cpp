// Neutral-value policies and change detection.
#include "orvacmn/objects/neutral.h"

#include <gtest/gtest.h>

#include <memory>

namespace orvacmn {
namespace {

TEST(NeutralTest, PoliciesThroughTheirBaseAndChangeDetection) {
  const std::unique_ptr<BaseIsNeutral<String>> empty = std::make_unique<EmptyStringNeutral>();
  EXPECT_TRUE(empty->IsNeutral("") && !empty->IsNeutral(" "));
  const std::unique_ptr<BaseIsNeutral<uint32_t>> none = std::make_unique<NoNeutral<uint32_t>>();
  EXPECT_FALSE(none->IsNeutral(0) || none->IsNeutral(UINT32_MAX));
  const SpecialValueNeutral<uint32_t> ff(0xFFFFFFFFu);
  const BaseIsNeutral<uint32_t>& base = ff;
  EXPECT_TRUE(base.IsNeutral(0xFFFFFFFFu) && !base.IsNeutral(0) && ff.GetSpecialValue() == 0xFFFFFFFFu);
  const SpecialValueNeutral<int64_t> minus(-1);
  EXPECT_TRUE(minus.IsNeutral(-1) && !minus.IsNeutral(1));

  // A neutral new value never counts as a change; otherwise any difference does.
  using H = ChangedPropertyHelper;
  EXPECT_FALSE(H::ValueHasChanged(uint32_t{0}, uint32_t{5}, uint32_t{0}));
  EXPECT_FALSE(H::ValueHasChanged(uint32_t{5}, uint32_t{5}, uint32_t{0}));
  EXPECT_TRUE(H::ValueHasChanged(uint32_t{6}, uint32_t{5}, uint32_t{0}));
  EXPECT_TRUE(H::ValueHasChanged(uint32_t{0}, uint32_t{5}, UINT32_MAX));
  EXPECT_FALSE(H::ValueHasChanged(int64_t{-1}, int64_t{7}, int64_t{-1}));
  EXPECT_FALSE(H::ValueHasChanged(INT64_MIN, INT64_MIN, int64_t{0}));
  EXPECT_TRUE(H::ValueHasChanged(INT64_MAX, INT64_MIN, int64_t{0}));
  // Other integer types of the caller, compared exactly.
  EXPECT_TRUE(H::ValueHasChanged(1ULL << 40, 0ULL, 0ULL));
  EXPECT_FALSE(H::ValueHasChanged(7LL, 7LL, 0LL));
  EXPECT_FALSE(H::ValueHasChanged(9UL, 3UL, 9UL));
  EXPECT_FALSE(H::ValueHasChanged(String(), String("old"), true));
  EXPECT_TRUE(H::ValueHasChanged(String(), String("old"), false));
  EXPECT_FALSE(H::ValueHasChanged(String(), String(), false));
  EXPECT_TRUE(H::ValueHasChanged(String("abc"), String("ABC"), true));
  EXPECT_FALSE(H::ValueHasChanged(String("abc"), String("abc"), true));
}

}  // namespace
}  // namespace orvacmn
