// The object base: text form, unpack tolerance, parser unpacking, copies.
#include "orvacmn/objects/xml_support.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "ofl/tools.h"

namespace orvacmn {
namespace {

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
    String out = OFLTools::MakeXMLNode("GUID", guid, "", true, false) + OFLTools::MakeXMLNode("Count", count) +
                 OFLTools::MakeXMLNode("Delta", delta) + OFLTools::MakeXMLNode("Size", size);
    return flag ? out + OFLTools::MakeXMLNode("Flag", int32_t{1}) : out;
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

TEST(XMLSupportTest, NameSchemaAndCopies) {
  const OVOXMLSupport none;
  EXPECT_EQ(none.GetObjectName(), "");
  EXPECT_EQ(none.GetSchema(), 0u);
  OVOXMLSupport c("Other", 3);
  c = OVOXMLSupport(OVOXMLSupport(CatalogueEntryFor("OVOJob")));
  c = static_cast<const OVOXMLSupport&>(c);
  EXPECT_EQ(c.GetObjectOpeningTag(), "<Job>");
  EXPECT_EQ(c.GetSchema(), 0x50001u);
  EXPECT_EQ(c.Pack(), "<Job></Job>");
}

TEST(XMLSupportTest, PackFormAndRoundTrip) {
  const Sample a = Filled();
  const String packed =
      "<Sample><GUID>6F9619FF-8B86-D011-B42D-00C04FC964FF</GUID><Count>4294967295</Count>"
      "<Delta>-2147483648</Delta><Size>-9223372036854775808</Size><Flag>1</Flag></Sample>";
  EXPECT_EQ(a.Pack(), packed);
  String out = "prefix";
  static_cast<const OVOXMLSupport&>(a).AppendPack(out);
  EXPECT_EQ(out, "prefix" + packed);
  Sample b;
  ASSERT_EQ(b.Unpack(packed), 1);
  EXPECT_EQ(a, b);
  b.Clear();
  EXPECT_EQ(b, Sample());
  for (const char* v : {"<a href=\"x\">&amp;</a>", "line1\r\nline2\rline3\n", "  padded  ", "   ", "\t", "]]>",
                        "caf\xC3\xA9 \xE2\x82\xAC", "&#13;&lt;"}) {
    b.guid = v;
    Sample c;
    ASSERT_EQ(c.Unpack(b.Pack()), 1) << v;
    EXPECT_EQ(c.guid, v);
  }
}

TEST(XMLSupportTest, FailedUnpackGivesZeroAndClearedObject) {
  for (const char* text : {"", "not xml", "<Sample>", "<Other><GUID>x</GUID></Other>", "<sample><GUID>x</GUID></sample>"}) {
    Sample s = Filled();
    EXPECT_EQ(s.Unpack(text), 0) << text;
    EXPECT_EQ(s, Sample()) << text;
  }
}

TEST(XMLSupportTest, UnpackToleratesCaseOrderUnknownNodesAndRepeats) {
  Sample s = Filled();
  ASSERT_EQ(s.Unpack("<?xml version=\"1.0\"?><!-- c --><Sample><Unknown><GUID>inner</GUID></Unknown><count>1</count>"
                     "text<Extra a=\"1\"/><guid>g</guid><COUNT>3</COUNT><fLaG/></Sample>"),
            1);
  Sample want;
  want.guid = "g";
  want.count = 3;  // the later scalar wins; missing nodes keep defaults
  want.flag = true;
  EXPECT_EQ(s, want);
}

// Unpack(parser) reads the current child when its tag matches without case,
// adds to the object and leaves both cursors where they were.
TEST(XMLSupportTest, ParserUnpack) {
  OFLXMLParser p;
  Sample s = Filled();
  EXPECT_EQ(s.Unpack(p), 0);  // no document
  ASSERT_TRUE(p.SetDoc("<Holder><Other><Count>5</Count></Other><sample><Count>6</Count></sample><Tail/></Holder>"));
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(s.Unpack(p), 0);  // no current child
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_EQ(s.Unpack(p), 0);
  EXPECT_EQ(s, Filled());
  EXPECT_EQ(p.GetChildTagName(), "Other");
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_EQ(s.Unpack(p), 1);
  Sample want = Filled();
  want.count = 6;
  EXPECT_EQ(s, want);
  EXPECT_EQ(p.GetTagName(), "Holder");
  EXPECT_EQ(p.GetChildTagName(), "sample");
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_EQ(p.GetChildTagName(), "Tail");
}

}  // namespace
}  // namespace orvacmn
