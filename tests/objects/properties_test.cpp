// Property bags: names without case, typed values, both text forms.
#include "orvacmn/objects/properties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

#include "ofl/tokenizer.h"

#include "objects/bag_entries.h"

namespace orvacmn {
namespace {

using test_util::Entries;
using test_util::Pairs;

template <class Bag>
String Get(const Bag& bag, std::string_view name) {
  String v;
  bag.GetProperty(name, v);
  return v;
}

template <class T, class Bag>
T ReadAs(Bag& bag, const char* text) {
  bag.SetProperty("v", text);
  T out{};
  bag.GetProperty("v", out);
  return out;
}

template <class Bag>
class BagTest : public ::testing::Test {};
using BagTypes = ::testing::Types<OVOProperties, OVO::Properties>;
TYPED_TEST_SUITE(BagTest, BagTypes);

TYPED_TEST(BagTest, NamesIgnoreCaseKeepFirstSpellingAndDeleteIfEmpty) {
  TypeParam bag;
  bag.SetProperty("Key", "x");
  bag.SetProperty("KEY", "y");
  EXPECT_EQ(Entries(bag), (Pairs{{"Key", "y"}}));
  EXPECT_EQ(Get(bag, "kEy"), "y");
  EXPECT_TRUE(bag.DeleteProperty("KEY"));
  EXPECT_FALSE(bag.DeleteProperty("Key"));

  bag.SetProperty("A", String("1"));
  bag.SetProperty("a", String(), true);
  bag.SetProperty("B", String(), false);  // kept, empty
  bag.SetProperty("D", "d");
  bag.SetProperty("Missing", String(), true);
  EXPECT_EQ(bag.GetCount(), 2);
  String v = "unchanged";
  EXPECT_TRUE(bag.GetProperty("b", v, "fallback"));
  EXPECT_EQ(v, "");
  bag.DeleteEmptyProperties();
  EXPECT_EQ(Entries(bag), (Pairs{{"D", "d"}}));
  EXPECT_FALSE(bag.GetProperty("none", v, "fb"));
  EXPECT_EQ(v, "fb");
  int32_t i = 0;
  EXPECT_FALSE(bag.GetProperty("none", i, -7));
  EXPECT_EQ(i, -7);
}

TYPED_TEST(BagTest, BooleansAndTypedValues) {
  TypeParam bag;
  const std::pair<const char*, bool> cases[] = {
      {" true ", true}, {"TRUE", true}, {"1", true},    {"\t1\r\n", true},  {"yes", false},
      {"0", false},     {"", false},    {"11", false},  {"true1", false},   {"t rue", false}};
  for (const auto& [text, want] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ReadAs<bool>(bag, text), want);
  }
  bag.SetProperty("t", true);
  bag.SetProperty("f", false);
  bag.DeleteProperty("v");
  bag.SetProperty("literal", "text");  // not the bool overload
  bag.SetProperty("null", static_cast<const char*>(nullptr));
  bag.SetProperty("short", static_cast<short>(-9));
  bag.SetProperty("ushort", static_cast<unsigned short>(65535));
  bag.SetProperty("i32min", int32_t{INT32_MIN});
  bag.SetProperty("u32max", uint32_t{UINT32_MAX});
  bag.SetProperty("i64min", -9223372036854775807LL - 1);
  bag.SetProperty("u64max", 18446744073709551615ULL);
  bag.SetProperty("long", 99999999999L);  // beyond 32 bits: written in full
  Pairs got = Entries(bag);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (Pairs{{"f", "false"}, {"i32min", "-2147483648"}, {"i64min", "-9223372036854775808"},
                        {"literal", "text"}, {"long", "99999999999"}, {"null", ""}, {"short", "-9"}, {"t", "true"}, {"u32max", "4294967295"},
                        {"u64max", "18446744073709551615"}, {"ushort", "65535"}}));
  for (const double d : {0.0, -0.0, 0.1, 1.0 / 3, 100000.0, 1000000.0, 1e-5, 1.5e-4, -2.5e300, 999999.5}) {
    bag.SetProperty("d", d);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", d);
    EXPECT_EQ(Get(bag, "d"), buf) << d;
    EXPECT_NEAR(ReadAs<double>(bag, buf), d, std::abs(d) * 1e-5) << d;
  }
}

TYPED_TEST(BagTest, ReadingSaturatesAt32Bits) {
  TypeParam bag;
  EXPECT_EQ(ReadAs<int32_t>(bag, "2147483647"), INT32_MAX);
  EXPECT_EQ(ReadAs<int32_t>(bag, "2147483648"), INT32_MAX);
  EXPECT_EQ(ReadAs<int32_t>(bag, "99999999999999999999"), INT32_MAX);
  EXPECT_EQ(ReadAs<int32_t>(bag, "-2147483649"), INT32_MIN);
  EXPECT_EQ(ReadAs<int32_t>(bag, "  42abc"), 42);
  EXPECT_EQ(ReadAs<int32_t>(bag, "abc"), 0);
  EXPECT_EQ(ReadAs<long long>(bag, "-7"), -7);
  EXPECT_EQ(ReadAs<short>(bag, "-9"), -9);
  EXPECT_EQ(ReadAs<uint32_t>(bag, "4294967296"), UINT32_MAX);
  EXPECT_EQ(ReadAs<uint32_t>(bag, "-2"), UINT32_MAX - 1);
  // The platform's long is 32 bits: long reads as atol, unsigned long as AToUL.
  EXPECT_EQ(ReadAs<long>(bag, "99999999999"), INT32_MAX);
  EXPECT_EQ(ReadAs<long>(bag, "-99999999999"), INT32_MIN);
  EXPECT_EQ(ReadAs<unsigned long>(bag, "99999999999"), UINT32_MAX);
  EXPECT_EQ(ReadAs<unsigned long>(bag, "-1"), UINT32_MAX);
  EXPECT_EQ(ReadAs<long long>(bag, "-9223372036854775809"), INT64_MIN);
  EXPECT_EQ(ReadAs<long long>(bag, "9223372036854775808"), INT64_MAX);
  EXPECT_EQ(ReadAs<long long>(bag, "99999999999"), 99999999999LL);
  EXPECT_EQ(ReadAs<unsigned long long>(bag, "18446744073709551616"), UINT64_MAX);
}

TYPED_TEST(BagTest, TextForms) {
  TypeParam bag;
  EXPECT_EQ(bag.GetReadableForm(), "");
  EXPECT_EQ(bag.Pack(), "<Properties></Properties>");
  bag.SetProperty("A", "1");
  bag.SetProperty("B", "<&>");
  EXPECT_EQ(bag.GetReadableForm(), "A=1; B=<&>");
  EXPECT_EQ(bag.Pack(),
            "<Properties><PropertyEntry><Param>A</Param><Value>1</Value></PropertyEntry>"
            "<PropertyEntry><Param>B</Param><Value>&lt;&amp;&gt;</Value></PropertyEntry></Properties>");
  String out = "<Holder>";
  static_cast<const OVOXMLSupport&>(bag).AppendPack(out);
  EXPECT_EQ(out, "<Holder>" + bag.Pack());
}

// A subclass that changes the text through InternalPack alone is honoured.
template <class Bag>
class Stamped : public Bag {
 protected:
  String InternalPack() const override { return "<Stamp/>" + Bag::InternalPack(); }
};

TYPED_TEST(BagTest, SubclassInternalPackIsHonoured) {
  Stamped<TypeParam> bag;
  bag.SetProperty("A", "1");
  const String want = "<Properties><Stamp/><PropertyEntry><Param>A</Param><Value>1</Value></PropertyEntry></Properties>";
  EXPECT_EQ(bag.Pack(), want);
  String out = "x";
  static_cast<const OVOXMLSupport&>(bag).AppendPack(out);
  EXPECT_EQ(out, "x" + want);
}

TYPED_TEST(BagTest, UnpackIsTolerant) {
  TypeParam bag;
  ASSERT_EQ(bag.Unpack("<Properties>"
                       "<propertyentry><PARAM>a</PARAM><value>1</value></propertyentry>"
                       "<Unknown><Param>u</Param><Value>u</Value></Unknown>"
                       "<PropertyEntry><Value>v</Value><Param>first</Param><Param>b</Param><Value>2</Value></PropertyEntry>"
                       "<PropertyEntry><Param>novalue</Param></PropertyEntry>"
                       "<PropertyEntry><Value>noname</Value></PropertyEntry>"
                       "<PropertyEntry><Param>A</Param><Value>3</Value><Extra/></PropertyEntry>"
                       "</Properties>"),
            1);
  // A later entry of a name wins but keeps the first spelling; the last Param and Value count.
  Pairs got = Entries(bag);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (Pairs{{"", "noname"}, {"a", "3"}, {"b", "2"}, {"novalue", ""}}));
  // Unpack(parser) matches the root without case and adds to the bag.
  OFLXMLParser p;
  ASSERT_TRUE(p.SetDoc("<Holder><properties><PropertyEntry><Param>B</Param><Value>new</Value>"
                       "</PropertyEntry></properties></Holder>"));
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_EQ(bag.Unpack(p), 1);
  EXPECT_EQ(bag.GetCount(), 4);
  EXPECT_EQ(Get(bag, "b"), "new");
}

TYPED_TEST(BagTest, HostileRoundTrip) {
  TypeParam a;
  const char* hostile[] = {"<x>&amp;</x>", "cr\rlf\ncrlf\r\n", "  both  ", "   ", "\t", "", "]]>",
                           "\"quoted\" 'single'", "\xC3\xBC\xE2\x82\xAC", "&#13;", "a=b; c=d"};
  for (size_t i = 0; i < std::size(hostile); ++i) a.SetProperty(hostile[i] + ("#" + std::to_string(i)), hostile[i]);
  TypeParam b(a.Pack());
  EXPECT_EQ(Entries(b), Entries(a));
  EXPECT_EQ(b.Pack(), a.Pack());
}

TYPED_TEST(BagTest, AddPropertiesFromTokenizer) {
  TypeParam bag;
  OFLTokenizer tok;
  for (const char* s : {"skipped=0", "a=1", "b=", "c", "d=x=y", "=e", "f==g", "A=2"}) tok.AddString(s);
  bag.AddPropertiesFromTokenizer(&tok, 1);
  bag.AddPropertiesFromTokenizer(nullptr, 0);
  bag.AddPropertiesFromTokenizer(&tok, 100);
  // Empty pieces are dropped: "=e" names e, "f==g" sets g; extra pieces are ignored.
  Pairs got = Entries(bag);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (Pairs{{"a", "2"}, {"b", ""}, {"c", ""}, {"d", "x"}, {"e", ""}, {"f", "g"}}));
}

TYPED_TEST(BagTest, ManyEntriesAgreeWithAModel) {
  std::mt19937 rng(7);
  TypeParam bag;
  std::map<String, String, OFL::LessNoCase> model;
  for (int step = 0; step < 20000; ++step) {
    String name = "k" + std::to_string(rng() % 3000);
    if (rng() % 2) OFL::MakeUpper(name);
    if (rng() % 3 == 0) {
      EXPECT_EQ(bag.DeleteProperty(name), model.erase(name) == 1);
    } else {
      const auto it = model.find(name);
      bag.SetProperty(name, std::to_string(step));
      model.insert_or_assign(it != model.end() ? it->first : name, std::to_string(step));
    }
  }
  const TypeParam copy(bag.Pack());
  Pairs got = Entries(copy), want(model.begin(), model.end());
  std::sort(got.begin(), got.end());
  std::sort(want.begin(), want.end());
  EXPECT_EQ(got, want);
}

TEST(OVOPropertiesTest, InsertionOrderAndSlotReuse) {
  OVOProperties bag;
  EXPECT_EQ(bag.GetSchema(), 0x50001u);
  bag.SetProperty("zeta", "1");
  bag.SetProperty("Alpha", "2");
  bag.SetProperty("mid", "3");
  bag.DeleteProperty("alpha");
  bag.SetProperty("ALPHA", "5");
  EXPECT_EQ(Entries(bag), (Pairs{{"zeta", "1"}, {"mid", "3"}, {"ALPHA", "5"}}));
  bag.DeletePropertyList();
  EXPECT_TRUE(bag.IsEmpty());

  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 100; ++i) bag.SetProperty("k" + std::to_string(i), std::to_string(i + round));
    for (int i = 0; i < 100; i += 2) EXPECT_TRUE(bag.DeleteProperty("K" + std::to_string(i)));
    EXPECT_EQ(bag.GetCount(), 50);
    for (int i = 1; i < 100; i += 2) EXPECT_EQ(Get(bag, "k" + std::to_string(i)), std::to_string(i + round));
    for (int i = 1; i < 100; i += 2) bag.SetProperty("k" + std::to_string(i), String(), true);
    EXPECT_TRUE(bag.IsEmpty());
  }
}

TEST(OVOPropertiesTest, UnpackReportsOneAndOnlyEmptyTextKeepsTheBag) {
  OVOProperties bag;
  bag.SetProperty("a", "1");
  EXPECT_EQ(bag.Unpack(String()), 1);
  EXPECT_EQ(Entries(bag), (Pairs{{"a", "1"}}));
  for (const char* text : {"garbage", "<Other><PropertyEntry><Param>x</Param></PropertyEntry></Other>", " ",
                           "<properties/>", "5:abc"}) {
    bag.SetProperty("a", "1");
    EXPECT_EQ(bag.Unpack(text), 1) << text;
    EXPECT_FALSE(bag.HasProperty("a")) << text;
  }
}

String LengthPacked(const std::vector<std::vector<String>>& pairs) {
  OFLTokenizer outer;
  for (const auto& p : pairs) {
    OFLTokenizer inner;
    for (const String& s : p) inner.AddString(s);
    outer.AddString(inner.AsLengthPackedString());
  }
  return outer.AsLengthPackedString();
}

TEST(OVOPropertiesTest, LegacyLengthPackedForm) {
  OVOProperties bag;
  bag.SetProperty("old", "x");
  EXPECT_EQ(bag.Unpack(LengthPacked({{"Name", "value"}, {"Sep;arators", "a=b; c:3:d"}, {"<xml>", "<Properties/>"},
                                     {"empty", ""}, {"onlyname"}, {"NAME", "later"}, {"extra", "v", "ignored"}})),
            1);
  EXPECT_EQ(Entries(bag), (Pairs{{"Name", "later"}, {"Sep;arators", "a=b; c:3:d"}, {"<xml>", "<Properties/>"},
                                 {"empty", ""}, {"onlyname", ""}, {"extra", "v"}}));
  EXPECT_EQ(Entries(OVOProperties(bag.Pack())), Entries(bag));

  // A value that is itself a packed bag does not make the text XML.
  const String nested = OVOProperties(LengthPacked({{"inner", "1"}})).Pack();
  EXPECT_EQ(Entries(OVOProperties(LengthPacked({{"Name", "PC1"}, {"Nested", nested}, {"Other", "2"}}))),
            (Pairs{{"Name", "PC1"}, {"Nested", nested}, {"Other", "2"}}));

  OFLTokenizer notAPair;
  notAPair.AddString("not packed");
  EXPECT_EQ(Entries(OVOProperties(notAPair.AsLengthPackedString())), (Pairs{{"", ""}}));
}

TEST(OVOPropertiesTest, CopiesAreDeepAndMovesKeepEntries) {
  OVOProperties a;
  a.SetProperty("x", "1");
  OVOProperties b(a);
  b.SetProperty("X", "changed");
  EXPECT_EQ(Get(a, "x"), "1");
  a = b;
  a = static_cast<const OVOProperties&>(a);
  OVOProperties c(std::move(a));
  c.SetProperty("gone", "1");
  b = std::move(c);
  EXPECT_EQ(Entries(b), (Pairs{{"x", "changed"}, {"gone", "1"}}));
  EXPECT_TRUE(c.IsEmpty());  // NOLINT(bugprone-use-after-move)
  c.SetProperty("again", "1");
  EXPECT_EQ(Entries(c), (Pairs{{"again", "1"}}));
}

TEST(OVOPropertiesMapTest, OrdersByNameAndFollowsTheBaseUnpack) {
  OVO::Properties bag("<Properties>"
                      "<PropertyEntry><Param>c</Param><Value>1</Value></PropertyEntry>"
                      "<PropertyEntry><Param>A</Param><Value>2</Value></PropertyEntry>"
                      "<PropertyEntry><Param>_u</Param><Value>3</Value></PropertyEntry>"
                      "<PropertyEntry><Param>C</Param><Value>4</Value></PropertyEntry>"
                      "<PropertyEntry><Param>a</Param><Value>6</Value></PropertyEntry>"
                      "</Properties>");
  EXPECT_EQ(bag.GetSchema(), 0x50002u);
  EXPECT_EQ(Entries(bag), (Pairs{{"_u", "3"}, {"A", "6"}, {"c", "4"}}));
  for (const String& text : {String(), String("<Other/>"), LengthPacked({{"n", "v"}}), String("abc<Properties/>"),
                            String("<Properties/><Properties/>"), String("<Properties>&x;</Properties>")}) {
    bag.SetProperty("a", "1");
    EXPECT_EQ(bag.Unpack(text), 0) << text;
    EXPECT_TRUE(bag.IsEmpty()) << text;
  }
}

}  // namespace
}  // namespace orvacmn
