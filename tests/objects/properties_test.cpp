// Property bags: names without case, typed values, both text forms, large bags written and read in bulk.
#include "orvacmn/objects/properties.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <type_traits>
#include <vector>

#include "ofl/tokenizer.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

using Pairs = std::vector<std::pair<String, String>>;

// The entries of a bag in iteration order, for comparing whole bags.
template <class Bag>
Pairs Entries(const Bag& bag) {
  Pairs out;
  for (const auto& [name, value] : bag) out.emplace_back(name, value);
  return out;
}

// Each text set as property "v" and read as a T.
template <class T, class Bag>
void ExpectReads(Bag& bag, std::initializer_list<std::pair<const char*, T>> cases) {
  for (const auto& [text, want] : cases) {
    bag.SetProperty("v", text);
    T out{};
    EXPECT_TRUE(bag.GetProperty("v", out)) << text;
    EXPECT_EQ(out, want) << text;
  }
}

// The entries a bag should hold by a plain reading of the rules: names ignore case and keep their first spelling;
// OVOProperties iterates in the order of first setting, OVO::Properties by name.
struct Model {
  std::map<String, std::pair<int, String>, OFL::LessNoCase> entries;  // number of the first setting, value
  int sets = 0;

  void Set(const String& n, const String& v) { entries.try_emplace(n, sets++, "").first->second.second = v; }
  template <class Bag>
  Pairs Want() const {
    std::map<int, std::pair<String, String>> ordered;
    int byName = 0;
    for (const auto& [name, e] : entries)
      ordered.emplace(std::is_same_v<Bag, OVOProperties> ? e.first : byName++, std::pair(name, e.second));
    Pairs out;
    for (const auto& [n, entry] : ordered) out.push_back(entry);
    return out;
  }
};

template <class Bag>
class BagTest : public ::testing::Test {};
using BagTypes = ::testing::Types<OVOProperties, OVO::Properties>;
TYPED_TEST_SUITE(BagTest, BagTypes);

TYPED_TEST(BagTest, NamesIgnoreCaseKeepFirstSpellingDeleteIfEmptyTextForms) {
  TypeParam bag;
  EXPECT_TRUE(bag.GetReadableForm().empty() && bag.Pack() == "<Properties></Properties>");
  bag.SetProperty("Key", "x");
  bag.SetProperty("KEY", "y");
  EXPECT_EQ(Entries(bag), (Pairs{{"Key", "y"}}));
  String v;
  EXPECT_TRUE(bag.GetProperty("kEy", v) && v == "y");
  EXPECT_TRUE(bag.DeleteProperty("KEY") && !bag.DeleteProperty("Key"));

  bag.SetProperty("A", String("1"));
  bag.SetProperty("a", String(), true);
  bag.SetProperty("B", String(), false);  // kept, empty
  bag.SetProperty("D", "d");
  bag.SetProperty("Missing", String(), true);
  EXPECT_TRUE(bag.GetCount() == 2 && bag.GetProperty("b", v, "fallback") && v.empty());
  bag.DeleteEmptyProperties();
  EXPECT_EQ(Entries(bag), (Pairs{{"D", "d"}}));
  int32_t i = 0;
  EXPECT_TRUE(!bag.GetProperty("none", v, "fb") && v == "fb" && !bag.GetProperty("none", i, -7) && i == -7);
  bag.SetProperty("E", "<&>");
  EXPECT_EQ(bag.GetReadableForm(), "D=d; E=<&>");
  EXPECT_EQ(bag.Pack(),
            "<Properties><PropertyEntry><Param>D</Param><Value>d</Value></PropertyEntry>"
            "<PropertyEntry><Param>E</Param><Value>&lt;&amp;&gt;</Value></PropertyEntry></Properties>");

  // From a tokenizer, empty pieces dropped: "=e" names e, "f==g" sets g; extra pieces are ignored.
  TypeParam tokens;
  OFLTokenizer tok;
  for (const char* s : {"skipped=0", "a=1", "b=", "c", "d=x=y", "=e", "f==g", "A=2"}) tok.AddString(s);
  tokens.AddPropertiesFromTokenizer(&tok, 1);
  tokens.AddPropertiesFromTokenizer(nullptr, 0);
  tokens.AddPropertiesFromTokenizer(&tok, 100);
  EXPECT_EQ(Entries(tokens), (Pairs{{"a", "2"}, {"b", ""}, {"c", ""}, {"d", "x"}, {"e", ""}, {"f", "g"}}));
}

TYPED_TEST(BagTest, BooleansAndTypedValues) {
  TypeParam bag;
  ExpectReads<bool>(bag, {{" true ", true}, {"TRUE", true}, {"1", true}, {"\t1\r\n", true}, {"yes", false},
                          {"0", false}, {"", false}, {"11", false}, {"true1", false}, {"t rue", false}});
  bag.DeleteProperty("v");
  // Set in the order of their names, so that both bags iterate alike.
  bag.SetProperty("f", false);
  bag.SetProperty("i32min", int32_t{INT32_MIN});
  bag.SetProperty("i64min", -9223372036854775807LL - 1);
  bag.SetProperty("literal", "text");  // not the bool overload
  bag.SetProperty("long", 99999999999L);  // beyond 32 bits: written in full
  bag.SetProperty("null", static_cast<const char*>(nullptr));
  bag.SetProperty("short", static_cast<short>(-9));
  bag.SetProperty("t", true);
  bag.SetProperty("u32max", uint32_t{UINT32_MAX});
  bag.SetProperty("u64max", 18446744073709551615ULL);
  bag.SetProperty("ushort", static_cast<unsigned short>(65535));
  EXPECT_EQ(Entries(bag), (Pairs{{"f", "false"}, {"i32min", "-2147483648"}, {"i64min", "-9223372036854775808"},
                                 {"literal", "text"}, {"long", "99999999999"}, {"null", ""}, {"short", "-9"},
                                 {"t", "true"}, {"u32max", "4294967295"}, {"u64max", "18446744073709551615"},
                                 {"ushort", "65535"}}));
  for (const double d : {0.0, -0.0, 0.1, 1.0 / 3, 100000.0, 1000000.0, 1e-5, 1.5e-4, -2.5e300, 999999.5}) {
    TypeParam doubles;
    doubles.SetProperty("d", d);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", d);
    EXPECT_EQ(Entries(doubles), (Pairs{{"d", buf}})) << d;
    ExpectReads<double>(doubles, {{buf, std::atof(buf)}});
  }
}

TYPED_TEST(BagTest, ReadingSaturatesAt32Bits) {
  TypeParam bag;
  ExpectReads<int32_t>(bag, {{"2147483647", INT32_MAX}, {"2147483648", INT32_MAX}, {"99999999999999999999", INT32_MAX},
                             {"-2147483649", INT32_MIN}, {"  42abc", 42}, {"abc", 0}});
  ExpectReads<short>(bag, {{"-9", -9}});
  ExpectReads<uint32_t>(bag, {{"4294967296", UINT32_MAX}, {"-2", UINT32_MAX - 1}});
  // The platform's long is 32 bits: long reads as atol, unsigned long as AToUL.
  ExpectReads<long>(bag, {{"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}});
  ExpectReads<unsigned long>(bag, {{"99999999999", UINT32_MAX}, {"-1", UINT32_MAX}});
  ExpectReads<long long>(bag, {{"-7", -7}, {"-9223372036854775809", INT64_MIN}, {"9223372036854775808", INT64_MAX},
                               {"99999999999", 99999999999LL}});
  ExpectReads<unsigned long long>(bag, {{"18446744073709551616", UINT64_MAX}});
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
  const String want = "<Properties><Stamp/><PropertyEntry><Param>A</Param><Value>1</Value></PropertyEntry>"
                      "</Properties>";
  EXPECT_EQ(bag.Pack(), want);
  String out = "x";
  static_cast<const OVOXMLSupport&>(bag).AppendPack(out);
  EXPECT_EQ(out, "x" + want);
}

// Tags ignore case, the last Param and Value of an entry count (empty when missing), other children are skipped
// and text pieces join; a later entry of a name wins, in any case and wherever its name sorts.
TYPED_TEST(BagTest, UnpackIsTolerantAndLaterEntriesWin) {
  Model model;
  String text = "<Properties>";
  const auto add = [&](const String& name, const String& value) {
    text += "<PropertyEntry><Param>" + name + "</Param><Value>" + value + "</Value></PropertyEntry>";
    model.Set(name, value);
  };
  // Names read again: right after themselves, after a greater shorter one, after one differing in the first 8 bytes.
  for (const char* name : {"aaa", "zz", "ZZ", "AAA", "aaaaaaaaB", "zzzzzzzzA", "AAAAAAAAb"}) add(name, name);
  text +=
      "<propertyentry><PARAM>a</PARAM><value>1</value></propertyentry>"
      "<Unknown><Param>u</Param><Value>u</Value></Unknown>"
      "<PropertyEntry><Value>v</Value><Param>first</Param><Param>b</Param><Value>2</Value></PropertyEntry>"
      "<PropertyEntry><Param>novalue</Param></PropertyEntry><PropertyEntry><Value>noname</Value></PropertyEntry>"
      "<PropertyEntry><Param>A</Param><Value>3</Value><Extra/></PropertyEntry>"
      "<PropertyEntry><Param>pie<![CDATA[c<e>]]>s</Param><Value>&lt;<![CDATA[]]>&#x41;</Value></PropertyEntry>";
  for (const auto& [name, value] : Pairs{{"a", "1"}, {"b", "2"}, {"novalue", ""}, {"", "noname"}, {"A", "3"},
                                         {"piec<e>s", "<A"}})
    model.Set(name, value);
  for (int i = 0; i < 100; ++i)
    add(String(i % 3 == 1 ? "n" : "N").append(std::to_string(i % 37)), String("v").append(std::to_string(i)));
  EXPECT_EQ(Entries(TypeParam(text + "</Properties>")), model.Want<TypeParam>());
}

// The text of a bag written entry by entry, in iteration order.
template <class Bag>
String PackedEntryByEntry(const Bag& bag) {
  String out = "<Properties>";
  for (const auto& [name, value] : bag)
    out += "<PropertyEntry>" + OFLTools::MakeXMLNode("Param", name, "", true, false) +
           OFLTools::MakeXMLNode("Value", value, "", true, false) + "</PropertyEntry>";
  return out + "</Properties>";
}

// Random sets (names in other cases too) and deletes agree with the model; large bags are written and read in
// bulk, and names of every shape and hostile values still come out in order, once each.
TYPED_TEST(BagTest, LargeBagsAgreeWithAModelAndPackInBulk) {
  std::mt19937 rng(11);
  const auto randomName = [&](const String& prefix) {
    static const char kChars[] = "aZ09_-.!~[`{ \xC3\xA4\xFF\x01";
    String name = prefix;
    for (size_t n = 1 + rng() % 12; n > 0; --n) name += kChars[rng() % (sizeof kChars - 1)];
    return name;
  };
  const char* hostile[] = {"", "<x>&amp;</x>", "cr\rlf\ncrlf\r\n", "  both  ", "   ", "\t", "]]>",
                           "\"quoted\" 'single'", "\xC3\xBC\xE2\x82\xAC", "&#13;", "a=b; c=d"};
  const std::vector<std::vector<String>> prefixes = {
      {""},                                    // nothing shared
      {"SharedPrefix/"},                       // all alike up to the end
      {"a", "A", "aa", "AAAAAAAAAAAAAAAAAA"},  // first and last differ only in length
      {"\xFF", "\x01", "Z", "["},              // bytes around the letters and above ASCII
  };
  for (const auto& group : prefixes) {
    SCOPED_TRACE(group.front());
    TypeParam bag;
    Model model;
    std::vector<String> names;
    for (int i = 0; i < 10000; ++i) {
      String name = i % 3 || names.empty() ? randomName(group[rng() % group.size()]) + hostile[rng() % 11]
                                           : names[rng() % names.size()];
      if (rng() % 2) OFL::MakeUpper(name);
      if (i % 5 == 4) {
        EXPECT_EQ(bag.DeleteProperty(name), model.entries.erase(name) == 1);
        continue;
      }
      bag.SetProperty(name, hostile[i % 11]);
      model.Set(name, hostile[i % 11]);
      names.push_back(name);
    }
    ASSERT_GT(bag.GetCount(), 4096);
    EXPECT_EQ(Entries(bag), model.Want<TypeParam>());
    const String packed = bag.Pack();
    EXPECT_EQ(packed, PackedEntryByEntry(bag));
    String appended = "x";
    static_cast<const OVOXMLSupport&>(bag).AppendPack(appended);
    EXPECT_EQ(appended, "x" + packed);
    EXPECT_EQ(Entries(TypeParam(packed)), model.Want<TypeParam>());
  }
}

TEST(OVOPropertiesTest, UnpackReportsOneAndOnlyEmptyTextKeepsTheBag) {
  OVOProperties bag;
  bag.SetProperty("a", "1");
  EXPECT_TRUE(bag.GetSchema() == 0x50001u && bag.Unpack(String()) == 1 && Entries(bag) == (Pairs{{"a", "1"}}));
  for (const char* text : {"garbage", "<Other><PropertyEntry><Param>x</Param></PropertyEntry></Other>", " ",
                           "<properties/>", "5:abc", "<Properties/>"}) {
    bag.SetProperty("a", "1");
    EXPECT_TRUE(bag.Unpack(text) == 1 && !bag.HasProperty("a")) << text;
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
  const String nul("n\0l", 3);
  EXPECT_EQ(bag.Unpack(LengthPacked({{"Name", "value"}, {"Sep;arators", "a=b; c:3:d"}, {"<xml>", "<Properties/>"},
                                     {"empty", ""}, {"onlyname"}, {"NAME", "later"}, {"extra", "v", "ignored"},
                                     {nul, nul}})),
            1);
  EXPECT_EQ(Entries(bag), (Pairs{{"Name", "later"}, {"Sep;arators", "a=b; c:3:d"}, {"<xml>", "<Properties/>"},
                                 {"empty", ""}, {"onlyname", ""}, {"extra", "v"}, {nul, nul}}));
  EXPECT_EQ(Entries(OVOProperties(bag.Pack())), Entries(bag));

  // A value that is itself a packed bag does not make the text XML.
  const String nested = OVOProperties(LengthPacked({{"inner", "1"}})).Pack();
  EXPECT_EQ(Entries(OVOProperties(LengthPacked({{"Name", "PC1"}, {"Nested", nested}, {"Other", "2"}}))),
            (Pairs{{"Name", "PC1"}, {"Nested", nested}, {"Other", "2"}}));

  EXPECT_EQ(Entries(OVOProperties("10:not packed")), (Pairs{{"", ""}})) << "a list whose item is not a pair";
}

TEST(OVOPropertiesTest, CopiesAreDeepAndMovesKeepEntries) {
  OVOProperties a;
  a.SetProperty("x", "1");
  OVOProperties b(a);
  b.SetProperty("X", "changed");
  EXPECT_EQ(Entries(a), (Pairs{{"x", "1"}}));
  a = b;
  a = static_cast<const OVOProperties&>(a);
  OVOProperties c(std::move(a));
  c.SetProperty("gone", "1");
  b = std::move(c);
  EXPECT_EQ(Entries(b), (Pairs{{"x", "changed"}, {"gone", "1"}}));
  c.SetProperty("again", "1");  // NOLINT(bugprone-use-after-move): a moved-from bag is empty
  EXPECT_EQ(Entries(c), (Pairs{{"again", "1"}}));
}

// Its order by name and the later entry winning are checked in BagTest.
TEST(OVOPropertiesMapTest, FollowsTheBaseUnpack) {
  OVO::Properties bag;
  EXPECT_EQ(bag.GetSchema(), 0x50002u);
  for (const String& text : {String(), String("<Other/>"), LengthPacked({{"n", "v"}}), String("abc<Properties/>"),
                            String("<Properties/><Properties/>"), String("<Properties>&x;</Properties>")}) {
    bag.SetProperty("a", "1");
    EXPECT_TRUE(bag.Unpack(text) == 0 && bag.IsEmpty()) << text;
  }
}

}  // namespace
}  // namespace orvacmn
