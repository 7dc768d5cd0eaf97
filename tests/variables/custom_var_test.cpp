#include "orvacmn/variables/custom_var.h"

#include <gtest/gtest.h>

#include <utility>

#include "ofl/xml_parser.h"

namespace orvacmn {
namespace {

String Packed(const String& scope, const String& category, const String& name, const String& value) {
  return "<CustomVar><Scope>" + scope + "</Scope><Category>" + category + "</Category><Name>" + name +
         "</Name><Value>" + value + "</Value></CustomVar>";
}
String Fields(const OVOCustomVar& v) {
  return v.GetScope() + "|" + v.GetCategory() + "|" + v.GetName() + "|" + v.GetValue();
}

TEST(OVOCustomVar, NodeOrderHostileRoundTripAndTolerantUnpack) {
  EXPECT_EQ(OVOCustomVar().Pack(), Packed("", "", "", ""));
  EXPECT_EQ(OVOCustomVar(Packed("s", "c", "n", "v")).Pack(), Packed("s", "c", "n", "v"));
  EXPECT_EQ(OVOCustomVar().GetSchema(), 0x50001u);
  OVOCustomVar v;
  v.SetScope("__MACHINE__");
  v.SetCategory("<cat & \"q\">");
  v.SetName("]]>");
  v.SetValue("a\r\nb\t \xC3\xA4 &#65;");
  EXPECT_EQ(Fields(OVOCustomVar(v.Pack())), "__MACHINE__|<cat & \"q\">|]]>|a\r\nb\t \xC3\xA4 &#65;");
  // Tags ignore case and order, unknown ones are skipped; bad texts leave the object cleared.
  EXPECT_EQ(Fields(OVOCustomVar("<CustomVar><value>1</value><Junk><Name>no</Name></Junk><NAME>n</NAME>"
                                "<scope>s</scope><CATEGORY>c</CATEGORY><Value>2</Value></CustomVar>")),
            "s|c|n|2");
  for (const char* bad : {"<customvar><Name>x</Name></customvar>", "<CustomVar><Name>x</Name>", ""}) {
    OVOCustomVar full(Packed("s", "c", "n", "v"));
    EXPECT_EQ(full.Unpack(String(bad)), 0) << bad;
    EXPECT_EQ(Fields(full), "|||") << bad;
    EXPECT_EQ(Fields(OVOCustomVar(String(bad))), "|||") << bad;
  }
  OFLXMLParser parser;
  ASSERT_TRUE(parser.SetDoc("<Msg>" + Packed("s", "c", "n", "v") + "</Msg>"));
  ASSERT_TRUE(parser.FindElem("Msg"));
  ASSERT_TRUE(parser.FindChildElem());
  EXPECT_EQ(v.Unpack(parser), 1);
  EXPECT_EQ(Fields(v), "s|c|n|v");
}

TEST(OVOCustomVar, CopyAndMoveConstructionAndAssignment) {
  const OVOCustomVar src(Packed("s", "c", "n", "v"));
  OVOCustomVar copy(src), assigned, moveAssigned(Packed("x", "x", "x", "x"));
  assigned = src;
  assigned = *&assigned;
  OVOCustomVar moved(std::move(copy));
  moveAssigned = std::move(moved);
  for (const OVOCustomVar* v : {&assigned, &moveAssigned}) EXPECT_EQ(Fields(*v), "s|c|n|v");
  EXPECT_EQ(moveAssigned.GetObjectName(), "CustomVar");
  moveAssigned.Clear();
  EXPECT_EQ(moveAssigned.Pack(), OVOCustomVar().Pack());
}

}  // namespace
}  // namespace orvacmn
