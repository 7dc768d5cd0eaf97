// Records the library does not interpret: a foreign record survives load and save byte for byte, key fields read
// and written at their place, the typed field kinds, and the table every class stands in.
#include "orvacmn/records/keyed_records.h"

#include <gtest/gtest.h>

#include <string>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "orvacmn/jobs/job_step_objects.h"

namespace {

using orvacmn::OVOBundle;
using orvacmn::OVOObjectRights;
using orvacmn::OVOOrgUnit;
using orvacmn::OVOPTMPatch;
using orvacmn::String;
namespace OVO = orvacmn::OVO;

String Replace(String text, const String& from, const String& to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

const String kForeign =
    "<Bundle version=\"2\" owner='x &amp; y'>\n"
    "  <!-- written elsewhere -->\n"
    "  <Name>N &amp; M&#65;</Name>\n"
    "  <Extra x='&lt;' y=\"'\"><Inner>t&#x41;&apos;</Inner><![CDATA[raw <b>]]><Empty/><Empty></Empty></Extra>\n"
    "  <guid>G1</guid><?pi data?>\n"
    "  loose text\n"
    "</Bundle >";

TEST(KeptChildren, AForeignRecordPacksBackByteForByteAndReadsItsKeyFields) {
  OVOBundle b("<?xml version=\"1.0\"?>\n<!-- before -->" + kForeign + "\n");
  EXPECT_EQ(b.GetGUID(), "G1");
  EXPECT_EQ(b.GetName(), "N & MA");
  ASSERT_EQ(b.GetChildren().size(), 1u);
  EXPECT_EQ(b.GetChildren()[0],
            "<Extra x='&lt;' y=\"'\"><Inner>t&#x41;&apos;</Inner><![CDATA[raw <b>]]><Empty/><Empty></Empty></Extra>");
  EXPECT_EQ(b.Pack(), kForeign);
  EXPECT_EQ(OVOBundle(b.Pack()).Pack(), kForeign);

  // A changed field is written in place from its value; an unchanged one as it came.
  b.SetGUID("G<2>");
  const String changed = Replace(kForeign, "<guid>G1</guid>", "<GUID>G&lt;2&gt;</GUID>");
  EXPECT_EQ(b.Pack(), changed);
  EXPECT_EQ(OVOBundle(changed).GetGUID(), "G<2>");
  b.SetGUID("G1");
  EXPECT_EQ(b.Pack(), kForeign);
  EXPECT_EQ(b.GetFieldText("NAME"), "N & MA");
  EXPECT_TRUE(b.SetFieldText("name", ""));
  EXPECT_FALSE(b.SetFieldText("Extra", "x"));
  EXPECT_EQ(b.GetFieldText("Extra"), "");
  EXPECT_EQ(b.Pack(), Replace(kForeign, "<Name>N &amp; M&#65;</Name>", "<Name></Name>"));
}

TEST(KeptChildren, FieldsTheTextLacksComeFirstAndDuplicatesKeepTheLastOccurrence) {
  OVOBundle b;
  EXPECT_EQ(b.Pack(), "<Bundle></Bundle>");
  b.SetName("n");
  EXPECT_EQ(b.Pack(), "<Bundle><Name>n</Name></Bundle>");
  b.SetGUID("g");
  EXPECT_EQ(b.Pack(), "<Bundle><GUID>g</GUID><Name>n</Name></Bundle>");

  ASSERT_EQ(b.Unpack("<Bundle><X/><GUID>a</GUID><Y/><GUID>b</GUID></Bundle>"), 1);
  EXPECT_EQ(b.GetGUID(), "b");
  EXPECT_EQ(b.GetChildren().size(), 2u);
  b.SetName("n");
  b.SetGUID("c");
  EXPECT_EQ(b.Pack(), "<Bundle><Name>n</Name><X/><GUID>a</GUID><Y/><GUID>c</GUID></Bundle>");
  EXPECT_EQ(OVOBundle(b.Pack()).GetGUID(), "c");

  // An empty-element root stays one until something goes inside.
  ASSERT_EQ(b.Unpack("<Bundle a=\"1\" />"), 1);
  EXPECT_EQ(b.Pack(), "<Bundle a=\"1\" />");
  b.SetGUID("g");
  EXPECT_EQ(b.Pack(), "<Bundle a=\"1\" ><GUID>g</GUID></Bundle>");
  b.AddChild("<Z/>");
  EXPECT_EQ(b.Pack(), "<Bundle a=\"1\" ><GUID>g</GUID><Z/></Bundle>");
}

TEST(KeptChildren, WrongRootsAndMalformedTextsLeaveTheRecordCleared) {
  OVOBundle b(kForeign);
  for (const char* text : {"", "<Bundles><GUID>x</GUID></Bundles>", "<bundle><GUID>x</GUID></bundle>",
                           "<Bundle><GUID>x</GUID>", "<Bundle><GUID>x</GUID></Bundle><Bundle/>", "GUID"}) {
    EXPECT_EQ(b.Unpack(text), 0) << text;
    EXPECT_EQ(b.Pack(), "<Bundle></Bundle>") << text;
    EXPECT_TRUE(b.GetGUID().empty() && b.GetChildren().empty());
  }
  b.SetGUID("g");
  b.AddChild("<Z/>");
  b.Clear();
  EXPECT_EQ(b.Pack(), "<Bundle></Bundle>");
}

TEST(KeptChildren, ReadInPlaceKeepsEachElementAsTheParserPrintsIt) {
  OFLXMLParser p("<r><Bundle a='1'><X y='&#65;'>t</X> text <GUID>g</GUID><Z></Z></Bundle></r>");
  ASSERT_TRUE(p.FindElem() && p.FindChildElem());
  OVOBundle b;
  ASSERT_EQ(b.Unpack(p), 1);
  EXPECT_EQ(b.GetGUID(), "g");
  EXPECT_EQ(b.Pack(), "<Bundle><X y=\"A\">t</X><GUID>g</GUID><Z/></Bundle>");
  EXPECT_EQ(OVOBundle(b.Pack()).Pack(), b.Pack());
  // A blank written as a reference, in a document read without decoding
  // (it holds a NUL reference), is no blank text that a next reading drops.
  OFLXMLParser q("<r><N>&#0;</N><Bundle><X>&#32;<Y/></X></Bundle></r>");
  ASSERT_TRUE(q.FindElem() && q.FindChildElem("Bundle"));
  OVOBundle first, second;
  ASSERT_EQ(first.Unpack(q), 1);
  OFLXMLParser again("<r>" + first.Pack() + "</r>");
  ASSERT_TRUE(again.FindElem() && again.FindChildElem());
  ASSERT_EQ(second.Unpack(again), 1);
  EXPECT_EQ(second.Pack(), first.Pack());
  // So does a job step holding a record.
  const String step = "<BootEnvironment><Name>PE</Name><GUID>g</GUID><Drivers a=\"1\"/></BootEnvironment>";
  orvacmn::OVOBootEnvironment boot(step);
  EXPECT_EQ(boot.GetGUID(), "g");
  EXPECT_EQ(boot.GetName(), "PE");
  EXPECT_EQ(boot.Pack(), step);
}

TEST(KeptChildren, TypedFieldsConvertTheirText) {
  OVOOrgUnit ou("<OrgUnit><SupportedObjects>99999999999</SupportedObjects><objectrights><AccessEntry>"
                "<SecurityProfile>P</SecurityProfile><Rights>2</Rights></AccessEntry></objectrights></OrgUnit>");
  EXPECT_EQ(ou.GetSupportedObjects(), 0xFFFFFFFFu);
  EXPECT_EQ(ou.GetObjectRights().GetRights("p"), 2u);
  OVOObjectRights rights = ou.GetObjectRights();
  rights.SetRights("Q", 1);
  ou.SetObjectRights(rights);
  ou.SetSupportedObjects(0x10002);
  const OVOOrgUnit back(ou.Pack());
  EXPECT_EQ(back.GetSupportedObjects(), 0x10002u);
  EXPECT_EQ(back.GetObjectRights(), rights);
  EXPECT_TRUE(OVOOrgUnit().GetObjectRights().IsEmpty());
  EXPECT_TRUE(OVOOrgUnit("<OrgUnit><ObjectRights>x</ObjectRights></OrgUnit>").GetObjectRights().IsEmpty());

  OVOPTMPatch patch("<PTMPatch><ReleaseLevel>400</ReleaseLevel><Bulletin>MS-1</Bulletin></PTMPatch>");
  EXPECT_EQ(patch.GetReleaseLevel().ToInt(), 400);
  EXPECT_EQ(patch.GetBulletin(), "MS-1");
  EXPECT_EQ(OVOPTMPatch().GetReleaseLevel().ToInt(), 200);
  EXPECT_EQ(OVOPTMPatch("<PTMPatch><ReleaseLevel>42</ReleaseLevel></PTMPatch>").GetReleaseLevel().ToInt(), 200);
  patch.SetReleaseLevel(orvacmn::OVOReleaseLevel::eReleased);
  EXPECT_EQ(patch.Pack(), "<PTMPatch><ReleaseLevel>500</ReleaseLevel><Bulletin>MS-1</Bulletin></PTMPatch>");
}

TEST(KeyedRecords, EveryClassHasItsCataloguePairKeyFieldsAndARoundTrip) {
  ASSERT_EQ(std::size(orvacmn::kKeyedRecordClasses), 32u);
  for (const orvacmn::KeyedRecordClass& c : orvacmn::kKeyedRecordClasses) {
    SCOPED_TRACE(std::string(c.className));
    const orvacmn::CatalogueEntry* entry = orvacmn::FindCatalogueEntry(c.className);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(orvacmn::FindKeyedRecordClass(c.className), &c);
    const auto record = c.create();
    EXPECT_EQ(record->GetObjectName(), entry->objectName);
    EXPECT_EQ(record->GetSchema(), entry->schema);
    ASSERT_EQ(record->GetFields().size(), c.fields.size());
    const String name(entry->objectName);
    EXPECT_EQ(record->Pack(), String("<").append(name).append("></").append(name).append(">"));
    // Every text field reads back; its tag in another case is the same field.
    for (const orvacmn::KeptField& f : c.fields) {
      if (f.kind != orvacmn::KeptField::kText) continue;
      EXPECT_TRUE(record->SetFieldText(OFL::ToLower(f.tag), "v " + String(f.tag)));
    }
    const auto back = c.create();
    ASSERT_EQ(back->Unpack(record->Pack()), 1);
    EXPECT_TRUE(*back == *record);
    for (const orvacmn::KeptField& f : c.fields) {
      if (f.kind != orvacmn::KeptField::kText) continue;
      EXPECT_EQ(back->GetFieldText(f.tag), "v " + String(f.tag));
    }
  }
  EXPECT_EQ(orvacmn::FindKeyedRecordClass("OVOJob"), nullptr);
  const orvacmn::KeyedRecordClass* asset = orvacmn::FindKeyedRecordClass("OVO::Asset");
  ASSERT_NE(asset, nullptr);
  String keys;
  for (const orvacmn::KeptField& f : asset->fields)
    if (f.key) keys += String(f.tag) + ";";
  EXPECT_EQ(keys, "GUID;AssetOwner;AssetType;");
  OVO::AssetReference ref;
  ref.SetTargetType(51);
  EXPECT_EQ(ref.Pack(), "<AssetReference><TargetType>51</TargetType></AssetReference>");
}

}  // namespace
