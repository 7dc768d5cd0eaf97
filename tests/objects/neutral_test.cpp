// Neutral-value policies and change detection.
#include "orvacmn/objects/neutral.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace orvacmn {
namespace {

TEST(NeutralTest, Policies) {
  const EmptyStringNeutral empty;
  EXPECT_TRUE(empty.IsNeutral(""));
  EXPECT_FALSE(empty.IsNeutral(" "));
  const NoNeutral<uint32_t> none;
  EXPECT_FALSE(none.IsNeutral(0));
  EXPECT_FALSE(none.IsNeutral(UINT32_MAX));
  const SpecialValueNeutral<uint32_t> ff(0xFFFFFFFFu);
  EXPECT_TRUE(ff.IsNeutral(0xFFFFFFFFu));
  EXPECT_FALSE(ff.IsNeutral(0));
  EXPECT_EQ(ff.GetSpecialValue(), 0xFFFFFFFFu);
  const SpecialValueNeutral<int64_t> minus(-1);
  EXPECT_TRUE(minus.IsNeutral(-1));
  EXPECT_FALSE(minus.IsNeutral(1));
}

TEST(NeutralTest, PoliciesThroughTheirBase) {
  std::vector<std::unique_ptr<BaseIsNeutral<uint32_t>>> policies;
  policies.push_back(std::make_unique<NoNeutral<uint32_t>>());
  policies.push_back(std::make_unique<SpecialValueNeutral<uint32_t>>(0u));
  EXPECT_FALSE(policies[0]->IsNeutral(0));
  EXPECT_TRUE(policies[1]->IsNeutral(0));
  std::unique_ptr<BaseIsNeutral<String>> s = std::make_unique<EmptyStringNeutral>();
  EXPECT_TRUE(s->IsNeutral(String()));
}

TEST(ChangedPropertyHelperTest, Unsigned32) {
  EXPECT_FALSE(ChangedPropertyHelper::ValueHasChanged(uint32_t{0}, uint32_t{5}, uint32_t{0}));  // neutral
  EXPECT_FALSE(ChangedPropertyHelper::ValueHasChanged(uint32_t{5}, uint32_t{5}, uint32_t{0}));
  EXPECT_TRUE(ChangedPropertyHelper::ValueHasChanged(uint32_t{6}, uint32_t{5}, uint32_t{0}));
  EXPECT_TRUE(ChangedPropertyHelper::ValueHasChanged(uint32_t{0}, uint32_t{5}, UINT32_MAX));
}

TEST(ChangedPropertyHelperTest, Signed64) {
  EXPECT_FALSE(ChangedPropertyHelper::ValueHasChanged(int64_t{-1}, int64_t{7}, int64_t{-1}));
  EXPECT_FALSE(ChangedPropertyHelper::ValueHasChanged(INT64_MIN, INT64_MIN, int64_t{0}));
  EXPECT_TRUE(ChangedPropertyHelper::ValueHasChanged(INT64_MAX, INT64_MIN, int64_t{0}));
}

TEST(ChangedPropertyHelperTest, Strings) {
  EXPECT_FALSE(ChangedPropertyHelper::ValueHasChanged(String(), String("old"), true));
  EXPECT_TRUE(ChangedPropertyHelper::ValueHasChanged(String(), String("old"), false));
  EXPECT_FALSE(ChangedPropertyHelper::ValueHasChanged(String(), String(), false));
  EXPECT_TRUE(ChangedPropertyHelper::ValueHasChanged(String("abc"), String("ABC"), true));
  EXPECT_FALSE(ChangedPropertyHelper::ValueHasChanged(String("abc"), String("abc"), true));
}

}  // namespace
}  // namespace orvacmn
