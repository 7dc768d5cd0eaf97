// The packable list: text form, unpacking of any child, ownership, equality.
#include "orvacmn/objects/ovo_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "ofl/tools.h"

namespace orvacmn {
namespace {

// An internal-style element. It counts live instances to check ownership.
class Entry : public OVOXMLSupport {
 public:
  explicit Entry(const String& text = String()) : OVOXMLSupport("Entry", kSchema50001) {
    ++live;
    if (!text.empty()) Unpack(text);
  }
  Entry(const String& n, uint32_t r) : Entry() {
    name = n;
    rank = r;
  }
  ~Entry() override { --live; }

  String name;
  uint32_t rank = 0;
  String kind;  // attribute "kind" of the "Name" node, when present
  static inline int live = 0;

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

// The same element, unpacked in place by the list.
class InPlaceEntry : public Entry {
 public:
  using Entry::Entry;
};

// A whole-object-style element: its own Pack, Unpack(String) and Clear.
class Note : public OVOXMLSupport {
 public:
  explicit Note(const String& text = String()) : OVOXMLSupport("Note", kSchema50001) {
    if (!text.empty()) Unpack(text);
  }
  String text;
  bool operator==(const Note& o) const { return text == o.text; }

  using OVOXMLSupport::Unpack;
  String Pack() const override { return "<Note>" + OFLTools::MakeXMLNode("Text", text, "", true, false) + "</Note>"; }
  int Unpack(const String& markup) override {
    OFLXMLParser p;
    p.SetDoc(markup);
    Clear();
    if (!p.FindElem("Note")) return 0;
    while (p.FindChildElem())
      if (OFL::EqualsNoCase(p.GetChildTagName(), "Text")) text = p.GetChildData();
    return 1;
  }
  void Clear() override { text.clear(); }
};

}  // namespace

template <>
struct OVOListUnpacksInPlace<InPlaceEntry> : std::true_type {};

namespace {

using EntryList = OVOList<Entry>;

class OVOListTest : public ::testing::Test {
 protected:
  void SetUp() override { Entry::live = 0; }
  void TearDown() override { EXPECT_EQ(Entry::live, 0); }
};

TEST_F(OVOListTest, EmptyListPacksToItsTags) {
  EntryList l("Entries");
  EXPECT_EQ(l.Pack(), "<Entries></Entries>");
  EXPECT_EQ(l.GetObjectName(), "Entries");
  EXPECT_EQ(l.GetSchema(), 0x50001u);
  EXPECT_TRUE(l.GetOwnsElements());
}

TEST_F(OVOListTest, PacksElementsInListOrder) {
  EntryList l("Entries");
  l.AddTail(new Entry("b", 2));
  l.AddHead(new Entry("a", 1));
  EXPECT_EQ(l.Pack(),
            "<Entries><Entry><Name>a</Name><Rank>1</Rank></Entry><Entry><Name>b</Name><Rank>2</Rank></Entry>"
            "</Entries>");
}

TEST_F(OVOListTest, AppendPackAppendsExactlyPack) {
  EntryList l("Entries");
  l.AddTail(new Entry("a", 1));
  OVOList<Note> notes("Notes");  // elements packed through their own Pack
  notes.AddTail(new Note);
  String out = "x";
  l.AppendPack(out);
  notes.AppendPack(out);
  EXPECT_EQ(out, "x" + l.Pack() + notes.Pack());
  EXPECT_EQ(notes.Pack(), "<Notes><Note><Text></Text></Note></Notes>");
}

TEST_F(OVOListTest, ThreeChildrenWithAForeignTagGiveThreeElements) {
  EntryList l("Entries");
  ASSERT_EQ(l.Unpack("<Entries><Entry><Name>a</Name></Entry><Other><Name>x</Name><Rank>5</Rank></Other>"
                     "<Entry><Rank>3</Rank><name>c</name></Entry></Entries>"),
            1);
  ASSERT_EQ(l.GetCount(), 3);
  POSITION pos = l.GetHeadPosition();
  EXPECT_EQ(*l.GetNext(pos), Entry("a", 0));
  EXPECT_EQ(*l.GetNext(pos), Entry());  // foreign tag: kept, cleared
  EXPECT_EQ(*l.GetNext(pos), Entry("c", 3));
}

TEST_F(OVOListTest, ElementRootIsMatchedExactly) {
  // The element unpacks its child's markup, whose root it finds by its exact
  // name; a child written in another case stays cleared.
  EntryList l("Entries");
  ASSERT_EQ(l.Unpack("<Entries><entry><Name>a</Name></entry></Entries>"), 1);
  ASSERT_EQ(l.GetCount(), 1);
  EXPECT_EQ(*l.GetHead(), Entry());
}

TEST_F(OVOListTest, ListRootIsMatchedExactlyAndFailureLeavesItCleared) {
  EntryList l("Entries");
  l.AddTail(new Entry("old", 1));
  EXPECT_EQ(l.Unpack("<entries><Entry/></entries>"), 0);
  EXPECT_TRUE(l.IsEmpty());
  EXPECT_EQ(Entry::live, 0);
}

TEST_F(OVOListTest, RoundTripWithHostileValues) {
  EntryList a("Entries");
  for (const String v : {"<tag>&amp;</tag>", "a\r\nb", "  ", " lead", "trail\t", "\"'", "\xC3\xA4\xE2\x82\xAC"}) {
    auto* e = new Entry(v, 4294967295u);
    e->kind = "<&\"'> attribute";  // MakeXMLData keeps LF and tab, which attributes fold
    a.AddTail(e);
  }
  EntryList b("Entries", a.Pack());
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a != b);
  EXPECT_EQ(b.Pack(), a.Pack());
}

TEST_F(OVOListTest, EqualityIsPairwiseInOrder) {
  EntryList a("Entries"), b("Entries"), c("Entries");
  a.AddTail(new Entry("x", 1));
  a.AddTail(new Entry("y", 2));
  b.AddTail(new Entry("y", 2));
  b.AddTail(new Entry("x", 1));
  c.AddTail(new Entry("x", 1));
  EXPECT_FALSE(a == b);
  EXPECT_TRUE(a != b);
  EXPECT_FALSE(a == c);
  c.AddTail(new Entry("y", 2));
  EXPECT_TRUE(a == c);
  EntryList d("Other");
  EntryList e("Entries");
  EXPECT_TRUE(d == e);  // the object name is not compared
}

TEST_F(OVOListTest, NullElementsArePackedAsNothingAndCompareByIdentity) {
  EntryList a("Entries"), b("Entries");
  a.AddTail(nullptr);
  a.AddTail(new Entry("x", 1));
  b.AddTail(nullptr);
  b.AddTail(new Entry("x", 1));
  EXPECT_EQ(a.Pack(), "<Entries><Entry><Name>x</Name><Rank>1</Rank></Entry></Entries>");
  EXPECT_TRUE(a == b);
  b.SetAt(b.GetHeadPosition(), new Entry());
  EXPECT_FALSE(a == b);
}

TEST_F(OVOListTest, OwningListDestroysItsElements) {
  {
    EntryList l("Entries");
    l.AddTail(new Entry);
    l.AddTail(new Entry);
    EXPECT_EQ(Entry::live, 2);
  }
  EXPECT_EQ(Entry::live, 0);
}

TEST_F(OVOListTest, NonOwningListLeavesElementsButClearDestroysThem) {
  Entry* kept = new Entry("k", 1);
  {
    EntryList l("Entries", String(), false);
    EXPECT_FALSE(l.GetOwnsElements());
    l.AddTail(kept);
  }
  EXPECT_EQ(Entry::live, 1);
  {
    EntryList l("Entries", String(), false);
    l.AddTail(kept);
    l.Clear();  // whatever the flag says
    EXPECT_TRUE(l.IsEmpty());
  }
  EXPECT_EQ(Entry::live, 0);
}

TEST_F(OVOListTest, UnpackDestroysCurrentElementsFirst) {
  EntryList l("Entries", "<Entries><Entry/><Entry/></Entries>", false);
  EXPECT_EQ(l.GetCount(), 2);
  ASSERT_EQ(l.Unpack("<Entries><Entry><Name>n</Name></Entry></Entries>"), 1);
  EXPECT_EQ(l.GetCount(), 1);
  EXPECT_EQ(Entry::live, 1);
  l.Clear();
}

TEST_F(OVOListTest, ConstructorUnpacksText) {
  const EntryList l("Entries", "<Entries><Entry><Name>n</Name><Rank>7</Rank></Entry></Entries>");
  ASSERT_EQ(l.GetCount(), 1);
  EXPECT_EQ(*l.GetHead(), Entry("n", 7));
}

TEST_F(OVOListTest, ParserUnpackAppendsWithoutClearing) {
  EntryList l("Entries");
  l.AddTail(new Entry("first", 1));
  OFLXMLParser p;
  ASSERT_TRUE(p.SetDoc("<Holder><ENTRIES><Entry><Name>second</Name></Entry></ENTRIES></Holder>"));
  ASSERT_TRUE(p.FindChildElem());
  ASSERT_EQ(l.Unpack(p), 1);
  ASSERT_EQ(l.GetCount(), 2);
  EXPECT_EQ(l.GetTail()->name, "second");
  EXPECT_EQ(p.GetChildTagName(), "ENTRIES");
}

TEST_F(OVOListTest, WholeStyleElementsUnpackFromChildMarkup) {
  OVOList<Note> a("Notes");
  auto* n = new Note;
  n->text = "x<y>\r\n";
  a.AddTail(n);
  a.AddTail(new Note);
  OVOList<Note> b("Notes", a.Pack());
  EXPECT_TRUE(a == b);
  ASSERT_EQ(b.Unpack("<Notes><Note><TEXT>t</TEXT></Note><Other><Text>u</Text></Other></Notes>"), 1);
  ASSERT_EQ(b.GetCount(), 2);
  EXPECT_EQ(b.GetHead()->text, "t");
  EXPECT_EQ(b.GetTail()->text, "");
}

// Unpacking in place must give exactly what unpacking each child's markup
// gives, for any text.
TEST_F(OVOListTest, InPlaceUnpackEqualsMarkupUnpack) {
  const std::vector<String> texts = {
      "<Entries><Entry><Name>a</Name><Rank>1</Rank></Entry></Entries>",
      "<Entries><entry><Name>a</Name></entry><ENTRY/><Entry/></Entries>",
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
  };
  for (const String& text : texts) {
    OVOList<Entry> viaMarkup("Entries");
    OVOList<InPlaceEntry> inPlace("Entries");
    EXPECT_EQ(viaMarkup.Unpack(text), inPlace.Unpack(text)) << text;
    ASSERT_EQ(viaMarkup.GetCount(), inPlace.GetCount()) << text;
    POSITION a = viaMarkup.GetHeadPosition();
    POSITION b = inPlace.GetHeadPosition();
    while (a) {
      const Entry* x = viaMarkup.GetNext(a);
      const Entry* y = inPlace.GetNext(b);
      EXPECT_EQ(*x, *y) << text << "\n  via markup: " << x->Pack() << "\n  in place:   " << y->Pack();
    }
    EXPECT_EQ(viaMarkup.Pack(), inPlace.Pack()) << text;
  }
}

}  // namespace
}  // namespace orvacmn
