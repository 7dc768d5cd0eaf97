// The packable list: text form, unpacking of any child, ownership, equality.
#include "orvacmn/objects/ovo_list.h"

#include <gtest/gtest.h>

#include "ofl/tools.h"

namespace orvacmn {
namespace {

// An internal-style element that counts live instances.
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
  bool operator==(const Entry& o) const { return name == o.name && rank == o.rank && kind == o.kind; }

  String name;
  uint32_t rank = 0;
  String kind;  // attribute of "Name"
  static inline int live = 0;

 protected:
  String InternalPack() const override {
    return OFLTools::MakeXMLNode("Name", name, kind.empty() ? String() : "kind=\"" + OFLTools::MakeXMLData(kind) + "\"",
                                 true, false) +
           OFLTools::MakeXMLNode("Rank", rank);
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

class InPlaceEntry : public Entry {
 public:
  using Entry::Entry;
};

// A whole-object-style element: its own Pack, Unpack(String) and Clear.
class Note : public OVOXMLSupport {
 public:
  explicit Note(const String& t = String()) : OVOXMLSupport("Note", kSchema50001), text(t) {}
  bool operator==(const Note& o) const { return text == o.text; }
  String text;

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

TEST_F(OVOListTest, PacksElementsInListOrder) {
  EntryList l("Entries");
  EXPECT_EQ(l.Pack(), "<Entries></Entries>");
  l.AddTail(new Entry("b", 2));
  l.AddHead(new Entry("a", 1));
  l.AddTail(nullptr);  // packs as nothing
  EXPECT_EQ(l.Pack(),
            "<Entries><Entry><Name>a</Name><Rank>1</Rank></Entry><Entry><Name>b</Name><Rank>2</Rank></Entry>"
            "</Entries>");
  String out = "x";
  l.AppendPack(out);
  EXPECT_EQ(out, "x" + l.Pack());
}

// A subclass that changes the text through InternalPack alone is honoured
// by Pack, by AppendPack and inside a container.
class CountedEntries : public EntryList {
 public:
  explicit CountedEntries(const String& text = String()) : EntryList("Entries", text) {}

 protected:
  String InternalPack() const override { return OFLTools::MakeXMLNode("Count", GetCount()) + EntryList::InternalPack(); }
};

TEST_F(OVOListTest, SubclassInternalPackIsHonoured) {
  CountedEntries l;
  l.AddTail(new Entry("a", 1));
  const String want = "<Entries><Count>1</Count><Entry><Name>a</Name><Rank>1</Rank></Entry></Entries>";
  EXPECT_EQ(l.Pack(), want);
  String out = "x";
  l.AppendPack(out);
  EXPECT_EQ(out, "x" + want);
  OVOList<CountedEntries> outer("Outer");
  outer.AddTail(new CountedEntries);
  EXPECT_EQ(outer.Pack(), "<Outer><Entries><Count>0</Count></Entries></Outer>");
}

TEST_F(OVOListTest, UnpackKeepsForeignAndMiscasedChildrenCleared) {
  EntryList l("Entries", "<Entries><Entry><Name>a</Name></Entry><Other><Name>x</Name><Rank>5</Rank></Other>"
                         "<entry><Name>b</Name></entry><Entry><Rank>3</Rank><name>c</name></Entry></Entries>");
  ASSERT_EQ(l.GetCount(), 4);
  POSITION pos = l.GetHeadPosition();
  EXPECT_EQ(*l.GetNext(pos), Entry("a", 0));
  EXPECT_EQ(*l.GetNext(pos), Entry());  // foreign tag
  EXPECT_EQ(*l.GetNext(pos), Entry());  // element root is matched exactly
  EXPECT_EQ(*l.GetNext(pos), Entry("c", 3));
  EXPECT_EQ(l.Unpack("<entries><Entry/></entries>"), 0);
  EXPECT_TRUE(l.IsEmpty());
  // Unpack(parser) matches the list's tag without case and appends.
  l.AddTail(new Entry("first", 1));
  OFLXMLParser p;
  ASSERT_TRUE(p.SetDoc("<Holder><ENTRIES><Entry><Name>second</Name></Entry></ENTRIES></Holder>"));
  ASSERT_TRUE(p.FindChildElem());
  ASSERT_EQ(l.Unpack(p), 1);
  ASSERT_EQ(l.GetCount(), 2);
  EXPECT_EQ(*l.GetTail(), Entry("second", 0));
  EXPECT_EQ(p.GetChildTagName(), "ENTRIES");
}

TEST_F(OVOListTest, RoundTripWithHostileValues) {
  EntryList a("Entries");
  for (const char* v : {"<tag>&amp;</tag>", "a\r\nb", "  ", " lead", "trail\t", "\"'", "\xC3\xA4\xE2\x82\xAC"}) {
    auto* e = new Entry(v, 4294967295u);
    e->kind = "<&\"'> attribute";
    a.AddTail(e);
  }
  EntryList b("Entries", a.Pack());
  EXPECT_TRUE(a == b);
  EXPECT_EQ(b.Pack(), a.Pack());
}

TEST_F(OVOListTest, EqualityIsPairwiseInOrder) {
  EntryList a("Entries"), b("Other"), c("Entries");  // the object name is not compared
  for (EntryList* l : {&a, &b}) {
    l->AddTail(nullptr);
    l->AddTail(new Entry("x", 1));
    l->AddTail(new Entry("y", 2));
  }
  EXPECT_TRUE(a == b);
  c.AddTail(nullptr);
  c.AddTail(new Entry("y", 2));
  c.AddTail(new Entry("x", 1));
  EXPECT_TRUE(a != c);
  delete c.RemoveTail();
  EXPECT_FALSE(a == c);
  b.SetAt(b.GetHeadPosition(), new Entry());  // null elements compare by identity
  EXPECT_FALSE(a == b);
}

TEST_F(OVOListTest, OwnershipAndDestruction) {
  {
    EntryList l("Entries", "<Entries><Entry/><Entry/></Entries>");
    EXPECT_TRUE(l.GetOwnsElements());
    EXPECT_EQ(Entry::live, 2);
  }
  EXPECT_EQ(Entry::live, 0);
  Entry* kept = new Entry("k", 1);
  EntryList(String("Entries"), String(), false).AddTail(kept);  // a non-owning list leaves it
  EXPECT_EQ(Entry::live, 1);
  EntryList l("Entries", "<Entries><Entry/></Entries>", false);
  l.AddTail(kept);
  ASSERT_EQ(l.Unpack("<Entries><Entry><Name>n</Name></Entry></Entries>"), 1);  // destroys whatever the flag says
  EXPECT_EQ(Entry::live, 1);
  l.Clear();
  EXPECT_EQ(Entry::live, 0);
}

TEST_F(OVOListTest, WholeStyleElementsUnpackFromChildMarkup) {
  OVOList<Note> a("Notes");
  a.AddTail(new Note("x<y>\r\n"));
  a.AddTail(new Note);
  String out = "x";
  a.AppendPack(out);
  EXPECT_EQ(out, "x<Notes><Note><Text>x&lt;y&gt;&#xD;\n</Text></Note><Note><Text></Text></Note></Notes>");
  EXPECT_TRUE(a == OVOList<Note>("Notes", a.Pack()));
  ASSERT_EQ(a.Unpack("<Notes><Note><TEXT>t</TEXT></Note><Other><Text>u</Text></Other></Notes>"), 1);
  ASSERT_EQ(a.GetCount(), 2);
  EXPECT_EQ(a.GetHead()->text, "t");
  EXPECT_EQ(a.GetTail()->text, "");
}

TEST_F(OVOListTest, InPlaceUnpackEqualsMarkupUnpack) {
  const char* texts[] = {
      "<Entries><Entry><Name>a</Name><Rank>1</Rank></Entry></Entries>",
      "<Entries><entry><Name>a</Name></entry><ENTRY/><Entry/></Entries>",
      "<Entries> <Entry> <Name> spaced </Name> </Entry> text <Other/></Entries>",
      "<Entries><Entry><Name>   </Name></Entry><Entry><Name><!-- c -->  </Name></Entry></Entries>",
      "<Entries><Entry><Name>a&#13;&#10;b&#13;</Name></Entry><Entry><Name>c\r\nd\re</Name></Entry></Entries>",
      ("<Entries><Entry><Name kind=\"k&#10;&#13;&#9;x\">n</Name></Entry>"
       "<Entry><Name kind=\"a\nb\tc\r\nd\">n</Name></Entry></Entries>"),
      "<Entries><Entry><Name><![CDATA[<raw>&amp;]]>tail</Name></Entry></Entries>",
      "<Entries><Entry><Name>x<b>bold</b>y</Name><Rank>2<x/></Rank></Entry></Entries>",
      "<Entries><Entry><Name>&lt;&gt;&amp;&quot;&apos;&unknown;</Name></Entry></Entries>",
      "<Entries><Entry><Entry><Name>nested</Name></Entry><Name>outer</Name></Entry></Entries>",
      "<Entries><Entry><Name>1</Name><Name>2</Name><RANK>3</RANK><Rank>4</Rank></Entry></Entries>",
      "<Entries><?pi x?><Entry xmlns=\"urn:x\" a='1'><Name>\xC3\xA4</Name></Entry></Entries>",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    OVOList<Entry> viaMarkup("Entries");
    OVOList<InPlaceEntry> inPlace("Entries");
    EXPECT_EQ(viaMarkup.Unpack(text), inPlace.Unpack(text));
    ASSERT_EQ(viaMarkup.GetCount(), inPlace.GetCount());
    POSITION a = viaMarkup.GetHeadPosition(), b = inPlace.GetHeadPosition();
    while (a) {
      const Entry* x = viaMarkup.GetNext(a);
      const Entry* y = inPlace.GetNext(b);
      EXPECT_EQ(*x, *y) << "via markup: " << x->Pack() << "\nin place:   " << y->Pack();
    }
  }
}

}  // namespace
}  // namespace orvacmn
