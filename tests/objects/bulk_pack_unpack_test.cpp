// Containers packed and read in bulk: large property bags, and lists that
// read their elements where they stand instead of printing and parsing each
// one, which must give exactly what the children's markup gives.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <type_traits>
#include <vector>

#include "ofl/tools.h"
#include "orvacmn/objects/ovo_list.h"
#include "orvacmn/objects/properties.h"

#include "objects/bag_entries.h"

namespace orvacmn {
namespace {

using test_util::Entries;
using test_util::Pairs;

// The text of a bag written entry by entry, in iteration order.
template <class Bag>
String PackedEntryByEntry(const Bag& bag) {
  String out = "<Properties>";
  for (const auto& [name, value] : bag)
    out += "<PropertyEntry>" + OFLTools::MakeXMLNode("Param", name, "", true, false) +
           OFLTools::MakeXMLNode("Value", value, "", true, false) + "</PropertyEntry>";
  return out + "</Properties>";
}

template <class Bag>
class BulkBagTest : public ::testing::Test {};
using BagTypes = ::testing::Types<OVOProperties, OVO::Properties>;
TYPED_TEST_SUITE(BulkBagTest, BagTypes);

// Large bags are written and read in bulk; names of every shape must still
// come out in order, once each.
TYPED_TEST(BulkBagTest, LargeBagsPackAndUnpackEveryEntryInOrder) {
  std::mt19937 rng(11);
  const auto randomName = [&](const String& prefix) {
    static const char kChars[] = "aZ09_-.!~[`{ \xC3\xA4\xFF\x01";
    String name = prefix;
    for (size_t n = 1 + rng() % 12; n > 0; --n) name += kChars[rng() % (sizeof kChars - 1)];
    return name;
  };
  const std::vector<std::vector<String>> prefixes = {
      {""},                                    // nothing shared
      {"SharedPrefix/"},                       // all alike up to the end
      {"a", "A", "aa", "AAAAAAAAAAAAAAAAAA"},  // first and last differ only in length
      {"\xFF", "\x01", "Z", "["},              // bytes around the letters and above ASCII
  };
  for (const auto& group : prefixes) {
    SCOPED_TRACE(group.front());
    TypeParam bag;
    for (int i = 0; i < 6000; ++i)
      bag.SetProperty(randomName(group[rng() % group.size()]), i % 7 ? "value " + std::to_string(i) : String("<&>"));
    ASSERT_GT(bag.GetCount(), 4096);
    const String packed = bag.Pack();
    EXPECT_EQ(packed, PackedEntryByEntry(bag));
    String appended = "x";
    static_cast<const OVOXMLSupport&>(bag).AppendPack(appended);
    EXPECT_EQ(appended, "x" + packed);
    const TypeParam copy(packed);
    EXPECT_EQ(Entries(copy), Entries(bag));
  }
}

// Enough entries that they are read in several batches; names come back in
// other cases, and the later value wins under the first spelling.
TYPED_TEST(BulkBagTest, LaterEntriesWinAcrossManyEntriesAndTextPiecesJoin) {
  String text = "<Properties>";
  std::map<String, String, OFL::LessNoCase> model;
  Pairs order;
  for (int i = 0; i < 100; ++i) {
    String name = "N" + std::to_string(i % 37);
    if (i % 3 == 1) OFL::MakeLower(name);
    const String value = "v" + std::to_string(i);
    text += "<PropertyEntry><Param>" + name + "</Param><Value>" + value + "</Value></PropertyEntry>";
    if (const auto it = model.find(name); it != model.end()) {
      it->second = value;
      for (auto& [n, v] : order)
        if (OFL::EqualsNoCase(n, name)) v = value;
    } else {
      model.emplace(name, value);
      order.emplace_back(name, value);
    }
  }
  text += "<PropertyEntry><Param>pie<![CDATA[c<e>]]>s</Param><Value>&lt;<![CDATA[]]>&#x41;</Value></PropertyEntry>";
  text += "</Properties>";
  TypeParam bag(text);
  String value;
  ASSERT_TRUE(bag.GetProperty("piec<e>s", value));
  EXPECT_EQ(value, "<A");
  ASSERT_TRUE(bag.DeleteProperty("piec<e>s"));
  if constexpr (std::is_same_v<TypeParam, OVOProperties>)
    EXPECT_EQ(Entries(bag), order);
  else
    EXPECT_EQ(Entries(bag), Pairs(model.begin(), model.end()));
}

// An internal-style element; the list reads it in place.
class Entry : public OVOXMLSupport {
 public:
  explicit Entry(const String& text = String()) : OVOXMLSupport("Entry", kSchema50001) {
    if (!text.empty()) Unpack(text);
  }
  Entry(const String& n, uint32_t r) : Entry() {
    name = n;
    rank = r;
  }
  String name;
  uint32_t rank = 0;
  String kind;

  bool operator==(const Entry& o) const { return name == o.name && rank == o.rank && kind == o.kind; }

 protected:
  String InternalPack() const override {
    String out = OFLTools::MakeXMLNode("Name", name, kind.empty() ? String() : "kind=\"" + OFLTools::MakeXMLData(kind) + "\"",
                                       true, false);
    out += OFLTools::MakeXMLNode("Rank", rank);
    return out;
  }
  void InternalUnpack(OFLXMLParser& parser) override {
    ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
      if (OFL::EqualsNoCase(tag, "Name")) {
        name = p.GetChildData();
        kind = p.GetChildAttrib("kind");
      } else if (OFL::EqualsNoCase(tag, "Rank")) {
        rank = OFLTools::AToUL(p.GetChildData());
      }
    });
  }
  void InternalClear() override {
    name.clear();
    rank = 0;
    kind.clear();
  }
};

// The same element, declared as read in place.
class DeclaredEntry : public Entry {
 public:
  using Entry::Entry;
};

// The same element with an Unpack(String) of its own (the base one), so a
// list hands it each child's printed markup: the reference for the others.
class MarkupEntry : public Entry {
 public:
  using Entry::Entry;
  using Entry::Unpack;
  int Unpack(const String& text) override { return Entry::Unpack(text); }
};

// An element that packs itself differently, kept in a list of its base class.
class LoudEntry : public Entry {
 public:
  using Entry::Entry;
  String Pack() const override { return "<Loud/>"; }
  void AppendPack(String& out) const override { out += Pack(); }
};

// An element that holds a list of its own kind and notes everything its
// parser shows, moving the cursors about and writing into the parser.
template <class Self>
class Probe : public OVOXMLSupport {
 public:
  Probe() : OVOXMLSupport("P", kSchema50001) {}
  String seen;
  bool operator==(const Probe& o) const { return seen == o.seen; }

 protected:
  String InternalPack() const override { return OFLTools::MakeXMLNode("Seen", seen, "", true, false); }
  void InternalUnpack(OFLXMLParser& p) override {
    seen += p.GetDoc() + "|" + p.GetSubDoc() + "|" + p.GetData() + "|" + p.GetError() + "|";
    ForEachChild(p, [&](const String& tag, OFLXMLParser& q) {
      seen += "<" + tag + ":" + q.GetChildData() + ":" + q.GetChildSubDoc() + ">";
      if (tag == "L") {
        OVOList<Self> nested("L");
        seen += std::to_string(nested.Unpack(q)) + nested.Pack();
      } else if (tag == "Up") {
        seen += std::to_string(q.OutOfElem()) + q.GetTagName();
      } else if (tag == "Next") {
        seen += std::to_string(q.FindElem()) + q.GetTagName();
      } else if (tag == "Top" && !restarted) {  // the walk starts again, once
        restarted = true;
        q.ResetPos();
        seen += std::to_string(q.FindElem("P")) + q.GetTagName();
      } else if (tag == "Add") {
        seen += std::to_string(q.AddElem("added", "a")) + q.GetDoc();
      } else if (tag == "Set") {
        seen += std::to_string(q.SetChildData("set")) + q.GetDoc();
      }
    });
    seen += "|" + p.GetDoc();
  }
  void InternalClear() override {
    seen.clear();
    restarted = false;
  }

 private:
  bool restarted = false;
};

class InPlaceProbe : public Probe<InPlaceProbe> {
 public:
  explicit InPlaceProbe(const String& text = String()) {
    if (!text.empty()) Unpack(text);
  }
};

class MarkupProbe : public Probe<MarkupProbe> {
 public:
  explicit MarkupProbe(const String& text = String()) {
    if (!text.empty()) Unpack(text);
  }
  using OVOXMLSupport::Unpack;
  int Unpack(const String& text) override { return OVOXMLSupport::Unpack(text); }
};

}  // namespace

template <>
struct OVOListUnpacksInPlace<DeclaredEntry> : std::true_type {};

namespace {

template <class A, class B>
void ExpectSameElements(const OVOList<A>& a, const OVOList<B>& b) {
  ASSERT_EQ(a.GetCount(), b.GetCount());
  POSITION x = a.GetHeadPosition();
  POSITION y = b.GetHeadPosition();
  while (x) {
    const A* e = a.GetNext(x);
    const B* f = b.GetNext(y);
    EXPECT_EQ(e->Pack(), f->Pack());
  }
  EXPECT_EQ(a.Pack(), b.Pack());
}

TEST(InPlaceListTest, ElementsKeepingTheBaseUnpackAreReadInPlace) {
  static_assert(ovo_list_internal::UnpacksInPlace<Entry>);
  static_assert(ovo_list_internal::UnpacksInPlace<DeclaredEntry>);
  static_assert(!ovo_list_internal::UnpacksInPlace<MarkupEntry>);
  static_assert(!ovo_list_internal::UnpacksInPlace<OVOProperties>);  // its own Unpack(String)
  static_assert(ovo_list_internal::UnpacksInPlace<OVO::Properties>);
  static_assert(ovo_list_internal::KeepsBasePack<Entry>);
  static_assert(!ovo_list_internal::KeepsBasePack<LoudEntry>);
}

TEST(InPlaceListTest, InPlaceUnpackEqualsMarkupUnpack) {
  const std::vector<String> texts = {
      "<Entries><Entry><Name>a</Name><Rank>1</Rank></Entry></Entries>",
      "<Entries><entry><Name>a</Name></entry><ENTRY/><Entry/><Other><Name>o</Name></Other></Entries>",
      "<Entries> <Entry> <Name> spaced </Name> </Entry> text <Other/></Entries>",
      "<Entries><Entry><Name>   </Name></Entry><Entry><Name><!-- c -->  </Name></Entry></Entries>",
      "<Entries><Entry><Name>a&#13;&#10;b&#13;</Name></Entry><Entry><Name>c\r\nd\re</Name></Entry></Entries>",
      "<Entries><Entry><Name kind=\"k&#10;&#13;&#9;x\">n</Name></Entry>"
      "<Entry><Name kind=\"a\nb\tc\r\nd\">n</Name></Entry></Entries>",
      "<Entries><Entry><Name><![CDATA[<raw>&amp;]]>tail</Name></Entry></Entries>",
      "<Entries><Entry><Name>x<b>bold</b>y</Name><Rank>2<x/></Rank></Entry></Entries>",
      "<Entries><Entry><Name>&lt;&gt;&amp;&quot;&apos;&unknown;</Name></Entry></Entries>",
      "<Entries><Entry><Entry><Name>nested</Name></Entry><Name>outer</Name></Entry></Entries>",
      "<Entries><Entry><Name>1</Name><Name>2</Name><RANK>3</RANK><Rank>4</Rank></Entry></Entries>",
      "<Entries><?pi x?><Entry xmlns=\"urn:x\" a='1'><Name>\xC3\xA4</Name></Entry></Entries>",
      // Text that parsing the printed markup loses: white space from
      // references beside other nodes, and text that reads as nothing.
      "<Entries><Entry><Name>&#10;<![CDATA[x]]></Name></Entry><Entry><Name>&#32;&#9;</Name></Entry></Entries>",
      "<Entries><Entry>&#10;<Name>n</Name>&#32;<Rank>1</Rank></Entry><Entry><Name>&#0;</Name></Entry></Entries>",
      "<Entries><Entry><Name><![CDATA[]]></Name></Entry><Entry><Name>&#13;<![CDATA[y]]></Name></Entry></Entries>",
      "",
      "<Other/>",
  };
  for (const String& text : texts) {
    SCOPED_TRACE(text);
    OVOList<MarkupEntry> viaMarkup("Entries");
    OVOList<Entry> inPlace("Entries");
    OVOList<DeclaredEntry> declared("Entries");
    const int result = viaMarkup.Unpack(text);
    EXPECT_EQ(inPlace.Unpack(text), result);
    EXPECT_EQ(declared.Unpack(text), result);
    ExpectSameElements(viaMarkup, inPlace);
    ExpectSameElements(viaMarkup, declared);
  }
}

// An element may look at everything its parser offers, misuse the cursors
// and write into the parser: the result is still that of its own markup.
TEST(InPlaceListTest, AnyUseOfTheParserGivesWhatTheMarkupGives) {
  const std::vector<String> texts = {
      "<L><P>t</P><P><a>1</a><Up/><b>2</b></P><P><Next/><c>3</c></P><Q/><P><Add/><Set/></P></L>",
      "<L><P><L><P><x>deep</x><L><P><Up/><Top/></P></L></P><P><Next/></P></L><y>after</y></P></L>",
      "<L><P>&#10;<a>a</a></P><P><L><P>&#32;<b/></P><P><c>c</c></P></L></P></L>",
      "<L><P a=\"1\"><Set>old</Set><z/></P>\n<P/>\n<P><Top/><Top/></P></L>",
  };
  for (const String& text : texts) {
    SCOPED_TRACE(text);
    OVOList<MarkupProbe> viaMarkup("L");
    OVOList<InPlaceProbe> inPlace("L");
    EXPECT_EQ(viaMarkup.Unpack(text), 1);
    EXPECT_EQ(inPlace.Unpack(text), 1);
    ExpectSameElements(viaMarkup, inPlace);
  }
}

// A parser its caller changed may print differently from what it loaded;
// then the children's markup is printed as it stands.
TEST(InPlaceListTest, ChangedParserUnpacksAsItsMarkup) {
  OFLXMLParser p;
  ASSERT_TRUE(p.SetDoc("<Holder><Entries><Entry><Name>a</Name></Entry><Entry><Name>b</Name></Entry></Entries></Holder>"));
  ASSERT_TRUE(p.FindChildElem());
  ASSERT_TRUE(p.IntoElem());
  ASSERT_TRUE(p.FindChildElem());
  ASSERT_TRUE(p.IntoElem());
  ASSERT_TRUE(p.FindChildElem("Name"));
  ASSERT_TRUE(p.SetChildData("  "));  // white space beside an element: a reparse drops it
  ASSERT_TRUE(p.AddChildElem("Rank", "5"));
  ASSERT_TRUE(p.SetData(" "));
  p.ResetPos();
  ASSERT_TRUE(p.FindChildElem());
  OVOList<MarkupEntry> viaMarkup("Entries");
  OVOList<Entry> inPlace("Entries");
  ASSERT_EQ(viaMarkup.Unpack(p), 1);
  ASSERT_EQ(inPlace.Unpack(p), 1);
  ExpectSameElements(viaMarkup, inPlace);
  EXPECT_EQ(inPlace.GetHead()->name, "  ");
  EXPECT_EQ(inPlace.GetHead()->rank, 5u);
}

TEST(InPlaceListTest, ElementsOfSubclassesPackThemselves) {
  OVOList<Entry> l("Entries");
  l.AddTail(new Entry("a", 1));
  l.AddTail(new LoudEntry("b", 2));
  l.AddTail(new Entry("c", 3));
  EXPECT_EQ(l.Pack(),
            "<Entries><Entry><Name>a</Name><Rank>1</Rank></Entry><Loud/>"
            "<Entry><Name>c</Name><Rank>3</Rank></Entry></Entries>");
}

TEST(InPlaceListTest, LongListsOfUnevenElementsPackAsTheirParts) {
  OVOList<Entry> l("Entries");
  String want = "<Entries>";
  for (int i = 0; i < 3000; ++i) {
    if (i % 500 == 0) l.AddTail(nullptr);
    auto* e = new Entry(String(static_cast<size_t>(i % 97 == 0 ? 5000 : i % 13), 'x'), static_cast<uint32_t>(i));
    want += e->Pack();
    l.AddTail(e);
  }
  want += "</Entries>";
  EXPECT_EQ(l.Pack(), want);
  String appended = "x";
  l.AppendPack(appended);
  EXPECT_EQ(appended, "x" + want);
  EXPECT_EQ(OVOList<Entry>("Entries", want).Pack(), want);
}

}  // namespace
}  // namespace orvacmn
