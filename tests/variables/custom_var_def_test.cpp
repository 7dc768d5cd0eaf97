#include "orvacmn/variables/custom_var_def.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "ofl/locale.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

using Def = OVOCustomVarDef;
using DefPtr = std::shared_ptr<OVOCustomVarDef>;

String Node(const char* tag, const String& value) { return OFLTools::MakeXMLNode(tag, value, "", true, false); }

DefPtr MakeDef(const String& category, const String& name, const String& data = String(),
               Def::ECustomVarType type = Def::eString, int32_t inherited = 0) {
  auto d = std::make_shared<Def>();
  d->SetGuid(OFL::Tools::GenerateGuid());
  d->SetScope("__MACHINE__");
  d->SetCategory(category);
  d->SetName(name);
  d->SetData(data);
  d->SetType(type);
  d->SetInherited(inherited);
  return d;
}

std::vector<String> Keys(const OVOCustomVarDefList& list) {
  std::vector<String> out;
  for (const auto& d : list) out.push_back(d->GetDisplayName());
  return out;
}

// Selects a resource language for one test and restores the previous one.
class ScopedLanguage {
 public:
  explicit ScopedLanguage(uint16_t id) : old_(OFL::GetResourceLanguage()) { OFL::SetResourceLanguage(id); }
  ~ScopedLanguage() { OFL::SetResourceLanguage(old_); }

 private:
  uint16_t old_;
};

// ---------------------------------------------------------------------------
// OVOCustomVarDef: text form

TEST(OVOCustomVarDefPack, NodeOrderAndNumbers) {
  Def def;
  def.SetGuid("0D6D4D6E-1B2A-4C3D-8E9F-A0B1C2D3E4F5");
  def.SetScope("__JOB__");
  def.SetCategory("Cat");
  def.SetInherited(1);
  def.SetName("Name");
  def.SetType(Def::eEditableList);
  def.SetReadOnly(1);
  def.SetData("a|b");
  def.SetComment("c1");
  def.SetCommentReal("c2");
  EXPECT_EQ(def.GetObjectName(), "CustomVarDef");
  EXPECT_EQ(def.GetSchema(), 0x50001u);
  EXPECT_EQ(def.Pack(), "<CustomVarDef>" + Node("Guid", def.Guid()) + Node("Scope", "__JOB__") + Node("Category", "Cat") +
                            OFLTools::MakeXMLNode("Inherited", int32_t{1}) + Node("Name", "Name") +
                            OFLTools::MakeXMLNode("Type", uint32_t{7}) + OFLTools::MakeXMLNode("ReadOnly", int32_t{1}) +
                            Node("Data", "a|b") + Node("Comment", "c1") + Node("CommentReal", "c2") +
                            "</CustomVarDef>");
}

TEST(OVOCustomVarDefPack, DefaultsPackEveryNode) {
  Def def;
  EXPECT_EQ(def.Pack(), "<CustomVarDef>" + Node("Guid", "") + Node("Scope", "") + Node("Category", "") +
                            OFLTools::MakeXMLNode("Inherited", int32_t{0}) + Node("Name", "") +
                            OFLTools::MakeXMLNode("Type", uint32_t{0}) + OFLTools::MakeXMLNode("ReadOnly", int32_t{0}) +
                            Node("Data", "") + Node("Comment", "") + Node("CommentReal", "") + "</CustomVarDef>");
}

TEST(OVOCustomVarDefPack, HostileValuesAndExtremeNumbersRoundTrip) {
  Def def;
  def.SetGuid("<&>");
  def.SetScope("\r\n");
  def.SetCategory(" a ");
  def.SetName("]]><x>");
  def.SetType(static_cast<Def::ECustomVarType>(0xFFFFFFFFu));
  def.SetReadOnly(INT32_MIN);
  def.SetInherited(-1);
  def.SetData("one|two|\"three\"");
  def.SetComment(String(3000, '&'));
  def.SetCommentReal("\xE2\x82\xAC\t");
  Def back(def.Pack());
  EXPECT_EQ(back.Pack(), def.Pack());
  EXPECT_EQ(back.GetType(), static_cast<Def::ECustomVarType>(0xFFFFFFFFu));
  EXPECT_EQ(back.GetReadOnly(), INT32_MIN);
  EXPECT_EQ(back.GetInherited(), -1);
  EXPECT_EQ(back.GetScope(), "\r\n");
  EXPECT_EQ(back.GetCategory(), " a ");
  EXPECT_EQ(back.GetCommentReal(), "\xE2\x82\xAC\t");
}

TEST(OVOCustomVarDefUnpack, TagsIgnoreCaseLaterWinsUnknownSkipped) {
  Def def("<CustomVarDef><GUID>g</GUID><name>first</name><Extra><Name>inner</Name></Extra><NAME>second</NAME>"
          "<type>5</type><readonly>1</readonly><inherited>1</inherited><DATA>d</DATA><comment>c</comment>"
          "<commentreal>r</commentreal><SCOPE>s</SCOPE><category>k</category></CustomVarDef>");
  EXPECT_EQ(def.Guid(), "g");
  EXPECT_EQ(def.GetName(), "second");
  EXPECT_EQ(def.GetType(), Def::eNumber);
  EXPECT_EQ(def.GetReadOnly(), 1);
  EXPECT_EQ(def.GetInherited(), 1);
  EXPECT_EQ(def.GetData(), "d");
  EXPECT_EQ(def.GetComment(), "c");
  EXPECT_EQ(def.GetCommentReal(), "r");
  EXPECT_EQ(def.GetScope(), "s");
  EXPECT_EQ(def.GetCategory(), "k");
}

TEST(OVOCustomVarDefUnpack, NumbersWithThe32BitRuntimeRules) {
  Def def("<CustomVarDef><Type>-2</Type><ReadOnly>99999999999</ReadOnly><Inherited>-99999999999</Inherited>"
          "</CustomVarDef>");
  EXPECT_EQ(def.GetType(), static_cast<Def::ECustomVarType>(0xFFFFFFFEu));
  EXPECT_EQ(def.GetReadOnly(), INT32_MAX);
  EXPECT_EQ(def.GetInherited(), INT32_MIN);
  Def junk("<CustomVarDef><Type>x</Type><ReadOnly> 1y</ReadOnly></CustomVarDef>");
  EXPECT_EQ(junk.GetType(), Def::eString);
  EXPECT_EQ(junk.GetReadOnly(), 1);
}

TEST(OVOCustomVarDefUnpack, WrongRootClearsAndFails) {
  Def def = *MakeDef("c", "n", "d", Def::eDate, 1);
  EXPECT_EQ(def.Unpack(String("<customvardef><Name>x</Name></customvardef>")), 0);
  EXPECT_EQ(def.Pack(), Def().Pack());
  EXPECT_EQ(def.Unpack(String("not xml")), 0);
}

TEST(OVOCustomVarDefCopy, CopyAndMove) {
  const DefPtr src = MakeDef("c", "n", "d", Def::ePassword, 1);
  src->SetReadOnly(1);
  src->SetComment("x");
  Def copy(*src);
  EXPECT_EQ(copy.Pack(), src->Pack());
  Def assigned;
  assigned = *src;
  EXPECT_EQ(assigned.Pack(), src->Pack());
  Def moved(std::move(copy));
  EXPECT_EQ(moved.Pack(), src->Pack());
  Def moveAssigned;
  moveAssigned = std::move(moved);
  EXPECT_EQ(moveAssigned.Pack(), src->Pack());
  EXPECT_EQ(moveAssigned.GetObjectName(), "CustomVarDef");
  moveAssigned.Clear();
  EXPECT_EQ(moveAssigned.Pack(), Def().Pack());
}

// ---------------------------------------------------------------------------
// OVOCustomVarDef: names and display texts

TEST(OVOCustomVarDefNames, DisplayNameSplitsBack) {
  const DefPtr d = MakeDef("Inventory", "Room");
  EXPECT_EQ(d->GetDisplayName(), "Inventory:Room");
  String category = "x", name = "y";
  EXPECT_EQ(Def::SplitDisplayName("Inventory:Room", category, name), 1);
  EXPECT_EQ(category, "Inventory");
  EXPECT_EQ(name, "Room");
  EXPECT_EQ(Def::SplitDisplayName(":Room", category, name), 1);
  EXPECT_EQ(category, "");
  EXPECT_EQ(name, "Room");
  EXPECT_EQ(Def::SplitDisplayName("Cat:", category, name), 1);
  EXPECT_EQ(category, "Cat");
  EXPECT_EQ(name, "");
}

TEST(OVOCustomVarDefNames, OtherThanTwoPartsLeavesOutputs) {
  for (const char* text : {"", "NoColon", "a:b:c", "::", "a::"}) {
    String category = "keepC", name = "keepN";
    EXPECT_EQ(Def::SplitDisplayName(text, category, name), 0) << text;
    EXPECT_EQ(category, "keepC");
    EXPECT_EQ(name, "keepN");
  }
}

TEST(OVOCustomVarDefNames, ScopeDisplayNamesAreCaseSensitive) {
  EXPECT_EQ(Def::GetScopeDisplayName("__MACHINE__"), "Client");
  EXPECT_EQ(Def::GetScopeDisplayName("__ADOBJECT__"), "ADObject");
  EXPECT_EQ(Def::GetScopeDisplayName("__PROFILE__"), "Profile");
  EXPECT_EQ(Def::GetScopeDisplayName("__GROUP__"), "Group");
  EXPECT_EQ(Def::GetScopeDisplayName("__SOFTWARE__"), "Software");
  EXPECT_EQ(Def::GetScopeDisplayName("__COMPONENT__"), "Component");
  EXPECT_EQ(Def::GetScopeDisplayName("__BULLETIN__"), "Bulletin");
  EXPECT_EQ(Def::GetScopeDisplayName("__JOB__"), "Job");
  EXPECT_EQ(Def::GetScopeDisplayName("__JOBPARAM__"), "JobParam");
  EXPECT_EQ(Def::GetScopeDisplayName("__Machine__"), "__Machine__");
  EXPECT_EQ(Def::GetScopeDisplayName("__MACHINE__ "), "__MACHINE__ ");
  EXPECT_EQ(Def::GetScopeDisplayName(""), "");
}

TEST(OVOCustomVarDefTypes, EnglishTexts) {
  ScopedLanguage lang(1033);
  const std::vector<String> texts = {"String",      "On/Off field", "Drop down list", "File name",
                                     "Date",        "Number",       "Folder name",    "Editable drop down box",
                                     "Password",    "Certificate"};
  for (uint32_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(Def::GetStringTypeFromInt(i), texts[i]) << i;
    EXPECT_EQ(Def::GetIntTypeFromString(texts[i]), i) << texts[i];
  }
  EXPECT_EQ(Def::GetStringTypeFromInt(10), "String");
  EXPECT_EQ(Def::GetStringTypeFromInt(0xFFFFFFFFu), "String");
}

TEST(OVOCustomVarDefTypes, GermanTexts) {
  ScopedLanguage lang(1031);
  const std::vector<String> texts = {"Zeichenkette", "Ein/Aus Feld", "Auswahlliste",    "Dateiname",
                                     "Datum",        "Zahl",         "Verzeichnisname", "Editierbares Auswahlfeld",
                                     "Passwort",     "Zertifikat"};
  for (uint32_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(Def::GetStringTypeFromInt(i), texts[i]) << i;
    EXPECT_EQ(Def::GetIntTypeFromString(texts[i]), i) << texts[i];
  }
  EXPECT_EQ(Def::GetIntTypeFromString("Number"), 0u);  // texts of the other language are unknown
  EXPECT_EQ(Def::FormatValueForDisplay(Def::eYesNo, "T"), "Ja");
  EXPECT_EQ(Def::FormatValueForDisplay(Def::eYesNo, "F"), "Nein");
}

TEST(OVOCustomVarDefTypes, TypeFromStringIgnoresCaseAndNeedsTheWholeText) {
  ScopedLanguage lang(1033);
  EXPECT_EQ(Def::GetIntTypeFromString("on/off FIELD"), 1u);
  EXPECT_EQ(Def::GetIntTypeFromString("EDITABLE DROP DOWN BOX"), 7u);
  EXPECT_EQ(Def::GetIntTypeFromString("drop down list"), 2u);
  EXPECT_EQ(Def::GetIntTypeFromString("certificate"), 9u);
  EXPECT_EQ(Def::GetIntTypeFromString("Drop down"), 0u);
  EXPECT_EQ(Def::GetIntTypeFromString("Number "), 0u);
  EXPECT_EQ(Def::GetIntTypeFromString(""), 0u);
  EXPECT_EQ(Def::GetIntTypeFromString("5"), 0u);
}

TEST(OVOCustomVarDefTypes, TypeListInMenuOrder) {
  ScopedLanguage lang(1033);
  OFLTokenizer list;
  list.AddString("existing");
  Def::GetTypeList(list);
  EXPECT_EQ(list.Items(), (std::vector<String>{"existing", "String", "Number", "On/Off field", "Editable drop down box",
                                               "Drop down list", "Date", "File name", "Folder name", "Password",
                                               "Certificate"}));
}

TEST(OVOCustomVarDefTypes, FormatValueForDisplay) {
  ScopedLanguage lang(1033);
  EXPECT_EQ(Def::FormatValueForDisplay(Def::eYesNo, "T"), "Yes");
  EXPECT_EQ(Def::FormatValueForDisplay(Def::eYesNo, "t"), "Yes");
  EXPECT_EQ(Def::FormatValueForDisplay(Def::eYesNo, "F"), "No");
  EXPECT_EQ(Def::FormatValueForDisplay(Def::eYesNo, ""), "No");
  EXPECT_EQ(Def::FormatValueForDisplay(Def::eYesNo, "True"), "No");
  EXPECT_EQ(Def::FormatValueForDisplay(Def::ePassword, ""), "****");
  EXPECT_EQ(Def::FormatValueForDisplay(Def::ePassword, "secret"), "****");
  EXPECT_EQ(Def::FormatValueForDisplay(Def::eDate, "not a date"), "");
  EXPECT_EQ(Def::FormatValueForDisplay(Def::eDate, ""), "");
  for (const uint32_t type : {0u, 2u, 3u, 5u, 6u, 7u, 9u, 10u, 0xFFFFFFFFu}) {
    EXPECT_EQ(Def::FormatValueForDisplay(static_cast<Def::ECustomVarType>(type), "T"), "T") << type;
  }
}

TEST(OVOCustomVarDefTypes, DateDisplayUsesLocalTimeAndSystemLocale) {
  const char* oldTz = std::getenv("TZ");
  const std::string saved = oldTz ? oldTz : "";
  setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  tzset();
  const auto oldLcid = OFL::Locale::GetSystemDefaultLCID();
  OFL::Locale::SetSystemDefaultLCID(1031);
  const DefPtr d = MakeDef("c", "n", "03/12/2024", Def::eDate);
  EXPECT_EQ(d->GetDataForDisplay(), "12.03.2024");
  d->SetType(Def::eString);
  EXPECT_EQ(d->GetDataForDisplay(), "03/12/2024");
  OFL::Locale::SetSystemDefaultLCID(oldLcid);
  if (oldTz) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

// ---------------------------------------------------------------------------
// OVOCustomVarDefList

TEST(OVOCustomVarDefListPack, EmptyAndOwnOnly) {
  OVOCustomVarDefList list;
  EXPECT_EQ(list.GetObjectName(), "CustomVarDefList");
  EXPECT_EQ(list.Pack(), "<CustomVarDefList></CustomVarDefList>");
  const DefPtr own = MakeDef("c", "own");
  const DefPtr inherited = MakeDef("c", "inh", "", Def::eString, 1);
  const DefPtr odd = MakeDef("c", "odd", "", Def::eString, -3);  // any non-zero counts
  list.AddTail(inherited);
  list.AddTail(own);
  list.AddTail(odd);
  EXPECT_EQ(list.Pack(), "<CustomVarDefList>" + inherited->Pack() + own->Pack() + odd->Pack() + "</CustomVarDefList>");
  EXPECT_EQ(list.Pack(false), list.Pack());
  EXPECT_EQ(list.Pack(true), "<CustomVarDefList>" + own->Pack() + "</CustomVarDefList>");
}

TEST(OVOCustomVarDefListPack, AllInheritedOwnOnlyIsJustTheTags) {
  OVOCustomVarDefList list;
  list.AddTail(MakeDef("a", "1", "", Def::eString, 1));
  list.AddTail(MakeDef("a", "2", "", Def::eString, 1));
  EXPECT_EQ(list.Pack(true), "<CustomVarDefList></CustomVarDefList>");
}

TEST(OVOCustomVarDefListUnpack, RoundTripKeepsOrderAndDuplicates) {
  OVOCustomVarDefList list;
  list.AddTail(MakeDef("c", "b", "<&>", Def::eList));
  list.AddTail(MakeDef("c", "a", "x", Def::eDate, 1));
  list.AddTail(MakeDef("C", "B", "dup"));
  EXPECT_EQ(list.AddTail(nullptr), list.end());
  OVOCustomVarDefList back(list.Pack());
  EXPECT_EQ(Keys(back), (std::vector<String>{"c:b", "c:a", "C:B"}));
  EXPECT_TRUE(back == list);
  EXPECT_EQ(back.Pack(), list.Pack());
}

TEST(OVOCustomVarDefListUnpack, ChildTagsIgnoreCaseOthersSkipped) {
  OVOCustomVarDefList list("<CustomVarDefList><customvardef><name>one</name><TYPE>2</TYPE></customvardef>"
                           "<Other><CustomVarDef><Name>nested</Name></CustomVarDef></Other>"
                           "<CUSTOMVARDEF><Name>two</Name></CUSTOMVARDEF>junk</CustomVarDefList>");
  EXPECT_EQ(Keys(list), (std::vector<String>{":one", ":two"}));
  EXPECT_EQ((*list.begin())->GetType(), Def::eList);
}

TEST(OVOCustomVarDefListUnpack, ReleasesPreviousDefinitionsButNotSharedOnes) {
  const DefPtr shared = MakeDef("c", "n", "d");
  OVOCustomVarDefList list;
  list.AddTail(shared);
  ASSERT_EQ(list.Unpack("<CustomVarDefList>" + MakeDef("x", "y")->Pack() + "</CustomVarDefList>"), 1);
  EXPECT_EQ(Keys(list), (std::vector<String>{"x:y"}));
  EXPECT_EQ(shared.use_count(), 1);
  EXPECT_EQ(shared->GetData(), "d");
  EXPECT_EQ(list.Unpack(String("<Other/>")), 0);
  EXPECT_TRUE(list.IsEmpty());
}

TEST(OVOCustomVarDefListFind, CaseInsensitiveFirstMatchWithPosition) {
  OVOCustomVarDefList list;
  const DefPtr a = MakeDef("Inv", "Room");
  const DefPtr b = MakeDef("INV", "ROOM", "second");
  list.AddTail(MakeDef("Inv", "Other"));
  list.AddTail(a);
  list.AddTail(b);
  OVOCustomVarDefList::Position pos = list.end();
  EXPECT_EQ(list.Find("inv", "room", &pos), a);
  ASSERT_NE(pos, list.end());
  EXPECT_EQ(*pos, a);
  list.RemoveAt(pos);
  EXPECT_EQ(list.Find("inv", "room"), b);
  pos = list.begin();
  EXPECT_EQ(list.Find("Inv", "Missing", &pos), nullptr);
  EXPECT_EQ(pos, list.begin());
  EXPECT_EQ(list.Find("Room", "Inv"), nullptr);
  const OVOCustomVarDefList& cref = list;
  EXPECT_EQ(cref.Find("INV", "room")->GetData(), "second");
}

TEST(OVOCustomVarDefListMerge, AppendsSharedAndMarksInherited) {
  OVOCustomVarDefList parent, child;
  const DefPtr p1 = MakeDef("c", "p1", "parent");
  parent.AddTail(p1);
  child.AddTail(MakeDef("c", "own", "mine"));
  child.Merge(parent, false, false);
  EXPECT_EQ(Keys(child), (std::vector<String>{"c:own", "c:p1"}));
  EXPECT_EQ(p1->GetInherited(), 1);  // marked on the shared object: parent sees it too
  EXPECT_EQ(child.Find("c", "p1"), p1);
  EXPECT_EQ(child.Find("c", "own")->GetInherited(), 0);
  EXPECT_EQ(child.Pack(true), "<CustomVarDefList>" + child.Find("c", "own")->Pack() + "</CustomVarDefList>");
}

TEST(OVOCustomVarDefListMerge, OverwriteRereadsPresentDefinition) {
  OVOCustomVarDefList parent, child;
  const DefPtr mine = MakeDef("Cat", "Name", "mine", Def::eString);
  child.AddTail(mine);
  const DefPtr theirs = MakeDef("CAT", "NAME", "theirs", Def::eYesNo);
  theirs->SetComment("from parent");
  parent.AddTail(theirs);

  child.Merge(parent, false, false);
  EXPECT_EQ(child.GetCount(), 1);
  EXPECT_EQ(mine->GetData(), "mine");
  EXPECT_EQ(mine->GetInherited(), 0);
  EXPECT_EQ(theirs->GetInherited(), 1);

  child.Merge(parent, true, false);
  EXPECT_EQ(child.GetCount(), 1);
  EXPECT_EQ(*child.begin(), mine);  // same object, new content
  EXPECT_EQ(mine->GetData(), "theirs");
  EXPECT_EQ(mine->GetType(), Def::eYesNo);
  EXPECT_EQ(mine->GetCategory(), "CAT");
  EXPECT_EQ(mine->GetComment(), "from parent");
  EXPECT_EQ(mine->Guid(), theirs->Guid());
  EXPECT_EQ(mine->GetInherited(), 1);
  EXPECT_NE(mine, theirs);
}

TEST(OVOCustomVarDefListMerge, MarkAllInherited) {
  OVOCustomVarDefList parent, child;
  child.AddTail(MakeDef("c", "own"));
  child.Merge(parent, false, false);
  EXPECT_EQ((*child.begin())->GetInherited(), 0);
  child.Merge(parent, false, true);
  EXPECT_EQ((*child.begin())->GetInherited(), 1);
  EXPECT_EQ(child.Pack(true), "<CustomVarDefList></CustomVarDefList>");
}

TEST(OVOCustomVarDefListMerge, SharedDefinitionOutlivesAList) {
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
}

TEST(OVOCustomVarDefListMerge, IntoItselfChangesOnlyMarks) {
  OVOCustomVarDefList list;
  list.AddTail(MakeDef("c", "a", "1"));
  list.AddTail(MakeDef("c", "b", "2"));
  list.Merge(list, true, false);
  EXPECT_EQ(list.GetCount(), 2);
  for (const auto& d : list) EXPECT_EQ(d->GetInherited(), 1);
  EXPECT_EQ((*list.begin())->GetData(), "1");
}

TEST(OVOCustomVarDefListMerge, DuplicatesInTheOtherListFoldIntoOne) {
  OVOCustomVarDefList other, list;
  const DefPtr first = MakeDef("c", "n", "first");
  const DefPtr second = MakeDef("C", "N", "second");
  other.AddTail(first);
  other.AddTail(second);
  list.Merge(other, false, false);
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.Find("c", "n"), first);
  EXPECT_EQ(first->GetData(), "first");

  OVOCustomVarDefList list2;
  list2.Merge(other, true, false);
  EXPECT_EQ(list2.GetCount(), 1);
  EXPECT_EQ(first->GetData(), "second");  // the later one is re-read into the appended one
}

TEST(OVOCustomVarDefListMerge, LargeListsMergeByKey) {
  OVOCustomVarDefList mine, parent;
  constexpr int kCount = 20000;
  for (int i = 0; i < kCount; ++i) mine.AddTail(MakeDef("c", "n" + std::to_string(i), "mine"));
  for (int i = kCount / 2; i < kCount + kCount / 2; ++i) {
    parent.AddTail(MakeDef("C", "N" + std::to_string(i), "parent"));
  }
  mine.Merge(parent, false, true);
  EXPECT_EQ(mine.GetCount(), kCount + kCount / 2);
  EXPECT_EQ(mine.Find("c", "n0")->GetData(), "mine");
  EXPECT_EQ(mine.Find("c", "n" + std::to_string(kCount - 1))->GetData(), "mine");
  EXPECT_EQ(mine.Find("c", "n" + std::to_string(kCount))->GetData(), "parent");
  EXPECT_EQ(mine.Pack(true), "<CustomVarDefList></CustomVarDefList>");
}

TEST(OVOCustomVarDefListCompare, EqualityIsByPackedText) {
  OVOCustomVarDefList a, b;
  const DefPtr d = MakeDef("c", "n");
  a.AddTail(d);
  EXPECT_FALSE(a == b);
  b.AddTail(std::make_shared<Def>(*d));
  EXPECT_TRUE(a == b);
  b.Find("c", "n")->SetInherited(1);
  EXPECT_TRUE(a != b);
}

TEST(OVOCustomVarDefListMove, MoveTransfersDefinitions) {
  OVOCustomVarDefList a;
  a.AddTail(MakeDef("c", "n"));
  OVOCustomVarDefList b(std::move(a));
  EXPECT_EQ(b.GetCount(), 1);
  OVOCustomVarDefList c;
  c = std::move(b);
  EXPECT_EQ(Keys(c), (std::vector<String>{"c:n"}));
  EXPECT_EQ(c.GetObjectName(), "CustomVarDefList");
}

}  // namespace
}  // namespace orvacmn
