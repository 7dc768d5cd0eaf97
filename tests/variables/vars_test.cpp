// The object-level variables: OVOCustomVar, the definitions OVOCustomVarDef(List) and the value sets OVOVars.
#include "orvacmn/variables/vars.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/tz.h"
#include "ofl/locale.h"
#include "ofl/tokenizer.h"
#include "orvacmn/variables/custom_var.h"
#include "orvacmn/variables/custom_var_def.h"

namespace orvacmn {
namespace {

using Def = OVOCustomVarDef;
using DefPtr = std::shared_ptr<OVOCustomVarDef>;
using Names = std::vector<String>;
using testing::kCentralEurope;
using testing::ScopedTZ;

// Copies, moves and self-assignment keep every field and replace what `other` held; Clear resets them.
template <class T>
void ExpectValueSemantics(const T& full, const T& other) {
  T copy(full), assigned(other), moveAssigned(other);
  assigned = full;
  assigned = *&assigned;
  T moved(std::move(copy));
  moveAssigned = std::move(moved);
  EXPECT_EQ(assigned.Pack() + moveAssigned.Pack(), full.Pack() + full.Pack());
  moveAssigned.Clear();
  EXPECT_EQ(moveAssigned.Pack(), T().Pack());
}

String Fields(const OVOCustomVar& v) {
  return v.GetScope() + "|" + v.GetCategory() + "|" + v.GetName() + "|" + v.GetValue();
}

TEST(OVOCustomVar, PackUnpackAndValueSemantics) {
  OVOCustomVar v;
  EXPECT_EQ(v.Pack(), "<CustomVar><Scope></Scope><Category></Category><Name></Name><Value></Value></CustomVar>");
  v.SetScope("__MACHINE__");
  v.SetCategory("<cat & \"q\">");
  v.SetName("]]>");
  v.SetValue("a\r\nb\t \xC3\xA4 &#65;");
  EXPECT_EQ(Fields(OVOCustomVar(v.Pack())), "__MACHINE__|<cat & \"q\">|]]>|a\r\nb\t \xC3\xA4 &#65;");
  ExpectValueSemantics(v, OVOCustomVar("<CustomVar><Scope>s</Scope><Value>v</Value></CustomVar>"));
  // Tags ignore case and order, unknown ones are skipped, a later one wins.
  EXPECT_EQ(Fields(OVOCustomVar("<CustomVar><value>1</value><Junk><Name>no</Name></Junk><NAME>n</NAME>"
                                "<scope>s</scope><CATEGORY>c</CATEGORY><Value>2</Value></CustomVar>")),
            "s|c|n|2");
}

String Wrap(const String& body) { return "<CustomVarDefList>" + body + "</CustomVarDefList>"; }
DefPtr MakeDef(const String& category, const String& name, const String& data = "", uint32_t type = 0,
               int inherited = 0) {
  return std::make_shared<Def>("<CustomVarDef><Category>" + category + "</Category><Name>" + name + "</Name><Data>" +
                               data + "</Data><Type>" + std::to_string(type) + "</Type><Inherited>" +
                               std::to_string(inherited) + "</Inherited></CustomVarDef>");
}
// "category:name=data" per definition in list order, marked "^" when inherited.
Names Keys(const OVOCustomVarDefList& list) {
  Names out;
  for (const auto& d : list)
    out.push_back(String(d->GetInherited() ? "^" : "").append(d->GetDisplayName()).append("=").append(d->GetData()));
  return out;
}
// Every field, so that a swap of two of them shows.
String Fields(const Def& d) {
  return d.Guid() + "|" + d.GetScope() + "|" + d.GetCategory() + "|" + std::to_string(d.GetInherited()) + "|" +
         d.GetName() + "|" + std::to_string(d.GetType()) + "|" + std::to_string(d.GetReadOnly()) + "|" + d.GetData() +
         "|" + d.GetComment() + "|" + d.GetCommentReal();
}

TEST(OVOCustomVarDef, PackUnpackAndValueSemantics) {
  const String text =
      "<CustomVarDef><Guid>0D6D4D6E-1B2A-4C3D-8E9F-A0B1C2D3E4F5</Guid><Scope>__JOB__</Scope><Category>Cat</Category>"
      "<Inherited>1</Inherited><Name>Name</Name><Type>7</Type><ReadOnly>1</ReadOnly><Data>a|b</Data>"
      "<Comment>c1</Comment><CommentReal>c2</CommentReal></CustomVarDef>";
  const Def def(text);
  EXPECT_EQ(Fields(def), "0D6D4D6E-1B2A-4C3D-8E9F-A0B1C2D3E4F5|__JOB__|Cat|1|Name|7|1|a|b|c1|c2");
  EXPECT_EQ(def.Pack(), text);
  EXPECT_EQ(Fields(Def()), "|||0||0|0|||");
  Def hostile = *MakeDef(" a ", "]]&gt;&lt;x&gt;", "", 0xFFFFFFFFu, -1);
  hostile.SetData("one|\"two\"\r\n<&>");
  hostile.SetReadOnly(INT32_MIN);
  hostile.SetCommentReal("\xE2\x82\xAC\t");
  EXPECT_EQ(Def(hostile.Pack()).Pack(), hostile.Pack());
  ExpectValueSemantics(def, hostile);
  // Tags ignore case, a later one wins, unknown ones are skipped; numbers are read as 32 bits.
  EXPECT_EQ(Fields(Def("<CustomVarDef><GUID>g</GUID><name>first</name><Extra><Name>inner</Name></Extra>"
                       "<NAME>second</NAME><type>5</type><readonly>1</readonly><inherited>1</inherited><DATA>d</DATA>"
                       "<comment>c</comment><commentreal>r</commentreal><SCOPE>s</SCOPE><category>k</category>"
                       "</CustomVarDef>")),
            "g|s|k|1|second|5|1|d|c|r");
  EXPECT_EQ(Fields(Def("<CustomVarDef><Type>-2</Type><ReadOnly>99999999999</ReadOnly>"
                       "<Inherited>-99999999999</Inherited></CustomVarDef>")),
            "|||-2147483648||4294967294|2147483647|||");
  EXPECT_EQ(Fields(Def("<CustomVarDef><Type>x</Type><ReadOnly> 1y</ReadOnly></CustomVarDef>")), "|||0||0|1|||");
}

TEST(OVOCustomVarDef, NamesTypeTextsAndDisplayFormats) {
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

  const Names texts = {"String", "On/Off field", "Drop down list", "File name", "Date", "Number", "Folder name",
                       "Editable drop down box", "Password", "Certificate"};
  for (uint32_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(Def::GetStringTypeFromInt(i), texts[i]) << i;
    EXPECT_EQ(Def::GetIntTypeFromString(texts[i]), i) << texts[i];
  }
  EXPECT_EQ(Def::GetStringTypeFromInt(10) + Def::GetStringTypeFromInt(0xFFFFFFFFu), "StringString");
  for (const auto& [text, type] : {std::pair{"EDITABLE DROP DOWN BOX", 7u}, {"Drop down", 0u}, {"Number ", 0u}})
    EXPECT_EQ(Def::GetIntTypeFromString(text), type) << text;
  OFLTokenizer list;
  list.AddString("existing");
  Def::GetTypeList(list);
  EXPECT_EQ(list.Items(), (Names{"existing", "String", "Number", "On/Off field", "Editable drop down box",
                                 "Drop down list", "Date", "File name", "Folder name", "Password", "Certificate"}));

  ScopedTZ tz(kCentralEurope);
  OFL::Locale::SetSystemDefaultLCID(1031);
  const std::tuple<uint32_t, const char*, const char*> formats[] = {
      {Def::eYesNo, "T", "Yes"}, {Def::eYesNo, "t", "Yes"}, {Def::eYesNo, "F", "No"}, {Def::eYesNo, "True", "No"},
      {Def::ePassword, "", "****"}, {Def::eDate, "not a date", ""}, {Def::eDate, "03/12/2024", "12.03.2024"}};
  for (const auto& [type, value, want] : formats)
    EXPECT_EQ(Def::FormatValueForDisplay(static_cast<Def::ECustomVarType>(type), value), want) << type << value;
  for (const uint32_t type : {0u, 2u, 3u, 5u, 6u, 7u, 9u, 10u, 0xFFFFFFFFu})
    EXPECT_EQ(Def::FormatValueForDisplay(static_cast<Def::ECustomVarType>(type), "T"), "T") << type;
  EXPECT_EQ(MakeDef("c", "n", "03/12/2024", Def::eDate)->GetDataForDisplay(), "12.03.2024");  // the short date
  OFL::Locale::SetSystemDefaultLCID(1033);
}

TEST(OVOCustomVarDefList, PackOwnOnlyUnpackFindEqualityAndMerge) {
  OVOCustomVarDefList list;
  EXPECT_EQ(list.Pack(), Wrap(""));
  const DefPtr inherited = MakeDef("c", "b", "&lt;&amp;&gt;", Def::eList, 1), own = MakeDef("c", "a", "x", Def::eDate);
  const DefPtr odd = MakeDef("C", "B", "dup", Def::eString, -3);  // any non-zero is inherited
  for (const DefPtr& d : {inherited, own, odd}) list.AddTail(d);
  EXPECT_EQ(list.AddTail(nullptr), list.end());
  EXPECT_EQ(list.Pack(), Wrap(inherited->Pack() + own->Pack() + odd->Pack()));
  EXPECT_EQ(list.Pack(true), Wrap(own->Pack()));
  OVOCustomVarDefList back(list.Pack());
  EXPECT_EQ(Keys(back), (Names{"^c:b=<&>", "c:a=x", "^C:B=dup"}));
  EXPECT_TRUE(back == list);
  back.Find("c", "a")->SetInherited(1);
  EXPECT_TRUE(back != list);
  // Find ignores case and gives the first match and its position.
  OVOCustomVarDefList::Position pos = list.end();
  EXPECT_EQ(list.Find("C", "b", &pos), inherited);
  ASSERT_NE(pos, list.end());
  list.RemoveAt(pos);
  EXPECT_EQ(list.Find("c", "B"), odd);
  pos = list.begin();
  EXPECT_TRUE(!list.Find("c", "Missing", &pos) && pos == list.begin() && !list.Find("a", "c"));
  EXPECT_EQ(std::as_const(list).Find("C", "A")->GetData(), "x");
  // Unpacking replaces the list, releasing its definitions; nested and other elements are skipped.
  ASSERT_EQ(list.Unpack(Wrap("<customvardef><name>one</name><TYPE>2</TYPE></customvardef>"
                             "<Other><CustomVarDef><Name>nested</Name></CustomVarDef></Other>"
                             "<CUSTOMVARDEF><Name>two</Name><Inherited>1</Inherited></CUSTOMVARDEF>junk")),
            1);
  EXPECT_EQ(Keys(list), (Names{":one=", "^:two="}));
  EXPECT_EQ((*list.begin())->GetType(), Def::eList);
  EXPECT_EQ(own.use_count(), 1);
  list.RemoveAt(list.begin());
  EXPECT_EQ(list.Pack(true), Wrap("")) << "all inherited";

  // Merging appends the other list's definitions (shared, marked inherited), overwriting re-reads.
  OVOCustomVarDefList parent, child;
  const DefPtr mine = MakeDef("Cat", "Name", "mine");
  const DefPtr theirs = MakeDef("CAT", "NAME", "theirs", Def::eYesNo), p1 = MakeDef("c", "p1", "parent");
  theirs->SetComment("from parent");
  for (const DefPtr& d : {mine, MakeDef("c", "own", "mine")}) child.AddTail(d);
  for (const DefPtr& d : {theirs, p1}) parent.AddTail(d);
  child.Merge(parent, false, false);
  EXPECT_EQ(Keys(child), (Names{"Cat:Name=mine", "c:own=mine", "^c:p1=parent"}));
  EXPECT_EQ(Keys(parent), (Names{"^CAT:NAME=theirs", "^c:p1=parent"})) << "marked on the shared objects";
  EXPECT_EQ(p1.use_count(), 3);
  child.Merge(parent, true, false);
  EXPECT_EQ(Keys(child), (Names{"^CAT:NAME=theirs", "c:own=mine", "^c:p1=parent"}));
  EXPECT_EQ(*child.begin(), mine);  // same object, new content
  EXPECT_EQ(Fields(*mine), Fields(*theirs));
  child.Merge(parent, false, true);
  EXPECT_EQ(Keys(child), (Names{"^CAT:NAME=theirs", "^c:own=mine", "^c:p1=parent"}));
  parent.DeleteObjects();
  child.Clear();
  EXPECT_EQ(p1.use_count(), 1);
  // Into itself only the marks change; duplicates in the other list fold into one.
  OVOCustomVarDefList other, kept, overwritten;
  const DefPtr first = MakeDef("c", "n", "first");
  for (const DefPtr& d : {first, MakeDef("C", "N", "second")}) other.AddTail(d);
  other.Merge(other, false, false);
  EXPECT_EQ(Keys(other), (Names{"^c:n=first", "^C:N=second"}));
  kept.Merge(other, false, false);
  EXPECT_EQ(Keys(kept), (Names{"^c:n=first"}));
  EXPECT_EQ(kept.Find("c", "n"), first);
  overwritten.Merge(other, true, false);
  EXPECT_EQ(Keys(overwritten), (Names{"^C:N=second"})) << "the later one is re-read into the appended one";
  OVOCustomVarDefList many, more;  // large lists merge by key
  for (int i = 0; i < 20000; ++i) many.AddTail(MakeDef("c", String("n").append(std::to_string(i)), "mine"));
  for (int i = 10000; i < 30000; ++i) more.AddTail(MakeDef("C", String("N").append(std::to_string(i)), "p"));
  many.Merge(more, false, true);
  EXPECT_EQ(many.GetCount(), 30000);
  EXPECT_EQ(many.Find("c", "n0")->GetData() + many.Find("c", "n19999")->GetData() + many.Find("c", "n20000")->GetData(),
            "mineminep");
  EXPECT_EQ(many.Pack(true), Wrap(""));
}

String Entry(const String& category, const String& name, const String& value, int type) {
  return "<VarEntry><Category>" + category + "</Category><Name>" + name + "</Name><Value>" + value +
         "</Value><TypeForDisplay>" + std::to_string(type) + "</TypeForDisplay></VarEntry>";
}
// "category/name=value:type" of every variable in list order.
Names Dump(const OVOVars& vars) {
  Names out;
  for (const OVOVars::Variable* v : vars)
    out.push_back(v->GetCategory() + "/" + v->GetName() + "=" + v->GetValue() + ":" +
                  std::to_string(v->GetTypeForDisplay()));
  return out;
}
void Set(OVOVars& vars, std::initializer_list<std::pair<const char*, const char*>> keys, const char* value = "v") {
  for (const auto& [category, name] : keys) vars.SetVar(category, name, value, Def::eString);
}

TEST(OVOVars, PackUnpackAndValueSemantics) {
  OVOVars vars;
  EXPECT_EQ(vars.GetSchema(), 0x50001u);
  EXPECT_EQ(vars.Pack(), "<Vars><Scope></Scope></Vars>");
  vars.SetScope("__MACHINE__");
  vars.SetVar("Inv", "Room", "12", Def::eNumber);
  vars.SetVar("", "Flag", "T", Def::eYesNo);
  EXPECT_EQ(vars.Pack(),
            "<Vars><Scope>__MACHINE__</Scope>" + Entry("Inv", "Room", "12", 5) + Entry("", "Flag", "T", 1) + "</Vars>");
  OVOVars hostile;
  hostile.SetScope("<scope & \"x\">");
  for (const String value : {"<>&\"'", "]]>", "a\r\nb\rc\n", "  padded  ", "&amp;&#65;", "</Value>", " "})
    hostile.SetVar(value, value + "n", value, Def::ePassword);
  hostile.SetVar("c", "n", "v", static_cast<Def::ECustomVarType>(0xFFFFFFFFu));
  EXPECT_EQ(OVOVars(hostile.Pack()).Pack(), hostile.Pack());
  ExpectValueSemantics(hostile, vars);
  // Copies are deep and have their own index; a moved set takes its index along; equality is by text.
  OVOVars copy(vars), assigned(hostile);
  copy.GetVar("inv", "room")->SetValue("changed");
  assigned = copy;
  OVOVars moved(std::move(assigned));
  EXPECT_EQ(vars.GetVar("INV", "ROOM")->GetValue() + moved.GetVar("INV", "ROOM")->GetValue(), "12changed");
  EXPECT_EQ(moved.RemoveVar("", "flag"), 1);
  EXPECT_TRUE(OVOVars(vars.Pack()) == vars && !(hostile == vars) && hostile != vars);

  // Tags ignore case, unknown ones are skipped, a repeated key keeps its place but takes the last spelling.
  vars.Unpack("<Vars><Junk>1</Junk><SCOPE>__JOB__</SCOPE>"
              "<varentry><NAME>Target</NAME><other><Name>inner</Name></other><category>Cat</category>"
              "<VALUE>v1</VALUE><typefordisplay>-1</typefordisplay></varentry>"
              "<VarEntry><Name>Only</Name></VarEntry><Variable><Name>NotAnEntry</Name></Variable>" +
              Entry("K", "N", "first", 0) + Entry("x", "y", "z", 0) + Entry("k", "n", "second", 1) + "</Vars>");
  EXPECT_EQ(vars.GetScope(), "__JOB__");
  EXPECT_EQ(Dump(vars), (Names{"Cat/Target=v1:4294967295", "/Only=:0", "k/n=second:1", "x/y=z:0"}));
  ASSERT_EQ(vars.Unpack("<Vars>" + Entry("new", "new", "new", 0) + "</Vars>"), 1);
  EXPECT_EQ(vars.GetScope() + "|" + Dump(vars)[0], "|new/new=new:0");
  EXPECT_EQ(vars.GetVar("x", "y"), nullptr);
  EXPECT_EQ(vars.Unpack(String("<vars><Scope>x</Scope></vars>")), 0);
  EXPECT_EQ(vars.Pack(), OVOVars().Pack());
}

TEST(OVOVars, KeyIsCategoryAndNameIgnoringCaseReplaceTakesNewCaseRemove) {
  OVOVars vars;
  vars.SetVar("Inventory", "Room", "1", Def::eString);
  Set(vars, {{"a", "b"}, {"ab", ""}, {"", "ab"}, {"b", "a"}});
  vars.SetVar("INVENTORY", "room", "3", Def::eNumber);
  vars.SetVar("", "AB", "4", Def::eDate);
  EXPECT_EQ(Dump(vars), (Names{"INVENTORY/room=3:5", "a/b=v:0", "ab/=v:0", "/AB=4:4", "b/a=v:0"}));
  String value = "keep", shown = "keep";
  EXPECT_EQ(vars.GetVar("c", "x", value) + vars.GetVarForDisplay("x", "n", shown), 0);
  EXPECT_EQ(value + shown, "keepkeep");
  EXPECT_EQ(vars.GetVar("inventory", "ROOM", value) + vars.GetVarForDisplay("", "ab", shown), 2);
  EXPECT_EQ(value + "|" + shown, "3|");  // shown as the variable's type formats it
  EXPECT_EQ(std::as_const(vars).GetVar("A", "B")->GetValue(), "v");
  vars.GetVar("a", "b")->SetValue("w");
  vars.GetVar("A", "B")->SetTypeForDisplay(Def::ePassword);
  EXPECT_EQ(Dump(OVOVars(vars.Pack()))[1], "a/b=w:8");
  // Removing keeps the order and the index.
  vars.Clear();
  vars.SetScope("__JOB__");
  for (int i = 0; i < 10; ++i) vars.SetVar("c", std::to_string(i), i % 3 == 0 ? "" : "v", Def::eString);
  EXPECT_EQ(vars.RemoveVar("C", "1"), 1);
  EXPECT_EQ(vars.RemoveVar("c", "1"), 0);
  vars.SetVar("c", "1", "w", Def::eString);  // appended at the end
  vars.RemoveEmptyVars();
  EXPECT_EQ(Dump(vars), (Names{"c/2=v:0", "c/4=v:0", "c/5=v:0", "c/7=v:0", "c/8=v:0", "c/1=w:0"}));
  EXPECT_TRUE(vars.GetVar("c", "3") == nullptr && vars.GetVar("c", "4") != nullptr);
  Set(vars, {{"c", "3"}});
  EXPECT_EQ(vars.GetCount(), 7) << "the index forgot the removed ones";
  vars.DeleteListVars();
  EXPECT_TRUE(vars.GetScope() == "__JOB__" && vars.IsEmpty() && !vars.GetVar("c", "4"));
}

TEST(OVOVars, FullNamesCategoriesValidNamesAndDefaults) {
  // The scope's display name; every code's name is checked with the definitions.
  for (const auto& [code, prefix] : {std::pair{"__MACHINE__", "Client."}, {"__machine__", "__machine__."}, {"", ""}}) {
    OVOVars vars;
    vars.SetScope(code);
    Set(vars, {{"Inventory", "Room"}, {"", "Target"}});
    EXPECT_EQ(vars.GenerateFullName(vars.GetVar("Inventory", "Room")) + "|" +
                  vars.GenerateFullName(vars.GetVar("", "Target")) + "|" + vars.GenerateFullName(nullptr),
              String(prefix) + "Inventory.Room|" + prefix + "Target|");
  }
  OVOVars vars;
  Set(vars, {{"Net", "a"}, {"", "b"}, {"Inv", "c"}, {"NET", "d"}, {"a;b|c:1", "e"}, {"", "f"}});
  OFLTokenizer categories;
  ASSERT_TRUE(categories.FromLengthPackedString(vars.GetCategories()));
  EXPECT_EQ(categories.Items(), (Names{"Net", "", "Inv", "a;b|c:1"}));

  for (const String& ok : {String("a"), String(254, 'n'), String("  x  "), String("Room Number.2;x|y:z%$")})
    EXPECT_TRUE(OVOVars::IsValidVarName(ok)) << ok;
  for (const String& bad : {String(), String(255, 'n'), String(" "), String(10, ' '), String(253, 'n') + "{",
                            String("a\tb"), String("a\rb"), String("a\nb"), String("a=b"), String("a}b")})
    EXPECT_FALSE(OVOVars::IsValidVarName(bad)) << bad;

  // Default values by type, directly or from a list by key ignoring case (empty without a definition).
  const std::tuple<uint32_t, const char*, const char*> defaults[] = {
      {0, "text", "text"}, {3, "f.txt", "f.txt"}, {5, "42", "42"}, {6, "C:\\dir", "C:\\dir"}, {8, "pw", "pw"},
      {1, "T", "T"}, {1, "t", "F"}, {2, "one|two", "one"}, {7, "x|y", "x"}, {2, "", ""}, {4, "12.03.2024", ""},
      {9, "cert", ""}, {0xFFFFFFFF, "x", ""}};
  for (const auto& [type, data, want] : defaults) {
    const DefPtr def = MakeDef("Cat", "Name", data, type);
    OVOCustomVarDefList defs;
    defs.AddTail(def);
    OVOVars values;
    values.SetVar("CAT", "NAME", "previous", Def::eString);
    values.SetVarToDefaultValue(*def);
    const String entry = "Cat/Name=" + String(want) + ":" + std::to_string(type);
    EXPECT_EQ(Dump(values), (Names{entry})) << data;
    values.SetVar("Cat", "Other", "old", Def::eDate);
    values.SetVarToDefaultValue("cat", "other", defs);
    values.SetVarToDefaultValue("CAT", "name", defs);
    EXPECT_EQ(Dump(values), (Names{entry, "cat/other=:0"})) << data;
  }
}

TEST(OVOVars, DatesValidTextsGiveLocalMidnightOrTheDBTimeInvalidOnesFalse) {
  ScopedTZ tz(kCentralEurope);
  const CTime day = 1710198000;  // 12 March 2024, 00:00 CET
  const std::pair<const char*, CTime> cases[] = {
      {"12.03.2024", day}, {"03/12/2024", day}, {"12-03-2024", day}, {" 12 . 3 . 2024 ", day},
      {"0012.003.02024", day}, {"20240312", day}, {"12/03/2024", 1733180400},  // month first only with a slash
      {"20240229235959", 1709161200 + 86399}, {"29.02.2024", 1709161200}, {"29.02.2000", 951778800},
      {"31.12.3000", 32535126000}, {"15.07.2024", 1720994400},  // 22:00 UTC in summer
      {"02.01.1970", 86400 - 3600}};
  for (const auto& [text, want] : cases) {
    CTime t = -5;
    EXPECT_TRUE(OVOVars::CTimeFromStringValue(text, t) && t == want) << text << " gives " << t;
  }
  const Names bad = {
      "", "12.03", "12.03.2024.", "12..2024", ".03.2024", "12.03.", "13.13.2024", "00.03.2024", "12.00.2024",
      "32.01.2024", "31.04.2024", "29.02.2023", "30.02.2024", "29.02.2100", "12.03.1969", "12.03.3001", "a.b.c",
      "12.03.20x4", "+1.03.2024", "12.03.99999999999999999999", "4294967308.03.2024", "12.\t03.2024", "2024031",
      "202403121", "abcdefgh", "2024031212000", "20241301", "20240230", "20240312250000", "20240312126000",
      "20240312120060", "19691231", "13/03/2024", "31.06.2024", "31.09.2024", "31.11.2024", "32.08.2024", "32.12.2024",
      "01.01.1970",  // local midnight of the first day lies before the epoch east of UTC
      "12.03/2024", "12/03-2024", "2024-03-12", "2024.03.12"};  // the first separator found decides the form
  for (const String& text : bad) {
    CTime t = 777;
    String out = "keep";
    EXPECT_FALSE(OVOVars::CTimeFromStringValue(text, t) || OVOVars::ShortDateStringFromValue(text, out)) << text;
    EXPECT_EQ(std::to_string(t) + out, "777keep") << text;  // left alone
  }
  ScopedTZ utc("UTC");
  CTime t = 5;
  EXPECT_TRUE(OVOVars::CTimeFromStringValue("01.01.1970", t) && t == 0) << t;
}

}  // namespace
}  // namespace orvacmn
