// The object base: text form, unpack tolerance, parser unpacking, copies.
#include "orvacmn/objects/xml_support.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "ofl/tools.h"

namespace orvacmn {
namespace {

// An internal-style object with one field of each kind the conventions name.
class Sample : public OVOXMLSupport {
 public:
  Sample() : OVOXMLSupport("Sample", kSchema50001) {}

  String guid;
  uint32_t count = 7;
  int32_t delta = -1;
  int64_t size = 0;
  bool flag = false;  // written only when set, read by presence

  bool operator==(const Sample& o) const {
    return guid == o.guid && count == o.count && delta == o.delta && size == o.size && flag == o.flag;
  }

 protected:
  String InternalPack() const override {
    String out = OFLTools::MakeXMLNode("GUID", guid, "", true, false);
    out += OFLTools::MakeXMLNode("Count", count);
    out += OFLTools::MakeXMLNode("Delta", delta);
    out += OFLTools::MakeXMLNode("Size", size);
    if (flag) out += OFLTools::MakeXMLNode("Flag", int32_t{1});
    return out;
  }
  void InternalUnpack(OFLXMLParser& parser) override {
    ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
      if (OFL::EqualsNoCase(tag, "GUID")) guid = p.GetChildData();
      else if (OFL::EqualsNoCase(tag, "Count")) count = OFLTools::AToUL(p.GetChildData());
      else if (OFL::EqualsNoCase(tag, "Delta")) delta = OFL::CRT::atol(p.GetChildData());
      else if (OFL::EqualsNoCase(tag, "Size")) size = OFLTools::AToLL(p.GetChildData());
      else if (OFL::EqualsNoCase(tag, "Flag")) flag = true;
    });
  }
  void InternalClear() override { *this = Sample(); }
};

Sample Filled() {
  Sample s;
  s.guid = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
  s.count = 4294967295u;
  s.delta = INT32_MIN;
  s.size = INT64_MIN;
  s.flag = true;
  return s;
}

TEST(XMLSupportTest, DefaultAndNamedConstruction) {
  const OVOXMLSupport none;
  EXPECT_EQ(none.GetObjectName(), "");
  EXPECT_EQ(none.GetSchema(), 0u);
  const OVOXMLSupport job(CatalogueEntryFor("OVOJob"));
  EXPECT_EQ(job.GetObjectName(), "Job");
  EXPECT_EQ(job.GetSchema(), 0x50001u);
  EXPECT_EQ(job.GetObjectOpeningTag(), "<Job>");
}

TEST(XMLSupportTest, ObjectWithoutFieldsPacksToItsTags) {
  const OVOXMLSupport o("Empty", 0);
  EXPECT_EQ(o.Pack(), "<Empty></Empty>");
}

TEST(XMLSupportTest, CopyAndAssignmentCarryNameAndSchema) {
  const OVOXMLSupport a("Client", 0x50001);
  OVOXMLSupport b(a);
  EXPECT_EQ(b.GetObjectName(), "Client");
  EXPECT_EQ(b.GetSchema(), 0x50001u);
  OVOXMLSupport c("Other", 3);
  c = a;
  EXPECT_EQ(c.GetObjectName(), "Client");
  EXPECT_EQ(c.GetSchema(), 0x50001u);
  OVOXMLSupport& self = c;
  c = self;
  EXPECT_EQ(c.GetObjectName(), "Client");
  EXPECT_EQ(c.GetSchema(), 0x50001u);
}

TEST(XMLSupportTest, PackWritesFieldsInOrderWithoutWhitespace) {
  Sample s = Filled();
  EXPECT_EQ(s.Pack(),
            "<Sample><GUID>6F9619FF-8B86-D011-B42D-00C04FC964FF</GUID><Count>4294967295</Count>"
            "<Delta>-2147483648</Delta><Size>-9223372036854775808</Size><Flag>1</Flag></Sample>");
}

TEST(XMLSupportTest, RoundTripKeepsEveryField) {
  const Sample a = Filled();
  Sample b;
  ASSERT_EQ(b.Unpack(a.Pack()), 1);
  EXPECT_EQ(a, b);
  EXPECT_EQ(b.Pack(), a.Pack());
}

TEST(XMLSupportTest, HostileStringValuesRoundTrip) {
  for (const String v : {"<a href=\"x\">&amp;</a>", "line1\r\nline2\rline3\n", "  padded  ", "   ", "\t",
                         "]]>", "caf\xC3\xA9 \xE2\x82\xAC", "'\"&<>", "&#13;&lt;"}) {
    Sample a;
    a.guid = v;
    Sample b;
    ASSERT_EQ(b.Unpack(a.Pack()), 1) << v;
    EXPECT_EQ(b.guid, v);
  }
}

TEST(XMLSupportTest, EmptyMalformedOrForeignTextGivesZeroAndClearedObject) {
  for (const String text : {"", "not xml", "<Sample>", "<Other><GUID>x</GUID></Other>", "<sample><GUID>x</GUID></sample>"}) {
    Sample s = Filled();
    EXPECT_EQ(s.Unpack(text), 0) << text;
    EXPECT_EQ(s, Sample()) << text;
  }
}

TEST(XMLSupportTest, ChildTagsMatchWithoutCase) {
  Sample a, b;
  ASSERT_EQ(a.Unpack("<Sample><GUID>g</GUID><Count>3</Count><Flag>1</Flag></Sample>"), 1);
  ASSERT_EQ(b.Unpack("<Sample><guid>g</guid><COUNT>3</COUNT><fLaG/></Sample>"), 1);
  EXPECT_EQ(a, b);
  EXPECT_EQ(b.guid, "g");
  EXPECT_EQ(b.count, 3u);
  EXPECT_TRUE(b.flag);
}

TEST(XMLSupportTest, UnknownNodesAndOrderDoNotMatter) {
  Sample a, b;
  ASSERT_EQ(a.Unpack("<Sample><GUID>g</GUID><Count>3</Count><Delta>-5</Delta></Sample>"), 1);
  ASSERT_EQ(b.Unpack("<Sample><Unknown><GUID>inner</GUID></Unknown><Delta>-5</Delta>text<Extra a=\"1\"/>"
                     "<Count>3</Count><GUID>g</GUID></Sample>"),
            1);
  EXPECT_EQ(a, b);
}

TEST(XMLSupportTest, MissingNodesKeepDefaultsAndLaterScalarWins) {
  Sample s = Filled();
  ASSERT_EQ(s.Unpack("<Sample><Count>1</Count><Count>2</Count></Sample>"), 1);
  EXPECT_EQ(s.count, 2u);
  EXPECT_EQ(s.guid, "");
  EXPECT_EQ(s.delta, -1);
  EXPECT_FALSE(s.flag);
}

TEST(XMLSupportTest, RootIsFoundAmongSiblingsByExactName) {
  Sample s;
  EXPECT_EQ(s.Unpack("<?xml version=\"1.0\"?><!-- c --><Sample><Count>9</Count></Sample>"), 1);
  EXPECT_EQ(s.count, 9u);
}

TEST(XMLSupportTest, ParserUnpackWithOtherChildNameLeavesParserAndObject) {
  OFLXMLParser p;
  ASSERT_TRUE(p.SetDoc("<Holder><Other><Count>5</Count></Other><Sample><Count>6</Count></Sample></Holder>"));
  ASSERT_TRUE(p.FindElem());
  ASSERT_TRUE(p.FindChildElem());
  Sample s = Filled();
  EXPECT_EQ(s.Unpack(p), 0);
  EXPECT_EQ(s, Filled());
  EXPECT_EQ(p.GetChildTagName(), "Other");
  EXPECT_EQ(p.GetTagName(), "Holder");
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_EQ(p.GetChildTagName(), "Sample");
}

TEST(XMLSupportTest, ParserUnpackIgnoresCaseDoesNotClearAndRestoresCursors) {
  OFLXMLParser p;
  ASSERT_TRUE(p.SetDoc("<Holder><sample><Count>6</Count></sample><Tail/></Holder>"));
  ASSERT_TRUE(p.FindChildElem());
  Sample s = Filled();
  EXPECT_EQ(s.Unpack(p), 1);
  EXPECT_EQ(s.count, 6u);
  EXPECT_EQ(s.guid, Filled().guid);  // not cleared first
  EXPECT_TRUE(s.flag);
  EXPECT_EQ(p.GetTagName(), "Holder");
  EXPECT_EQ(p.GetChildTagName(), "sample");
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_EQ(p.GetChildTagName(), "Tail");
}

TEST(XMLSupportTest, ParserWithoutChildGivesZero) {
  OFLXMLParser p;
  Sample s;
  EXPECT_EQ(s.Unpack(p), 0);
  ASSERT_TRUE(p.SetDoc("<Holder/>"));
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(s.Unpack(p), 0);
}

TEST(XMLSupportTest, NestedObjectRoundTripsThroughChildMarkup) {
  // A holder writes a nested object with its Pack and reads it from the
  // child's markup, as the conventions prescribe.
  const Sample inner = Filled();
  const String text = "<Holder><Name>n</Name>" + inner.Pack() + "</Holder>";
  OFLXMLParser p;
  ASSERT_TRUE(p.SetDoc(text));
  ASSERT_TRUE(p.FindElem("Holder"));
  Sample read;
  while (p.FindChildElem()) {
    if (OFL::EqualsNoCase(p.GetChildTagName(), "Sample")) {
      EXPECT_EQ(read.Unpack(p.GetChildSubDoc()), 1);
    }
  }
  EXPECT_EQ(read, inner);
}

TEST(XMLSupportTest, AppendPackAppendsExactlyPack) {
  const Sample s = Filled();
  String out = "prefix";
  s.AppendPack(out);
  EXPECT_EQ(out, "prefix" + s.Pack());
  const OVOXMLSupport& base = s;
  String viaBase;
  base.AppendPack(viaBase);
  EXPECT_EQ(viaBase, s.Pack());
}

TEST(XMLSupportTest, ClearRestoresDefaults) {
  Sample s = Filled();
  s.Clear();
  EXPECT_EQ(s, Sample());
}

}  // namespace
}  // namespace orvacmn
