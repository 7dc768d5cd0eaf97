// Property bags: names without case, typed values, both text forms.
#include "orvacmn/objects/properties.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

#include "ofl/tokenizer.h"

namespace orvacmn {
namespace {

template <class Bag>
std::vector<std::pair<String, String>> Entries(const Bag& bag) {
  std::vector<std::pair<String, String>> out;
  for (const auto& [name, value] : bag) out.emplace_back(name, value);
  return out;
}

using Pairs = std::vector<std::pair<String, String>>;

// Tests that hold for both bags.
template <class Bag>
class BagTest : public ::testing::Test {};
using BagTypes = ::testing::Types<OVOProperties, OVO::Properties>;
TYPED_TEST_SUITE(BagTest, BagTypes);

TYPED_TEST(BagTest, NamesIgnoreCaseAndKeepFirstSpelling) {
  TypeParam bag;
  bag.SetProperty("Key", "x");
  bag.SetProperty("KEY", "y");
  EXPECT_EQ(bag.GetCount(), 1);
  EXPECT_EQ(Entries(bag), (Pairs{{"Key", "y"}}));
  String v;
  EXPECT_TRUE(bag.GetProperty("kEy", v));
  EXPECT_EQ(v, "y");
  EXPECT_TRUE(bag.HasProperty("key"));
  EXPECT_TRUE(bag.DeleteProperty("KEY"));
  EXPECT_FALSE(bag.DeleteProperty("Key"));
  EXPECT_TRUE(bag.IsEmpty());
}

TYPED_TEST(BagTest, DeleteIfEmptyAndDeleteEmptyProperties) {
  TypeParam bag;
  bag.SetProperty("A", String("1"));
  bag.SetProperty("B", String("2"));
  bag.SetProperty("A", String(), true);
  EXPECT_FALSE(bag.HasProperty("A"));
  bag.SetProperty("B", String(), false);
  bag.SetProperty("C", String());
  bag.SetProperty("D", "d");
  EXPECT_EQ(bag.GetCount(), 3);
  String v = "unchanged";
  EXPECT_TRUE(bag.GetProperty("B", v, "fallback"));
  EXPECT_EQ(v, "");
  bag.DeleteEmptyProperties();
  EXPECT_EQ(Entries(bag), (Pairs{{"D", "d"}}));
  bag.SetProperty("Missing", String(), true);  // deleting an absent entry is fine
  EXPECT_EQ(bag.GetCount(), 1);
}

TYPED_TEST(BagTest, MissingEntriesGiveTheFallback) {
  const TypeParam bag;
  String s = "x";
  EXPECT_FALSE(bag.GetProperty("none", s, "fb"));
  EXPECT_EQ(s, "fb");
  EXPECT_FALSE(bag.GetProperty("none", s));
  EXPECT_EQ(s, "");
  bool b = false;
  EXPECT_FALSE(bag.GetProperty("none", b, true));
  EXPECT_TRUE(b);
  int32_t i = 0;
  EXPECT_FALSE(bag.GetProperty("none", i, -7));
  EXPECT_EQ(i, -7);
  double d = 0;
  EXPECT_FALSE(bag.GetProperty("none", d, 2.5));
  EXPECT_EQ(d, 2.5);
  uint64_t u = 0;
  EXPECT_FALSE(bag.GetProperty("none", u, 9u));
  EXPECT_EQ(u, 9u);
}

TYPED_TEST(BagTest, BooleanReading) {
  TypeParam bag;
  const std::vector<std::pair<String, bool>> cases = {
      {" true ", true}, {"TRUE", true}, {"True", true}, {"1", true},  {"\t1\r\n", true}, {"yes", false},
      {"0", false},     {"", false},    {"false", false}, {"11", false}, {"true1", false}, {"t rue", false}};
  for (const auto& [text, want] : cases) {
    bag.SetProperty("b", text);
    bool out = !want;
    EXPECT_TRUE(bag.GetProperty("b", out, !want)) << text;
    EXPECT_EQ(out, want) << "[" << text << "]";
  }
  bag.SetProperty("t", true);
  bag.SetProperty("f", false);
  String s;
  bag.GetProperty("t", s);
  EXPECT_EQ(s, "true");
  bag.GetProperty("f", s);
  EXPECT_EQ(s, "false");
}

TYPED_TEST(BagTest, OverloadsPickTheIntendedForm) {
  TypeParam bag;
  const char* cp = "ptr";
  bag.SetProperty("literal", "text");           // not bool
  bag.SetProperty("pointer", cp);               // not bool
  bag.SetProperty("null", static_cast<const char*>(nullptr));
  bag.SetProperty("string", String("s"));
  bag.SetProperty("int", -5);
  bag.SetProperty("unsigned", 5u);
  bag.SetProperty("long", 6L);
  bag.SetProperty("longlong", -7LL);
  bag.SetProperty("ulonglong", 8ULL);
  bag.SetProperty("short", static_cast<short>(-9));
  bag.SetProperty("ushort", static_cast<unsigned short>(65535));
  bag.SetProperty("float", 0.5f);
  const Pairs want = {{"literal", "text"}, {"pointer", "ptr"}, {"null", ""},       {"string", "s"},
                      {"int", "-5"},       {"unsigned", "5"},  {"long", "6"},      {"longlong", "-7"},
                      {"ulonglong", "8"},  {"short", "-9"},    {"ushort", "65535"}, {"float", "0.5"}};
  for (const auto& [name, value] : want) {
    String got;
    EXPECT_TRUE(bag.GetProperty(name, got)) << name;
    EXPECT_EQ(got, value) << name;
  }
  long long ll = 0;
  EXPECT_TRUE(bag.GetProperty("longlong", ll, 0));
  EXPECT_EQ(ll, -7);
  short sh = 0;
  EXPECT_TRUE(bag.GetProperty("short", sh, 0));
  EXPECT_EQ(sh, -9);
}

TYPED_TEST(BagTest, NumericBoundariesFormat) {
  TypeParam bag;
  bag.SetProperty("i32min", int32_t{INT32_MIN});
  bag.SetProperty("i32max", int32_t{INT32_MAX});
  bag.SetProperty("u32max", uint32_t{UINT32_MAX});
  bag.SetProperty("i64min", int64_t{INT64_MIN});
  bag.SetProperty("u64max", uint64_t{UINT64_MAX});
  bag.SetProperty("zero", 0);
  const Pairs want = {{"i32min", "-2147483648"},          {"i32max", "2147483647"},
                      {"u32max", "4294967295"},           {"i64min", "-9223372036854775808"},
                      {"u64max", "18446744073709551615"}, {"zero", "0"}};
  for (const auto& [name, value] : want) {
    String got;
    bag.GetProperty(name, got);
    EXPECT_EQ(got, value) << name;
  }
}

TYPED_TEST(BagTest, DoublesFormatLikePercentG) {
  TypeParam bag;
  for (const double d : {0.0, -0.0, 0.1, 1.0 / 3, 100000.0, 1000000.0, 123456789.0, 1e-5, 1.5e-4, -2.5e300,
                         1e100, 0.000123456789, 999999.5}) {
    bag.SetProperty("d", d);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", d);
    String got;
    bag.GetProperty("d", got);
    EXPECT_EQ(got, buf) << d;
    double back = 0;
    bag.GetProperty("d", back);
    EXPECT_NEAR(back, d, std::abs(d) * 1e-5) << d;
  }
}

TYPED_TEST(BagTest, ReadingSaturatesAt32Bits) {
  TypeParam bag;
  auto read_i32 = [&](const char* text) {
    bag.SetProperty("v", text);
    int32_t out = 0;
    bag.GetProperty("v", out);
    return out;
  };
  auto read_u32 = [&](const char* text) {
    bag.SetProperty("v", text);
    uint32_t out = 0;
    bag.GetProperty("v", out);
    return out;
  };
  auto read_i64 = [&](const char* text) {
    bag.SetProperty("v", text);
    int64_t out = 0;
    bag.GetProperty("v", out);
    return out;
  };
  auto read_u64 = [&](const char* text) {
    bag.SetProperty("v", text);
    uint64_t out = 0;
    bag.GetProperty("v", out);
    return out;
  };
  EXPECT_EQ(read_i32("2147483647"), INT32_MAX);
  EXPECT_EQ(read_i32("2147483648"), INT32_MAX);
  EXPECT_EQ(read_i32("99999999999999999999"), INT32_MAX);
  EXPECT_EQ(read_i32("-2147483648"), INT32_MIN);
  EXPECT_EQ(read_i32("-2147483649"), INT32_MIN);
  EXPECT_EQ(read_i32("  42abc"), 42);
  EXPECT_EQ(read_i32("abc"), 0);
  EXPECT_EQ(read_u32("4294967295"), UINT32_MAX);
  EXPECT_EQ(read_u32("4294967296"), UINT32_MAX);
  EXPECT_EQ(read_u32("-1"), UINT32_MAX);
  EXPECT_EQ(read_u32("-2"), UINT32_MAX - 1);
  EXPECT_EQ(read_i64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(read_i64("-9223372036854775809"), INT64_MIN);
  EXPECT_EQ(read_i64("9223372036854775808"), INT64_MAX);
  EXPECT_EQ(read_u64("18446744073709551615"), UINT64_MAX);
  EXPECT_EQ(read_u64("18446744073709551616"), UINT64_MAX);
}

TYPED_TEST(BagTest, ReadableForm) {
  TypeParam bag;
  EXPECT_EQ(bag.GetReadableForm(), "");
  bag.SetProperty("A", "1");
  EXPECT_EQ(bag.GetReadableForm(), "A=1");
  bag.SetProperty("B", "2");
  EXPECT_EQ(bag.GetReadableForm(), "A=1; B=2");
}

TYPED_TEST(BagTest, PackedForm) {
  TypeParam bag;
  EXPECT_EQ(bag.Pack(), "<Properties></Properties>");
  bag.SetProperty("A", "1");
  bag.SetProperty("B", "<&>");
  EXPECT_EQ(bag.Pack(),
            "<Properties><PropertyEntry><Param>A</Param><Value>1</Value></PropertyEntry>"
            "<PropertyEntry><Param>B</Param><Value>&lt;&amp;&gt;</Value></PropertyEntry></Properties>");
}

TYPED_TEST(BagTest, AppendPackAppendsExactlyPack) {
  TypeParam bag;
  bag.SetProperty("n", "<v>");
  String out = "<Holder>";
  bag.AppendPack(out);
  EXPECT_EQ(out, "<Holder>" + bag.Pack());
  const OVOXMLSupport& base = bag;
  EXPECT_EQ(base.Pack(), bag.Pack());
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
  String v;
  EXPECT_EQ(bag.GetCount(), 4);
  EXPECT_TRUE(bag.GetProperty("a", v));
  EXPECT_EQ(v, "3");  // the later entry of a name wins
  EXPECT_TRUE(bag.GetProperty("b", v));
  EXPECT_EQ(v, "2");  // the last Param and the last Value
  EXPECT_TRUE(bag.GetProperty("novalue", v));
  EXPECT_EQ(v, "");
  EXPECT_TRUE(bag.GetProperty("", v));
  EXPECT_EQ(v, "noname");
  EXPECT_FALSE(bag.HasProperty("u"));
  EXPECT_FALSE(bag.HasProperty("first"));
  for (const auto& [name, value] : bag) {
    if (OFL::EqualsNoCase(name, "a")) {
      EXPECT_EQ(name, "a");  // first spelling
    }
  }
}

TYPED_TEST(BagTest, HostileRoundTrip) {
  TypeParam a;
  const std::vector<String> hostile = {"<x>&amp;</x>", "cr\rlf\ncrlf\r\n", "  both  ", "   ", "\t", "", "]]>",
                                       "\"quoted\" 'single'", "\xC3\xBC\xE2\x82\xAC", "&#13;", "a=b; c=d"};
  for (size_t i = 0; i < hostile.size(); ++i) {
    a.SetProperty(hostile[i] + "#" + std::to_string(i), hostile[i]);
  }
  TypeParam b(a.Pack());
  EXPECT_EQ(Entries(b), Entries(a));
  EXPECT_EQ(b.Pack(), a.Pack());
}

TYPED_TEST(BagTest, ParserUnpackAddsWithoutClearing) {
  TypeParam bag;
  bag.SetProperty("kept", "1");
  OFLXMLParser p;
  ASSERT_TRUE(p.SetDoc("<Holder><properties><PropertyEntry><Param>new</Param><Value>2</Value>"
                       "</PropertyEntry></properties></Holder>"));
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_EQ(bag.Unpack(p), 1);
  EXPECT_EQ(bag.GetCount(), 2);
  EXPECT_TRUE(bag.HasProperty("kept"));
  EXPECT_TRUE(bag.HasProperty("new"));
}

TYPED_TEST(BagTest, AddPropertiesFromTokenizer) {
  TypeParam bag;
  OFLTokenizer tok;
  for (const char* s : {"skipped=0", "a=1", "b=", "c", "d=x=y", "=e", "f==g", "A=2"}) tok.AddString(s);
  bag.AddPropertiesFromTokenizer(&tok, 1);
  bag.AddPropertiesFromTokenizer(nullptr, 0);
  bag.AddPropertiesFromTokenizer(&tok, 100);
  String v;
  EXPECT_FALSE(bag.HasProperty("skipped"));
  bag.GetProperty("a", v);
  EXPECT_EQ(v, "2");
  EXPECT_TRUE(bag.GetProperty("b", v));
  EXPECT_EQ(v, "");
  EXPECT_TRUE(bag.GetProperty("c", v));
  EXPECT_EQ(v, "");
  bag.GetProperty("d", v);
  EXPECT_EQ(v, "x");  // the second piece only
  EXPECT_TRUE(bag.GetProperty("e", v));  // empty pieces are dropped
  EXPECT_EQ(v, "");
  bag.GetProperty("f", v);
  EXPECT_EQ(v, "g");
}

TYPED_TEST(BagTest, ManyEntriesAgreeWithAModel) {
  std::mt19937 rng(7);
  TypeParam bag;
  std::map<String, String, OFL::LessNoCase> model;
  for (int step = 0; step < 20000; ++step) {
    String name = "k" + std::to_string(rng() % 3000);
    if (rng() % 2) OFL::MakeUpper(name);
    const String value = std::to_string(rng() % 5);
    switch (rng() % 4) {
      case 0:
      case 1:
        bag.SetProperty(name, value);
        model.insert_or_assign(model.find(name) != model.end() ? model.find(name)->first : name, value);
        break;
      case 2:
        EXPECT_EQ(bag.DeleteProperty(name), model.erase(name) == 1);
        break;
      case 3: {
        String got;
        const auto it = model.find(name);
        EXPECT_EQ(bag.GetProperty(name, got), it != model.end());
        if (it != model.end()) {
          EXPECT_EQ(got, it->second);
        }
        break;
      }
    }
  }
  EXPECT_EQ(bag.GetCount(), static_cast<int>(model.size()));
  TypeParam copy(bag.Pack());
  EXPECT_EQ(copy.GetCount(), static_cast<int>(model.size()));
  for (const auto& [name, value] : model) {
    String got;
    EXPECT_TRUE(copy.GetProperty(name, got));
    EXPECT_EQ(got, value);
  }
}

// OVOProperties only.

TEST(OVOPropertiesTest, NameSchemaAndInsertionOrder) {
  OVOProperties bag;
  EXPECT_EQ(bag.GetObjectName(), "Properties");
  EXPECT_EQ(bag.GetSchema(), 0x50001u);
  bag.SetProperty("zeta", "1");
  bag.SetProperty("Alpha", "2");
  bag.SetProperty("mid", "3");
  bag.SetProperty("ZETA", "4");
  EXPECT_EQ(Entries(bag), (Pairs{{"zeta", "4"}, {"Alpha", "2"}, {"mid", "3"}}));
  bag.DeleteProperty("alpha");
  bag.SetProperty("alpha", "5");
  EXPECT_EQ(Entries(bag), (Pairs{{"zeta", "4"}, {"mid", "3"}, {"alpha", "5"}}));
  EXPECT_EQ(bag.GetPropertyList().GetCount(), 3);
}

TEST(OVOPropertiesTest, EmptyTextLeavesTheBagAndReportsOne) {
  OVOProperties bag;
  bag.SetProperty("a", "1");
  EXPECT_EQ(bag.Unpack(String()), 1);
  EXPECT_EQ(Entries(bag), (Pairs{{"a", "1"}}));
}

TEST(OVOPropertiesTest, AnyOtherTextClearsAndReportsOne) {
  for (const String text : {"garbage", "<Other><PropertyEntry><Param>x</Param></PropertyEntry></Other>", " ",
                            "<properties/>", "5:abc"}) {
    OVOProperties bag;
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
  const String text = LengthPacked({{"Name", "value"},
                                    {"Sep;arators", "a=b; c:3:d"},
                                    {"<xml>", "<Properties/>"},
                                    {"empty", ""},
                                    {"onlyname"},
                                    {"NAME", "later"},
                                    {"extra", "v", "ignored"}});
  OVOProperties bag;
  bag.SetProperty("old", "x");
  EXPECT_EQ(bag.Unpack(text), 1);
  EXPECT_EQ(Entries(bag), (Pairs{{"Name", "later"},
                                 {"Sep;arators", "a=b; c:3:d"},
                                 {"<xml>", "<Properties/>"},
                                 {"empty", ""},
                                 {"onlyname", ""},
                                 {"extra", "v"}}));
  // The same entries through the XML form.
  OVOProperties again(bag.Pack());
  EXPECT_EQ(Entries(again), Entries(bag));
}

TEST(OVOPropertiesTest, LegacyEntryThatIsNotAPairSetsEmptyName) {
  OFLTokenizer outer;
  outer.AddString("not packed");
  OVOProperties bag(outer.AsLengthPackedString());
  EXPECT_EQ(Entries(bag), (Pairs{{"", ""}}));
}

TEST(OVOPropertiesTest, CopiesAreDeepAndMovesKeepEntries) {
  OVOProperties a;
  a.SetProperty("x", "1");
  a.SetProperty("y", "2");
  OVOProperties b(a);
  b.SetProperty("x", "changed");
  b.SetProperty("z", "3");
  String v;
  a.GetProperty("x", v);
  EXPECT_EQ(v, "1");
  EXPECT_FALSE(a.HasProperty("z"));
  a = b;
  EXPECT_EQ(Entries(a), Entries(b));
  const OVOProperties& alias = a;
  a = alias;
  EXPECT_EQ(Entries(a), Entries(b));
  OVOProperties c(std::move(a));
  EXPECT_EQ(Entries(c), Entries(b));
  EXPECT_TRUE(c.HasProperty("Z"));
  OVOProperties d;
  d.SetProperty("gone", "1");
  d = std::move(c);
  EXPECT_EQ(Entries(d), Entries(b));
  EXPECT_FALSE(d.HasProperty("gone"));
  d.SetProperty("w", "4");
  EXPECT_EQ(d.GetCount(), 4);
  // Moved-from bags are empty and usable.
  EXPECT_TRUE(c.IsEmpty());  // NOLINT(bugprone-use-after-move)
  c.SetProperty("again", "1");
  EXPECT_EQ(Entries(c), (Pairs{{"again", "1"}}));
}

TEST(OVOPropertiesTest, DeletedEntriesAreReusedWithoutMixingUp) {
  OVOProperties bag;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 100; ++i) bag.SetProperty("k" + std::to_string(i), std::to_string(i + round));
    for (int i = 0; i < 100; i += 2) EXPECT_TRUE(bag.DeleteProperty("K" + std::to_string(i)));
    EXPECT_EQ(bag.GetCount(), 50);
    for (int i = 1; i < 100; i += 2) {
      String v;
      EXPECT_TRUE(bag.GetProperty("k" + std::to_string(i), v));
      EXPECT_EQ(v, std::to_string(i + round));
    }
    bag.DeleteEmptyProperties();
    for (int i = 1; i < 100; i += 2) bag.SetProperty("k" + std::to_string(i), String(), true);
    EXPECT_TRUE(bag.IsEmpty());
  }
}

TEST(OVOPropertiesTest, DeletePropertyList) {
  OVOProperties bag;
  bag.SetProperty("a", "1");
  bag.SetProperty("b", "2");
  bag.DeletePropertyList();
  EXPECT_TRUE(bag.IsEmpty());
  EXPECT_FALSE(bag.HasProperty("a"));
  bag.SetProperty("A", "3");
  EXPECT_EQ(Entries(bag), (Pairs{{"A", "3"}}));
}

// OVO::Properties only.

TEST(OVOPropertiesMapTest, NameSchemaAndOrderWithoutCase) {
  OVO::Properties bag;
  EXPECT_EQ(bag.GetObjectName(), "Properties");
  EXPECT_EQ(bag.GetSchema(), 0x50002u);
  bag.SetProperty("beta", "1");
  bag.SetProperty("Alpha", "2");
  bag.SetProperty("gamma", "3");
  bag.SetProperty("ALPHA", "4");
  bag.SetProperty("_u", "5");
  EXPECT_EQ(Entries(bag), (Pairs{{"_u", "5"}, {"Alpha", "4"}, {"beta", "1"}, {"gamma", "3"}}));
}

TEST(OVOPropertiesMapTest, FollowsTheBaseUnpack) {
  OVO::Properties bag;
  bag.SetProperty("a", "1");
  EXPECT_EQ(bag.Unpack(String()), 0);
  EXPECT_TRUE(bag.IsEmpty());
  bag.SetProperty("a", "1");
  EXPECT_EQ(bag.Unpack("<Other/>"), 0);
  EXPECT_TRUE(bag.IsEmpty());
  bag.SetProperty("a", "1");
  EXPECT_EQ(bag.Unpack(LengthPacked({{"n", "v"}})), 0);
  EXPECT_TRUE(bag.IsEmpty());
}

TEST(OVOPropertiesMapTest, UnsortedAndDuplicateInputStillOrders) {
  OVO::Properties bag("<Properties>"
                      "<PropertyEntry><Param>c</Param><Value>1</Value></PropertyEntry>"
                      "<PropertyEntry><Param>A</Param><Value>2</Value></PropertyEntry>"
                      "<PropertyEntry><Param>b</Param><Value>3</Value></PropertyEntry>"
                      "<PropertyEntry><Param>C</Param><Value>4</Value></PropertyEntry>"
                      "<PropertyEntry><Param>d</Param><Value>5</Value></PropertyEntry>"
                      "<PropertyEntry><Param>a</Param><Value>6</Value></PropertyEntry>"
                      "</Properties>");
  EXPECT_EQ(Entries(bag), (Pairs{{"A", "6"}, {"b", "3"}, {"c", "4"}, {"d", "5"}}));
}

TEST(PropertyBagsTest, BothAcceptOneTextAndDifferOnlyInSchema) {
  const String text = "<Properties><PropertyEntry><Param>k</Param><Value>v</Value></PropertyEntry></Properties>";
  OVOProperties a;
  OVO::Properties b;
  EXPECT_EQ(a.Unpack(text), 1);
  EXPECT_EQ(b.Unpack(text), 1);
  EXPECT_EQ(a.Pack(), text);
  EXPECT_EQ(b.Pack(), text);
  EXPECT_NE(a.GetSchema(), b.GetSchema());
}

}  // namespace
}  // namespace orvacmn
