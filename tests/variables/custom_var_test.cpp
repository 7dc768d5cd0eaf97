#include "orvacmn/variables/custom_var.h"

#include <gtest/gtest.h>

#include <utility>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"

namespace orvacmn {
namespace {

String Node(const char* tag, const String& value) { return OFLTools::MakeXMLNode(tag, value, "", true, false); }

OVOCustomVar Make(const String& scope, const String& category, const String& name, const String& value) {
  OVOCustomVar v;
  v.SetScope(scope);
  v.SetCategory(category);
  v.SetName(name);
  v.SetValue(value);
  return v;
}

TEST(OVOCustomVar, DefaultPacksFourEmptyNodes) {
  OVOCustomVar v;
  EXPECT_EQ(v.GetObjectName(), "CustomVar");
  EXPECT_EQ(v.GetSchema(), 0x50001u);
  EXPECT_EQ(v.Pack(),
            "<CustomVar>" + Node("Scope", "") + Node("Category", "") + Node("Name", "") + Node("Value", "") + "</CustomVar>");
}

TEST(OVOCustomVar, NodeOrderAndHostileRoundTrip) {
  const OVOCustomVar v = Make("__MACHINE__", "<cat & \"q\">", "]]>", "a\r\nb\t \xC3\xA4 &#65;");
  EXPECT_EQ(v.Pack(), "<CustomVar>" + Node("Scope", "__MACHINE__") + Node("Category", "<cat & \"q\">") +
                          Node("Name", "]]>") + Node("Value", "a\r\nb\t \xC3\xA4 &#65;") + "</CustomVar>");
  const OVOCustomVar back(v.Pack());
  EXPECT_EQ(back.GetScope(), "__MACHINE__");
  EXPECT_EQ(back.GetCategory(), "<cat & \"q\">");
  EXPECT_EQ(back.GetName(), "]]>");
  EXPECT_EQ(back.GetValue(), "a\r\nb\t \xC3\xA4 &#65;");
  EXPECT_EQ(back.Pack(), v.Pack());
}

TEST(OVOCustomVar, TagsIgnoreCaseOrderFreeUnknownSkipped) {
  const OVOCustomVar v("<CustomVar><value>1</value><Junk><Name>no</Name></Junk><NAME>n</NAME>"
                       "<scope>s</scope><CATEGORY>c</CATEGORY><Value>2</Value></CustomVar>");
  EXPECT_EQ(v.GetScope(), "s");
  EXPECT_EQ(v.GetCategory(), "c");
  EXPECT_EQ(v.GetName(), "n");
  EXPECT_EQ(v.GetValue(), "2");
}

TEST(OVOCustomVar, WrongRootOrBrokenTextClears) {
  OVOCustomVar v = Make("s", "c", "n", "v");
  EXPECT_EQ(v.Unpack(String("<customvar><Name>x</Name></customvar>")), 0);
  EXPECT_EQ(v.Pack(), OVOCustomVar().Pack());
  v = Make("s", "c", "n", "v");
  EXPECT_EQ(v.Unpack(String("<CustomVar><Name>x</Name>")), 0);
  EXPECT_EQ(v.GetName(), "");
  EXPECT_EQ(OVOCustomVar(String()).Pack(), OVOCustomVar().Pack());
}

TEST(OVOCustomVar, FromParserPosition) {
  OFLXMLParser parser;
  ASSERT_TRUE(parser.SetDoc("<Msg>" + Make("s", "c", "n", "v").Pack() + "</Msg>"));
  ASSERT_TRUE(parser.FindElem("Msg"));
  ASSERT_TRUE(parser.FindChildElem());
  OVOCustomVar v;
  EXPECT_EQ(v.Unpack(parser), 1);
  EXPECT_EQ(v.GetValue(), "v");
}

TEST(OVOCustomVar, CopyAndMoveConstructionAndAssignment) {
  const OVOCustomVar src = Make("s", "c", "n", "v");
  OVOCustomVar copy(src);
  EXPECT_EQ(copy.Pack(), src.Pack());
  OVOCustomVar assigned;
  assigned = src;
  EXPECT_EQ(assigned.Pack(), src.Pack());
  assigned = *&assigned;
  EXPECT_EQ(assigned.Pack(), src.Pack());
  OVOCustomVar moved(std::move(copy));
  EXPECT_EQ(moved.Pack(), src.Pack());
  OVOCustomVar moveAssigned = Make("x", "x", "x", "x");
  moveAssigned = std::move(moved);
  EXPECT_EQ(moveAssigned.Pack(), src.Pack());
  EXPECT_EQ(moveAssigned.GetObjectName(), "CustomVar");
  moveAssigned.Clear();
  EXPECT_EQ(moveAssigned.Pack(), OVOCustomVar().Pack());
}

}  // namespace
}  // namespace orvacmn
