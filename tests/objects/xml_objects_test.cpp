// The catalogue, the object base and the packable list, whose elements are read where they stand instead of
// printing and parsing each child: that must give exactly what the children's markup gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "ofl/tools.h"
#include "orvacmn/objects/catalogue.h"
#include "orvacmn/objects/ovo_list.h"
#include "orvacmn/objects/properties.h"

namespace orvacmn {
namespace {

// An internal-style element that counts live instances; a list reads it in place.
class Entry : public OVOXMLSupport {
 public:
  explicit Entry(const String& = String()) : OVOXMLSupport("Entry", kSchema50001) { ++live; }
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
  void InternalClear() override { *this = Entry(); }
};

// The same element with an Unpack(String) of its own (the base one), so a list hands it each child's printed
// markup: the reference for reading in place; and one that packs itself differently.
class MarkupEntry : public Entry {
 public:
  using Entry::Entry;
  using Entry::Unpack;
  int Unpack(const String& text) override { return Entry::Unpack(text); }
};
class LoudEntry : public Entry {
 public:
  using Entry::Entry;
  String Pack() const override { return "<Loud/>"; }
};

// An element that holds a list of its own kind and notes everything its
// parser shows, moving the cursors about and writing into the parser.
template <class Self>
class Probe : public OVOXMLSupport {
 public:
  explicit Probe(const String& = String()) : OVOXMLSupport("P", kSchema50001) {}
  String seen;
  bool operator==(const Probe& o) const { return seen == o.seen; }

 protected:
  String InternalPack() const override { return OFLTools::MakeXMLNode("Seen", seen, "", true, false); }
  void InternalUnpack(OFLXMLParser& p) override {
    seen += p.GetDoc() + "|" + p.GetSubDoc() + "|" + p.GetData() + "|" + p.GetError() + "|";
    ForEachChild(p, [&](const String& tag, OFLXMLParser& q) {
      seen += "<" + tag + ":" + q.GetChildData() + ":" + q.GetChildSubDoc() + ">";
      int done = -1;
      if (tag == "L") {
        OVOList<Self> nested("L");
        done = nested.Unpack(q);
        seen += nested.Pack();
      } else if (tag == "Top" && !restarted) {  // the walk starts again, once
        restarted = true;
        q.ResetPos();
        done = q.FindElem("P");
      }
      if (tag == "Up") done = q.OutOfElem();
      if (tag == "Next") done = q.FindElem();
      if (tag == "Add") done = q.AddElem("added", "a");
      if (tag == "Set") done = q.SetChildData("set");
      seen += std::to_string(done) + q.GetTagName() + q.GetDoc();
    });
    seen += "|" + p.GetDoc();
  }
  void InternalClear() override { *this = Probe(); }

 private:
  bool restarted = false;
};
class InPlaceProbe : public Probe<InPlaceProbe> {
 public:
  using Probe::Probe;
};
class MarkupProbe : public Probe<MarkupProbe> {
 public:
  using Probe::Probe;
  using OVOXMLSupport::Unpack;
  int Unpack(const String& text) override { return OVOXMLSupport::Unpack(text); }
};

namespace oli = ovo_list_internal;
static_assert(oli::UnpacksInPlace<Entry> && oli::UnpacksInPlace<OVO::Properties>);
static_assert(!oli::UnpacksInPlace<MarkupEntry> && !oli::UnpacksInPlace<OVOProperties>);  // their own Unpack(String)
static_assert(oli::KeepsBasePack<Entry> && !oli::KeepsBasePack<LoudEntry>);

using EntryList = OVOList<Entry>;

// Every class is found by its name and by its object name, which only the two bags share; the names that do not
// follow the rule (the rule group is checked when compiling) are matched letter for letter.
TEST(CatalogueTest, LookupsSchemasAndExceptionsToTheNamingRule) {
  const std::set<std::string_view> schema0 = {
      "OVO::AssetEnergyDay", "OVO::AssetEnergyWeek", "OVO::EnergyManagement::TimeTracking",
      "OVO::EnergyManagement::TimeTracking::CComputer", "OVO::EnergyManagement::TimeTracking::CMonitor",
      "OVO::EnergyManagement::PowerSettings", "OVOSoftwareApplication::DependencyEntry"};
  for (const CatalogueEntry& e : Catalogue()) {
    EXPECT_EQ(FindCatalogueEntry(e.className), &e);
    const CatalogueEntries named = FindCatalogueEntriesByObjectName(e.objectName);
    EXPECT_TRUE(!e.objectName.empty() && named.size() == (e.objectName == "Properties" ? 2u : 1u) &&
                std::any_of(named.begin(), named.end(), [&](const CatalogueEntry& n) { return &n == &e; }))
        << e.className;
    const uint32_t schema = schema0.count(e.className) ? 0u : e.className == "OVO::Properties" ? 0x50002u : 0x50001u;
    EXPECT_EQ(e.schema, schema) << e.className;
  }
  const CatalogueEntries both = FindCatalogueEntriesByObjectName("Properties");
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(String(both[0].className) + "," + String(both[1].className), "OVO::Properties,OVOProperties");
  EXPECT_EQ(kCatalogueSize, 122u);
  const auto at = [](size_t i) { return String(kCatalogue[i].className) + ","; };
  EXPECT_EQ(at(0) + at(kCatalogueRuleCount - 1) + at(kCatalogueRuleCount) + at(kCatalogueSize - 1),
            "OVO::Asset,OVOVars,OVOSystem,CVMProvisioningProfile,");
  const std::map<std::string_view, std::string_view> exceptions = {
      {"OVOSystem", "Client"}, {"OVOGroup", "LogicalGroup"}, {"OVO::InventoryTemplate", "OVOInventoryTemplate"},
      {"OVO::EnergyManagement::TimeTracking::CComputer", "Computer"}, {"OVOAUTWhiteList", "AUTWhitelist"},
      {"OVO::EnergyManagement::PowerSettings", "OVOPowerSettings"}, {"OvoSpv", "SPV"}, {"OVO::Dip", "DIP"},
      {"OvoSqlCondition", "SQLCondition"}, {"COVKVars", "OVSVars"}, {"_OVOLicenseActions", "LicenseActions"},
      {"OVOPTMShortMachinePatchState::_StrongestBaseline", "StrongestBaseline"}};
  for (const auto& [cls, name] : exceptions)
    EXPECT_EQ(FindCatalogueEntry(cls) ? FindCatalogueEntry(cls)->objectName : "not found", name) << cls;
  for (const char* n : {"ovosystem", "OVOList", "", "OVO::Properties "}) EXPECT_EQ(FindCatalogueEntry(n), nullptr) << n;
  EXPECT_TRUE(FindCatalogueEntriesByObjectName("client").empty() && FindCatalogueEntriesByObjectName("System").empty());
}

// Unpack(parser) reads the current child when its tag matches without case, adds to the object (a list appends)
// and leaves both cursors where they were.
TEST(XMLSupportTest, NameSchemaAndParserUnpack) {
  OVOXMLSupport c;
  EXPECT_TRUE(c.GetObjectName().empty() && c.GetSchema() == 0u);
  c = OVOXMLSupport(CatalogueEntryFor("OVOSystem"));
  EXPECT_EQ(c.GetObjectOpeningTag() + c.Pack(), "<Client><Client></Client>");
  EXPECT_TRUE(c.GetSchema() == 0x50001u && c.Unpack("<Client></Client>") == 1);
  EXPECT_EQ(c.Unpack("<System></System>"), 0) << "a \"System\" text is not its own";

  OFLXMLParser p;
  Entry s("n", 5);
  EXPECT_EQ(s.Unpack(p), 0);  // no document
  ASSERT_TRUE(p.SetDoc("<Holder><Other><Rank>5</Rank></Other><entry><Rank>6</Rank></entry>"
                       "<ENTRIES><Entry><Name>second</Name></Entry></ENTRIES><Tail/></Holder>"));
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(s.Unpack(p), 0);  // no current child
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_TRUE(s.Unpack(p) == 0 && p.GetChildTagName() == "Other");
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_TRUE(s.Unpack(p) == 1 && s == Entry("n", 6));
  EXPECT_TRUE(p.GetTagName() == "Holder" && p.GetChildTagName() == "entry" && p.FindChildElem());
  EntryList l("Entries", "<Entries><Entry><Name>first</Name></Entry></Entries>");
  EXPECT_EQ(l.Unpack(p), 1);
  EXPECT_EQ(l.Pack(), "<Entries>" + Entry("first", 0).Pack() + Entry("second", 0).Pack() + "</Entries>");
  EXPECT_TRUE(p.GetChildTagName() == "ENTRIES" && p.FindChildElem() && p.GetChildTagName() == "Tail");
}

class OVOListTest : public ::testing::Test {
 protected:
  void SetUp() override { Entry::live = 0; }
  void TearDown() override { EXPECT_EQ(Entry::live, 0); }
};

// Null elements pack as nothing and an element of a subclass packs itself; a long list of uneven elements with
// hostile values packs as its parts and reads back.
TEST_F(OVOListTest, PacksElementsInListOrderAndReadsThemBack) {
  const char* hostile[] = {"<tag>&amp;</tag>", "a\r\nb", "  ", " lead", "trail\t", "\"'", "\xC3\xA4\xE2\x82\xAC"};
  EntryList l("Entries");
  EXPECT_EQ(l.Pack(), "<Entries></Entries>");
  String want;
  for (int i = 0; i < 3000; ++i) {
    if (i % 500 == 0) l.AddTail(nullptr);
    const size_t size = i % 97 == 0 ? 5000 : i % 13;
    auto* e = new Entry(hostile[i % 7] + String(size, 'x'), 4294967295u - i);
    if (i % 3 == 0) e->kind = "<&\"'> attribute";
    want += e->Pack();
    l.AddTail(e);
  }
  want = "<Entries>" + want + "</Entries>";
  EXPECT_EQ(l.Pack(), want);
  EXPECT_EQ(EntryList("Entries", want).Pack(), want);
  l.AddHead(new LoudEntry);
  String appended = "x";
  l.AppendPack(appended);
  EXPECT_EQ(appended, "x<Entries><Loud/>" + want.substr(9));
}

// A subclass that changes the text through InternalPack alone is honoured
// by Pack, by AppendPack and inside a container.
class CountedEntries : public EntryList {
 public:
  explicit CountedEntries(const String& text = String()) : EntryList("Entries", text) {}

 protected:
  String InternalPack() const override {
    return OFLTools::MakeXMLNode("Count", GetCount()) + EntryList::InternalPack();
  }
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

// A child of another tag, or an element whose root differs in case, is kept cleared.
TEST_F(OVOListTest, UnpackKeepsForeignAndMiscasedChildrenCleared) {
  EntryList l("Entries", "<Entries><Entry><Name>a</Name></Entry><Other><Name>x</Name><Rank>5</Rank></Other>"
                         "<entry><Name>b</Name></entry><Entry><Rank>3</Rank><name>c</name></Entry></Entries>");
  const String cleared = Entry().Pack();
  EXPECT_EQ(l.Pack(), "<Entries>" + Entry("a", 0).Pack() + cleared + cleared + Entry("c", 3).Pack() + "</Entries>");
  EXPECT_TRUE(l.Unpack("<entries><Entry/></entries>") == 0 && l.IsEmpty());
}

// Equal lists have pairwise equal elements in order. The destructor destroys the elements only when the list owns
// them; Clear and Unpack always do.
TEST_F(OVOListTest, EqualityOwnershipAndDestruction) {
  EXPECT_TRUE(EntryList("Entries", "<Entries><Entry/><Entry/></Entries>").GetOwnsElements() && Entry::live == 2);
  Entry* kept = new Entry("k", 1);
  EntryList(String("Entries"), String(), false).AddTail(kept);  // a non-owning list leaves it
  EXPECT_EQ(Entry::live, 1);
  EntryList l("Entries", "<Entries><Entry/></Entries>", false);
  l.AddTail(kept);
  EXPECT_TRUE(l.Unpack("<Entries><Entry><Name>n</Name></Entry></Entries>") == 1 && Entry::live == 1);
  l.Clear();

  EntryList a("Entries"), b("Other"), c("Entries");  // the object name is not compared
  for (EntryList* list : {&a, &b, &c}) list->AddTail(nullptr);
  for (EntryList* list : {&a, &b}) list->AddTail(new Entry("x", 1));
  for (EntryList* list : {&a, &b, &c}) list->AddTail(new Entry("y", 2));
  c.AddTail(new Entry("x", 1));
  EXPECT_TRUE(a == b && a != c);
  delete c.RemoveTail();
  EXPECT_FALSE(a == c);
  b.SetAt(b.GetHeadPosition(), new Entry());  // null elements compare by identity
  EXPECT_FALSE(a == b);
}

// Unpacks `text` into a list of each element type: the same result and the same elements; returns the result.
template <class InPlace, class ViaMarkup>
int ExpectSameUnpack(const String& tag, const String& text) {
  OVOList<InPlace> inPlace(tag);
  OVOList<ViaMarkup> viaMarkup(tag);
  const int result = viaMarkup.Unpack(text);
  EXPECT_EQ(inPlace.Unpack(text), result) << text;
  EXPECT_EQ(inPlace.Pack(), viaMarkup.Pack()) << text;
  return result;
}

TEST_F(OVOListTest, InPlaceUnpackEqualsMarkupUnpack) {
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
  for (const String& text : texts) ExpectSameUnpack<Entry, MarkupEntry>("Entries", text);
}

// An element may look at everything its parser offers, misuse the cursors
// and write into the parser: the result is still that of its own markup.
TEST_F(OVOListTest, AnyUseOfTheParserGivesWhatTheMarkupGives) {
  const std::vector<String> texts = {
      "<L><P>t</P><P><a>1</a><Up/><b>2</b></P><P><Next/><c>3</c></P><Q/><P><Add/><Set/></P></L>",
      "<L><P><L><P><x>deep</x><L><P><Up/><Top/></P></L></P><P><Next/></P></L><y>after</y></P></L>",
      "<L><P>&#10;<a>a</a></P><P><L><P>&#32;<b/></P><P><c>c</c></P></L></P></L>",
      "<L><P a=\"1\"><Set>old</Set><z/></P>\n<P/>\n<P><Top/><Top/></P></L>",
  };
  for (const String& text : texts) EXPECT_EQ((ExpectSameUnpack<InPlaceProbe, MarkupProbe>("L", text)), 1) << text;
}

// A parser its caller changed may print differently from what it loaded;
// then the children's markup is printed as it stands.
TEST_F(OVOListTest, ChangedParserUnpacksAsItsMarkup) {
  OFLXMLParser p;
  ASSERT_TRUE(
      p.SetDoc("<Holder><Entries><Entry><Name>a</Name></Entry><Entry><Name>b</Name></Entry></Entries></Holder>"));
  ASSERT_TRUE(p.FindChildElem() && p.IntoElem() && p.FindChildElem() && p.IntoElem() && p.FindChildElem("Name"));
  // White space beside an element: a reparse drops it.
  ASSERT_TRUE(p.SetChildData("  ") && p.AddChildElem("Rank", "5") && p.SetData(" "));
  p.ResetPos();
  ASSERT_TRUE(p.FindChildElem());
  OVOList<MarkupEntry> viaMarkup("Entries");
  EntryList inPlace("Entries");
  ASSERT_EQ(viaMarkup.Unpack(p), 1);
  ASSERT_EQ(inPlace.Unpack(p), 1);
  EXPECT_EQ(inPlace.Pack(), viaMarkup.Pack());
  EXPECT_EQ(*inPlace.GetHead(), Entry("  ", 5));
}

}  // namespace
}  // namespace orvacmn
