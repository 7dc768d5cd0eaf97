#include "orvacmn/variables/custom_var_def.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/tz.h"
#include "ofl/locale.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

using Def = OVOCustomVarDef;
using DefPtr = std::shared_ptr<OVOCustomVarDef>;
using Names = std::vector<String>;

String Wrap(const String& body) { return "<CustomVarDefList>" + body + "</CustomVarDefList>"; }
DefPtr MakeDef(const String& category, const String& name, const String& data = String(),
               Def::ECustomVarType type = Def::eString, int32_t inherited = 0) {
  auto d = std::make_shared<Def>();
  d->SetGuid(OFL::Tools::GenerateGuid());
  d->SetCategory(category);
  d->SetName(name);
  d->SetData(data);
  d->SetType(type);
  d->SetInherited(inherited);
  return d;
}
// "category:name=data" per definition in list order, marked "^" when inherited.
Names Keys(const OVOCustomVarDefList& list) {
  Names out;
  for (const auto& d : list) out.push_back((d->GetInherited() ? "^" : "") + d->GetDisplayName() + "=" + d->GetData());
  return out;
}
// Every field, so that a swap of two of them shows.
String Fields(const Def& d) {
  return d.Guid() + "|" + d.GetScope() + "|" + d.GetCategory() + "|" + std::to_string(d.GetInherited()) + "|" +
         d.GetName() + "|" + std::to_string(d.GetType()) + "|" + std::to_string(d.GetReadOnly()) + "|" + d.GetData() +
         "|" + d.GetComment() + "|" + d.GetCommentReal();
}

TEST(OVOCustomVarDef, NodeOrderRoundTripDefaultsCopyAndMove) {
  const String text =
      "<CustomVarDef><Guid>0D6D4D6E-1B2A-4C3D-8E9F-A0B1C2D3E4F5</Guid><Scope>__JOB__</Scope><Category>Cat</Category>"
      "<Inherited>1</Inherited><Name>Name</Name><Type>7</Type><ReadOnly>1</ReadOnly><Data>a|b</Data>"
      "<Comment>c1</Comment><CommentReal>c2</CommentReal></CustomVarDef>";
  const Def def(text);
  EXPECT_EQ(Fields(def), "0D6D4D6E-1B2A-4C3D-8E9F-A0B1C2D3E4F5|__JOB__|Cat|1|Name|7|1|a|b|c1|c2");
  EXPECT_EQ(def.Pack(), text);
  EXPECT_EQ(def.GetSchema(), 0x50001u);
  EXPECT_EQ(Def().Pack(),
            "<CustomVarDef><Guid></Guid><Scope></Scope><Category></Category><Inherited>0</Inherited><Name></Name>"
            "<Type>0</Type><ReadOnly>0</ReadOnly><Data></Data><Comment></Comment><CommentReal></CommentReal>"
            "</CustomVarDef>");

  Def hostile;
  hostile.SetGuid("<&>");
  hostile.SetScope("\r\n");
  hostile.SetCategory(" a ");
  hostile.SetName("]]><x>");
  hostile.SetType(static_cast<Def::ECustomVarType>(0xFFFFFFFFu));
  hostile.SetReadOnly(INT32_MIN);
  hostile.SetInherited(-1);
  hostile.SetData("one|two|\"three\"");
  hostile.SetComment(String(3000, '&'));
  hostile.SetCommentReal("\xE2\x82\xAC\t");
  const Def back(hostile.Pack());
  EXPECT_EQ(Fields(back), Fields(hostile));
  EXPECT_EQ(back.Pack(), hostile.Pack());
  Def copy(hostile), assigned, moveAssigned;
  assigned = hostile;
  Def moved(std::move(copy));
  moveAssigned = std::move(moved);
  for (const Def* d : {&assigned, &moveAssigned}) EXPECT_EQ(Fields(*d), Fields(hostile));
  EXPECT_EQ(moveAssigned.GetObjectName(), "CustomVarDef");
  moveAssigned.Clear();
  EXPECT_EQ(moveAssigned.Pack(), Def().Pack());
}

TEST(OVOCustomVarDefUnpack, TagsIgnoreCaseLaterWinsUnknownSkippedNumbers32Bit) {
  EXPECT_EQ(Fields(Def("<CustomVarDef><GUID>g</GUID><name>first</name><Extra><Name>inner</Name></Extra>"
                       "<NAME>second</NAME><type>5</type><readonly>1</readonly><inherited>1</inherited><DATA>d</DATA>"
                       "<comment>c</comment><commentreal>r</commentreal><SCOPE>s</SCOPE><category>k</category>"
                       "</CustomVarDef>")),
            "g|s|k|1|second|5|1|d|c|r");
  EXPECT_EQ(Fields(Def("<CustomVarDef><Type>-2</Type><ReadOnly>99999999999</ReadOnly>"
                       "<Inherited>-99999999999</Inherited></CustomVarDef>")),
            "|||-2147483648||4294967294|2147483647|||");
  EXPECT_EQ(Fields(Def("<CustomVarDef><Type>x</Type><ReadOnly> 1y</ReadOnly></CustomVarDef>")), "|||0||0|1|||");
  Def def = *MakeDef("c", "n", "d", Def::eDate, 1);
  EXPECT_EQ(def.Unpack(String("<customvardef><Name>x</Name></customvardef>")), 0);
  EXPECT_EQ(def.Pack(), Def().Pack());
  EXPECT_EQ(def.Unpack(String("not xml")), 0);
}

TEST(OVOCustomVarDefNames, DisplayNameSplitsBackExactlyTwoPartsOrNothingScopeNamesExact) {
  const std::pair<const char*, const char*> cases[] = {
      {"Inventory:Room", "Inventory|Room"}, {":Room", "|Room"}, {"Cat:", "Cat|"}, {"", "keep|keep"},
      {"NoColon", "keep|keep"}, {"a:b:c", "keep|keep"}, {"::", "keep|keep"}, {"a::", "keep|keep"}};
  for (const auto& [text, want] : cases) {
    String c = "keep", n = "keep";
    EXPECT_EQ(Def::SplitDisplayName(text, c, n), String(want) != "keep|keep") << text;
    EXPECT_EQ(c + "|" + n, want) << text;
  }
  const std::pair<const char*, const char*> scopes[] = {
      {"__MACHINE__", "Client"}, {"__ADOBJECT__", "ADObject"}, {"__PROFILE__", "Profile"}, {"__GROUP__", "Group"},
      {"__SOFTWARE__", "Software"}, {"__COMPONENT__", "Component"}, {"__BULLETIN__", "Bulletin"}, {"__JOB__", "Job"},
      {"__JOBPARAM__", "JobParam"}, {"__Machine__", "__Machine__"}, {"__MACHINE__ ", "__MACHINE__ "}, {"", ""}};
  for (const auto& [code, display] : scopes) EXPECT_EQ(Def::GetScopeDisplayName(code), display) << code;
}

TEST(OVOCustomVarDefTypes, TextsInBothLanguagesAndBackDisplayFormats) {
  const uint16_t saved = OFL::GetResourceLanguage();
  const std::pair<uint16_t, Names> languages[] = {
      {1033, {"String", "On/Off field", "Drop down list", "File name", "Date", "Number", "Folder name",
              "Editable drop down box", "Password", "Certificate"}},
      {1031, {"Zeichenkette", "Ein/Aus Feld", "Auswahlliste", "Dateiname", "Datum", "Zahl", "Verzeichnisname",
              "Editierbares Auswahlfeld", "Passwort", "Zertifikat"}}};
  for (const auto& [lang, texts] : languages) {
    OFL::SetResourceLanguage(lang);
    for (uint32_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(Def::GetStringTypeFromInt(i), texts[i]) << i;
      EXPECT_EQ(Def::GetIntTypeFromString(texts[i]), i) << texts[i];
    }
    EXPECT_TRUE(Def::GetStringTypeFromInt(10) == texts[0] && Def::GetStringTypeFromInt(0xFFFFFFFFu) == texts[0]);
  }
  EXPECT_EQ(Def::GetIntTypeFromString("Number"), 0u) << "texts of the other language are unknown";
  EXPECT_EQ(Def::FormatValueForDisplay(Def::eYesNo, "T") + Def::FormatValueForDisplay(Def::eYesNo, "F"), "JaNein");
  OFL::SetResourceLanguage(1033);
  const std::pair<const char*, uint32_t> lookups[] = {{"on/off FIELD", 1}, {"EDITABLE DROP DOWN BOX", 7},
                                                      {"drop down list", 2}, {"certificate", 9}, {"Drop down", 0},
                                                      {"Number ", 0}, {"", 0}, {"5", 0}};
  for (const auto& [text, type] : lookups) EXPECT_EQ(Def::GetIntTypeFromString(text), type) << text;
  OFLTokenizer list;
  list.AddString("existing");
  Def::GetTypeList(list);
  EXPECT_EQ(list.Items(), (Names{"existing", "String", "Number", "On/Off field", "Editable drop down box",
                                 "Drop down list", "Date", "File name", "Folder name", "Password", "Certificate"}));

  testing::ScopedTZ tz(testing::kCentralEurope);
  const auto oldLcid = OFL::Locale::GetSystemDefaultLCID();
  OFL::Locale::SetSystemDefaultLCID(1031);
  const std::tuple<uint32_t, const char*, const char*> cases[] = {
      {Def::eYesNo, "T", "Yes"},   {Def::eYesNo, "t", "Yes"},     {Def::eYesNo, "F", "No"},
      {Def::eYesNo, "", "No"},     {Def::eYesNo, "True", "No"},   {Def::ePassword, "", "****"},
      {Def::eDate, "", ""},        {Def::ePassword, "secret", "****"}, {Def::eDate, "not a date", ""},
      {Def::eDate, "03/12/2024", "12.03.2024"}};
  for (const auto& [type, value, want] : cases)
    EXPECT_EQ(Def::FormatValueForDisplay(static_cast<Def::ECustomVarType>(type), value), want) << type << value;
  for (const uint32_t type : {0u, 2u, 3u, 5u, 6u, 7u, 9u, 10u, 0xFFFFFFFFu})
    EXPECT_EQ(Def::FormatValueForDisplay(static_cast<Def::ECustomVarType>(type), "T"), "T") << type;
  const DefPtr d = MakeDef("c", "n", "03/12/2024", Def::eDate);
  EXPECT_EQ(d->GetDataForDisplay(), "12.03.2024");
  d->SetType(Def::eString);
  EXPECT_EQ(d->GetDataForDisplay(), "03/12/2024");
  OFL::Locale::SetSystemDefaultLCID(oldLcid);
  OFL::SetResourceLanguage(saved);
}

TEST(OVOCustomVarDefList, PackOwnOnlyRoundTripAndUnpackReleasesPreviousButNotShared) {
  OVOCustomVarDefList list;
  EXPECT_EQ(list.Pack(), Wrap(""));
  const DefPtr inherited = MakeDef("c", "b", "<&>", Def::eList, 1), own = MakeDef("c", "a", "x", Def::eDate);
  const DefPtr odd = MakeDef("C", "B", "dup", Def::eString, -3);  // any non-zero is inherited
  for (const DefPtr& d : {inherited, own, odd}) list.AddTail(d);
  EXPECT_EQ(list.AddTail(nullptr), list.end());
  EXPECT_EQ(list.Pack(), Wrap(inherited->Pack() + own->Pack() + odd->Pack()));
  EXPECT_EQ(list.Pack(false), list.Pack());
  EXPECT_EQ(list.Pack(true), Wrap(own->Pack()));
  OVOCustomVarDefList back(list.Pack());
  EXPECT_EQ(Keys(back), (Names{"^c:b=<&>", "c:a=x", "^C:B=dup"}));
  EXPECT_TRUE(back == list);

  ASSERT_EQ(list.Unpack(Wrap("<customvardef><name>one</name><TYPE>2</TYPE></customvardef>"
                             "<Other><CustomVarDef><Name>nested</Name></CustomVarDef></Other>"
                             "<CUSTOMVARDEF><Name>two</Name><Inherited>1</Inherited></CUSTOMVARDEF>junk")),
            1);
  EXPECT_EQ(Keys(list), (Names{":one=", "^:two="}));
  EXPECT_EQ((*list.begin())->GetType(), Def::eList);
  EXPECT_EQ(own.use_count(), 1);
  EXPECT_EQ(own->GetData(), "x");
  list.RemoveAt(list.begin());
  EXPECT_EQ(list.Pack(true), Wrap("")) << "all inherited";
  EXPECT_EQ(list.Unpack(String("<Other/>")), 0);
  EXPECT_TRUE(list.IsEmpty());
}

TEST(OVOCustomVarDefList, FindIsCaseInsensitiveFirstMatchEqualityIsByTextMoveTransfers) {
  OVOCustomVarDefList list;
  const DefPtr a = MakeDef("Inv", "Room"), b = MakeDef("INV", "ROOM", "second");
  for (const DefPtr& d : {MakeDef("Inv", "Other"), a, b}) list.AddTail(d);
  OVOCustomVarDefList::Position pos = list.end();
  EXPECT_EQ(list.Find("inv", "room", &pos), a);
  ASSERT_NE(pos, list.end());
  EXPECT_EQ(*pos, a);
  list.RemoveAt(pos);
  EXPECT_EQ(list.Find("inv", "room"), b);
  pos = list.begin();
  EXPECT_TRUE(!list.Find("Inv", "Missing", &pos) && pos == list.begin() && !list.Find("Room", "Inv"));
  EXPECT_EQ(std::as_const(list).Find("INV", "room")->GetData(), "second");

  OVOCustomVarDefList same;
  EXPECT_FALSE(same == list);
  for (const auto& d : list) same.AddTail(std::make_shared<Def>(*d));
  EXPECT_TRUE(same == list);
  same.Find("inv", "other")->SetInherited(1);
  EXPECT_TRUE(same != list);
  OVOCustomVarDefList moved(std::move(list)), c;
  c = std::move(moved);
  EXPECT_EQ(c.Find("inv", "room"), b);
  EXPECT_EQ(c.GetObjectName(), "CustomVarDefList");
}

TEST(OVOCustomVarDefList, MergeAppendsSharedMarksInheritedOverwriteRereads) {
  OVOCustomVarDefList parent, child;
  const DefPtr mine = MakeDef("Cat", "Name", "mine"), own = MakeDef("c", "own", "mine");
  const DefPtr theirs = MakeDef("CAT", "NAME", "theirs", Def::eYesNo), p1 = MakeDef("c", "p1", "parent");
  theirs->SetComment("from parent");
  for (const DefPtr& d : {mine, own}) child.AddTail(d);
  for (const DefPtr& d : {theirs, p1}) parent.AddTail(d);

  child.Merge(parent, false, false);
  EXPECT_EQ(Keys(child), (Names{"Cat:Name=mine", "c:own=mine", "^c:p1=parent"}));
  EXPECT_EQ(Keys(parent), (Names{"^CAT:NAME=theirs", "^c:p1=parent"})) << "marked on the shared objects";
  EXPECT_EQ(child.Find("c", "p1"), p1);
  child.Merge(parent, true, false);
  EXPECT_EQ(Keys(child), (Names{"^CAT:NAME=theirs", "c:own=mine", "^c:p1=parent"}));
  EXPECT_EQ(*child.begin(), mine);  // same object, new content
  EXPECT_EQ(Fields(*mine), Fields(*theirs));
  child.Merge(parent, false, true);
  EXPECT_EQ(Keys(child), (Names{"^CAT:NAME=theirs", "^c:own=mine", "^c:p1=parent"}));
}

TEST(OVOCustomVarDefList, SharedDefinitionOutlivesAListMergeIntoItselfFoldsDuplicates) {
  std::weak_ptr<Def> weak;
  OVOCustomVarDefList a, b;
  {
    OVOCustomVarDefList source;
    const DefPtr d = MakeDef("c", "n", "payload");
    weak = d;
    source.AddTail(d);
    a.Merge(source, false, false);
    b.Merge(source, false, false);
  }
  ASSERT_FALSE(weak.expired());
  EXPECT_EQ(a.Find("c", "n"), b.Find("c", "n"));
  a.DeleteObjects();
  ASSERT_FALSE(weak.expired());
  EXPECT_EQ(b.Find("c", "n")->GetData(), "payload");
  b.Clear();
  EXPECT_TRUE(weak.expired());

  // Into itself only the marks change.
  OVOCustomVarDefList list;
  for (const char* n : {"a", "b"}) list.AddTail(MakeDef("c", n, n));
  list.Merge(list, true, false);
  EXPECT_EQ(Keys(list), (Names{"^c:a=a", "^c:b=b"}));
  // Duplicates in the other list fold into one.
  OVOCustomVarDefList other, kept, overwritten;
  const DefPtr first = MakeDef("c", "n", "first");
  other.AddTail(first);
  other.AddTail(MakeDef("C", "N", "second"));
  kept.Merge(other, false, false);
  EXPECT_EQ(Keys(kept), (Names{"^c:n=first"}));
  EXPECT_EQ(kept.Find("c", "n"), first);
  overwritten.Merge(other, true, false);
  EXPECT_EQ(Keys(overwritten), (Names{"^C:N=second"})) << "the later one is re-read into the appended one";
}

TEST(OVOCustomVarDefList, LargeListsMergeByKey) {
  OVOCustomVarDefList mine, parent;
  constexpr int kCount = 20000;
  for (int i = 0; i < kCount; ++i) mine.AddTail(MakeDef("c", "n" + std::to_string(i), "mine"));
  for (int i = kCount / 2; i < kCount + kCount / 2; ++i) parent.AddTail(MakeDef("C", "N" + std::to_string(i), "p"));
  mine.Merge(parent, false, true);
  EXPECT_EQ(mine.GetCount(), kCount + kCount / 2);
  EXPECT_EQ(mine.Find("c", "n0")->GetData() + mine.Find("c", "n" + std::to_string(kCount - 1))->GetData() +
                mine.Find("c", "n" + std::to_string(kCount))->GetData(),
            "mineminep");
  EXPECT_EQ(mine.Pack(true), Wrap(""));
}

}  // namespace
}  // namespace orvacmn
