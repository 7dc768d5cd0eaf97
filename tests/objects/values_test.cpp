// Small value types: release levels (a range rule applied everywhere) and neutral values with change detection.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <type_traits>

#include "ofl/tools.h"
#include "orvacmn/objects/neutral.h"
#include "orvacmn/objects/release_level.h"

namespace orvacmn {
namespace {

using L = OVOReleaseLevel;

static_assert(std::is_convertible_v<L, int> && std::is_convertible_v<L, OFL::String>);
static_assert(std::is_convertible_v<int, L> && std::is_convertible_v<L::EReleaseLevel, L>);

TEST(ReleaseLevel, RangeRuleOnConstructionAssignmentAndComparisonsTextsInBothLanguages) {
  EXPECT_EQ(L().Value(), L::eNotSpecified);
  const int cases[][2] = {{42, 200},  {0, 200},   {-1, 200},  {99, 200},   {100, 100},     {101, 101},    {250, 250},
                          {499, 499}, {500, 500}, {501, 200}, {-500, 200}, {INT_MIN, 200}, {INT_MAX, 200}};
  for (const auto& [in, want] : cases) {
    const L level(in), fromEnum(static_cast<L::EReleaseLevel>(in));
    L assigned(L::eReleased), assignedEnum(L::eReleased);
    assignedEnum = static_cast<L::EReleaseLevel>(in);
    EXPECT_EQ((assigned = in), want) << "integer assignment yields the resulting value";
    EXPECT_TRUE(static_cast<int>(level) == want && int{level.Value()} == want && assigned.ToInt() == want) << in;
    EXPECT_TRUE(fromEnum.ToInt() == want && assignedEnum.ToInt() == want) << in;
    EXPECT_TRUE(level.ToString() == std::to_string(want) && static_cast<OFL::String>(level) == level.ToString()) << in;
  }
  // Both operand orders of == and != agree for enumerators, levels and integers of any type; an integer outside
  // 100..500 counts as 200, a wide one is not cut down to 32 bits first, and 250 is kept and compares as itself.
  const auto same = [](const L& a, auto b) { return a == b && b == a && !(a != b) && !(b != a); };
  const auto differ = [](const L& a, auto b) { return a != b && b != a && !(a == b) && !(b == a); };
  EXPECT_TRUE(same(L(500), L::eReleased) && same(L(500), 500) && same(L(500), L(500)) && differ(L(500), L::eCancelled));
  EXPECT_TRUE(differ(L(500), 400) && differ(L(500), L(100)) && same(L(250), 250) && differ(L(250), 200));
  EXPECT_TRUE(differ(L(250), L::eNotSpecified) && same(L(501), 200) && same(L(501), L::eNotSpecified));
  EXPECT_TRUE(same(L(501), 0) && same(L(501), 501) && same(L(501), -7) && same(L(501), 99999) && same(L(200), INT_MIN));
  EXPECT_TRUE(differ(L(100), 0) && differ(L(100), 99) && same(L(L::eNotSpecified), L(42)) && same(L(100), 100L));
  EXPECT_TRUE(same(L(100), 100u) && same(L(100), int64_t{100}) && same(L(100), uint16_t{100}));
  EXPECT_TRUE(differ(L(100), int64_t{0x100000064}) && differ(L(100), 0x100000064ULL) && same(L(200), int64_t{-1}));
  EXPECT_TRUE(same(L(200), int64_t{0x100000064}) && same(L(200), uint64_t{UINT64_MAX}));

  const char* texts[] = {"cancelled", "not specified", "not released", "released for test", "released"};
  for (int v = 100; v <= 500; v += 100) EXPECT_EQ(L::GetTextualDescription(L::EReleaseLevel(v)), texts[v / 100 - 1]);
  for (int v : {0, 42, 150, 250, 499, 501, -1}) EXPECT_EQ(L::GetTextualDescription(L::EReleaseLevel(v)), texts[1]);
  const uint16_t saved = OFL::GetResourceLanguage();
  OFL::SetResourceLanguage(1031);
  EXPECT_EQ(L::GetTextualDescription(L::eReleasedForTest), "zum Test freigegeben");
  OFL::SetResourceLanguage(saved);
}

TEST(NeutralTest, PoliciesThroughTheirBaseAndChangeDetection) {
  const std::unique_ptr<BaseIsNeutral<String>> empty = std::make_unique<EmptyStringNeutral>();
  const std::unique_ptr<BaseIsNeutral<uint32_t>> none = std::make_unique<NoNeutral<uint32_t>>();
  const SpecialValueNeutral<uint32_t> ff(0xFFFFFFFFu);
  const BaseIsNeutral<uint32_t>& base = ff;
  const SpecialValueNeutral<int64_t> minus(-1);
  EXPECT_TRUE(empty->IsNeutral("") && !empty->IsNeutral(" ") && !none->IsNeutral(0) && !none->IsNeutral(UINT32_MAX));
  EXPECT_TRUE(base.IsNeutral(0xFFFFFFFFu) && !base.IsNeutral(0) && ff.GetSpecialValue() == 0xFFFFFFFFu);
  EXPECT_TRUE(minus.IsNeutral(-1) && !minus.IsNeutral(1));

  // A neutral new value never counts as a change; otherwise any difference does: {new, old, neutral, changed}.
  using H = ChangedPropertyHelper;
  const uint32_t u32[][4] = {{0, 5, 0, 0}, {5, 5, 0, 0}, {6, 5, 0, 1}, {0, 5, UINT32_MAX, 1}};
  for (const auto& c : u32) EXPECT_EQ(H::ValueHasChanged(c[0], c[1], c[2]), c[3] == 1) << c[0] << " " << c[1];
  const int64_t i64[][4] = {{-1, 7, -1, 0}, {INT64_MIN, INT64_MIN, 0, 0}, {INT64_MAX, INT64_MIN, 0, 1}};
  for (const auto& c : i64) EXPECT_EQ(H::ValueHasChanged(c[0], c[1], c[2]), c[3] == 1) << c[0] << " " << c[1];
  // Other integer types of the caller, compared exactly.
  EXPECT_TRUE(H::ValueHasChanged(1ULL << 40, 0ULL, 0ULL) && !H::ValueHasChanged(7LL, 7LL, 0LL));
  EXPECT_FALSE(H::ValueHasChanged(9UL, 3UL, 9UL));
  EXPECT_TRUE(!H::ValueHasChanged(String(), String("old"), true) && H::ValueHasChanged(String(), String("old"), false));
  EXPECT_TRUE(!H::ValueHasChanged(String(), String(), false) && H::ValueHasChanged(String("abc"), String("ABC"), true));
  EXPECT_FALSE(H::ValueHasChanged(String("abc"), String("abc"), true));
}

}  // namespace
}  // namespace orvacmn
