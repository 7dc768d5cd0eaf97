#include "orvacmn/variables/vars.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "ofl/locale.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/variables/custom_var_def.h"

namespace orvacmn {
namespace {

using Type = OVOCustomVarDef::ECustomVarType;

String Node(const char* tag, const String& value) { return OFLTools::MakeXMLNode(tag, value, "", true, false); }

String Entry(const String& category, const String& name, const String& value, int32_t type) {
  return "<VarEntry>" + Node("Category", category) + Node("Name", name) + Node("Value", value) +
         OFLTools::MakeXMLNode("TypeForDisplay", type) + "</VarEntry>";
}

std::vector<String> Names(const OVOVars& vars) {
  std::vector<String> out;
  for (const OVOVars::Variable* v : vars) out.push_back(v->GetCategory() + "/" + v->GetName());
  return out;
}

// Local time in a zone with daylight saving, independent of the host.
class ScopedTZ {
 public:
  explicit ScopedTZ(const char* tz) {
    const char* old = std::getenv("TZ");
    hadOld_ = old != nullptr;
    if (hadOld_) old_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ScopedTZ() {
    if (hadOld_) {
      setenv("TZ", old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool hadOld_ = false;
  std::string old_;
};

constexpr char kBerlin[] = "CET-1CEST,M3.5.0,M10.5.0/3";

CTime LocalMidnight(int y, int m, int d) {
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = m - 1;
  tm.tm_mday = d;
  tm.tm_isdst = -1;
  return static_cast<CTime>(std::mktime(&tm));
}

// ---------------------------------------------------------------------------
// Text form

TEST(OVOVarsPack, EmptySetHasNameScopeAndNothingElse) {
  OVOVars vars;
  EXPECT_EQ(vars.GetObjectName(), "Vars");
  EXPECT_EQ(vars.GetSchema(), 0x50001u);
  EXPECT_EQ(vars.Pack(), "<Vars>" + Node("Scope", "") + "</Vars>");
}

TEST(OVOVarsPack, NodesInOrderAndEntriesInInsertionOrder) {
  OVOVars vars;
  vars.SetScope("__MACHINE__");
  vars.SetVar("Inv", "Room", "12", OVOCustomVarDef::eNumber);
  vars.SetVar("", "Flag", "T", OVOCustomVarDef::eYesNo);
  EXPECT_EQ(vars.Pack(), "<Vars>" + Node("Scope", "__MACHINE__") + Entry("Inv", "Room", "12", 5) +
                             Entry("", "Flag", "T", 1) + "</Vars>");
}

TEST(OVOVarsPack, HostileValuesRoundTrip) {
  const std::vector<String> values = {
      "<>&\"'",         "]]>",         "a\r\nb\rc\n",       "  padded  ", "\t",
      "&amp;&#65;",     "{Var}",       "\xC3\xA4\xE2\x82\xAC", "<Vars></Vars>", "</Value>",
      String(5000, 'x'), "line\x01\x1F", " ",
  };
  OVOVars vars;
  vars.SetScope("<scope & \"x\">");
  for (size_t i = 0; i < values.size(); ++i) {
    vars.SetVar(values[i], "n" + std::to_string(i), values[i], static_cast<Type>(i));
  }
  const String packed = vars.Pack();
  OVOVars back(packed);
  ASSERT_EQ(back.GetCount(), static_cast<int32_t>(values.size()));
  EXPECT_EQ(back.GetScope(), "<scope & \"x\">");
  size_t i = 0;
  for (const OVOVars::Variable* v : back) {
    EXPECT_EQ(v->GetCategory(), values[i]) << i;
    EXPECT_EQ(v->GetValue(), values[i]) << i;
    EXPECT_EQ(v->GetTypeForDisplay(), static_cast<Type>(i));
    ++i;
  }
  EXPECT_EQ(back.Pack(), packed);
  EXPECT_TRUE(back == vars);
}

TEST(OVOVarsPack, TypeBeyondSignedRangeIsStable) {
  OVOVars vars;
  vars.SetVar("c", "n", "v", static_cast<Type>(0xFFFFFFFFu));
  vars.SetVar("c", "m", "v", static_cast<Type>(0x80000000u));
  OVOVars back(vars.Pack());
  EXPECT_EQ(back.GetVar("c", "n")->GetTypeForDisplay(), static_cast<Type>(0xFFFFFFFFu));
  EXPECT_EQ(back.GetVar("c", "m")->GetTypeForDisplay(), static_cast<Type>(0x80000000u));
  EXPECT_EQ(back.Pack(), vars.Pack());
}

TEST(OVOVarsUnpack, TagsIgnoreCaseUnknownNodesAreSkipped) {
  const String text =
      "<Vars><Junk>1</Junk><SCOPE>__JOB__</SCOPE>"
      "<varentry><NAME>Target</NAME><other><Name>inner</Name></other><category>Cat</category>"
      "<VALUE>v1</VALUE><typefordisplay>4</typefordisplay></varentry>"
      "<VarEntry><Name>Only</Name></VarEntry>"
      "<Variable><Name>NotAnEntry</Name></Variable></Vars>";
  OVOVars vars(text);
  EXPECT_EQ(vars.GetScope(), "__JOB__");
  ASSERT_EQ(vars.GetCount(), 2);
  const OVOVars::Variable* v = vars.GetVar("cat", "target");
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->GetValue(), "v1");
  EXPECT_EQ(v->GetTypeForDisplay(), OVOCustomVarDef::eDate);
  const OVOVars::Variable* only = vars.GetVar("", "Only");
  ASSERT_NE(only, nullptr);
  EXPECT_EQ(only->GetValue(), "");
  EXPECT_EQ(only->GetTypeForDisplay(), OVOCustomVarDef::eString);
}

TEST(OVOVarsUnpack, RootNameIsExactAndFailureLeavesObjectCleared) {
  OVOVars vars;
  vars.SetScope("__GROUP__");
  vars.SetVar("a", "b", "c", OVOCustomVarDef::eString);
  EXPECT_EQ(vars.Unpack(String("<vars><Scope>x</Scope></vars>")), 0);
  EXPECT_EQ(vars.GetScope(), "");
  EXPECT_EQ(vars.GetCount(), 0);
  vars.SetVar("a", "b", "c", OVOCustomVarDef::eString);
  EXPECT_EQ(vars.Unpack(String()), 0);
  EXPECT_EQ(vars.GetCount(), 0);
  EXPECT_EQ(vars.Unpack(String("<Vars><Scope>x</Sc")), 0);
  EXPECT_EQ(vars.Unpack(String("<Vars/>")), 1);
  EXPECT_EQ(vars.Pack(), OVOVars().Pack());
}

TEST(OVOVarsUnpack, RepeatedKeysCollapseLastWinsWithItsLetterCase) {
  OVOVars vars("<Vars>" + Entry("Cat", "Name", "first", 0) + Entry("x", "y", "z", 0) +
               Entry("CAT", "NAME", "second", 1) + "</Vars>");
  ASSERT_EQ(vars.GetCount(), 2);
  EXPECT_EQ(Names(vars), (std::vector<String>{"CAT/NAME", "x/y"}));
  String value;
  EXPECT_EQ(vars.GetVar("cat", "name", value), 1);
  EXPECT_EQ(value, "second");
}

TEST(OVOVarsUnpack, NumbersReadAsUnsignedDecimal) {
  OVOVars vars("<Vars><VarEntry><Name>a</Name><TypeForDisplay>-1</TypeForDisplay></VarEntry>"
               "<VarEntry><Name>b</Name><TypeForDisplay> 7xyz</TypeForDisplay></VarEntry>"
               "<VarEntry><Name>c</Name><TypeForDisplay>99999999999</TypeForDisplay></VarEntry>"
               "<VarEntry><Name>d</Name><TypeForDisplay>abc</TypeForDisplay></VarEntry></Vars>");
  EXPECT_EQ(vars.GetVar("", "a")->GetTypeForDisplay(), static_cast<Type>(0xFFFFFFFFu));
  EXPECT_EQ(vars.GetVar("", "b")->GetTypeForDisplay(), OVOCustomVarDef::eEditableList);
  EXPECT_EQ(vars.GetVar("", "c")->GetTypeForDisplay(), static_cast<Type>(0xFFFFFFFFu));
  EXPECT_EQ(vars.GetVar("", "d")->GetTypeForDisplay(), OVOCustomVarDef::eString);
}

TEST(OVOVarsUnpack, UnpackReplacesPreviousContent) {
  OVOVars vars;
  vars.SetScope("__JOB__");
  vars.SetVar("old", "old", "old", OVOCustomVarDef::eString);
  ASSERT_EQ(vars.Unpack("<Vars>" + Entry("new", "new", "new", 0) + "</Vars>"), 1);
  EXPECT_EQ(vars.GetScope(), "");
  EXPECT_EQ(Names(vars), (std::vector<String>{"new/new"}));
  EXPECT_EQ(vars.GetVar("old", "old"), nullptr);
}

TEST(OVOVarsUnpack, FromParserInsideAContainer) {
  OVOVars inner;
  inner.SetScope("__PROFILE__");
  inner.SetVar("c", "n", "v", OVOCustomVarDef::eString);
  OFLXMLParser parser;
  ASSERT_TRUE(parser.SetDoc("<Holder><Other/>" + inner.Pack() + "</Holder>"));
  ASSERT_TRUE(parser.FindElem("Holder"));
  ASSERT_TRUE(parser.FindChildElem());
  OVOVars vars;
  EXPECT_EQ(vars.Unpack(parser), 0);
  ASSERT_TRUE(parser.FindChildElem());
  EXPECT_EQ(vars.Unpack(parser), 1);
  EXPECT_TRUE(vars == inner);
}

TEST(OVOVarsUnpack, LargeSetRoundTrips) {
  OVOVars vars;
  for (int i = 0; i < 20000; ++i) {
    vars.SetVar("c" + std::to_string(i % 7), "n" + std::to_string(i), std::to_string(i), OVOCustomVarDef::eString);
  }
  OVOVars back(vars.Pack());
  EXPECT_EQ(back.GetCount(), 20000);
  EXPECT_TRUE(back == vars);
  String value;
  EXPECT_EQ(back.GetVar("C0", "N19999", value), 1);
  EXPECT_EQ(value, "19999");
}

// ---------------------------------------------------------------------------
// Variables

TEST(OVOVarsSetVar, SameKeyInOtherCaseReplacesInPlaceAndTakesNewCase) {
  OVOVars vars;
  vars.SetVar("Inventory", "Room", "1", OVOCustomVarDef::eString);
  vars.SetVar("Other", "X", "2", OVOCustomVarDef::eString);
  vars.SetVar("INVENTORY", "room", "3", OVOCustomVarDef::eNumber);
  EXPECT_EQ(vars.GetCount(), 2);
  EXPECT_EQ(Names(vars), (std::vector<String>{"INVENTORY/room", "Other/X"}));
  const OVOVars::Variable* v = vars.GetVar("inventory", "ROOM");
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->GetValue(), "3");
  EXPECT_EQ(v->GetTypeForDisplay(), OVOCustomVarDef::eNumber);
}

TEST(OVOVarsSetVar, CategoryAndNameBothMakeTheKey) {
  OVOVars vars;
  vars.SetVar("a", "b", "1", OVOCustomVarDef::eString);
  vars.SetVar("ab", "", "2", OVOCustomVarDef::eString);
  vars.SetVar("", "ab", "3", OVOCustomVarDef::eString);
  vars.SetVar("b", "a", "4", OVOCustomVarDef::eString);
  EXPECT_EQ(vars.GetCount(), 4);
  String value;
  EXPECT_EQ(vars.GetVar("", "ab", value), 1);
  EXPECT_EQ(value, "3");
}

TEST(OVOVarsGetVar, MissLeavesValueUntouched) {
  OVOVars vars;
  vars.SetVar("c", "n", "v", OVOCustomVarDef::eString);
  String value = "keep";
  EXPECT_EQ(vars.GetVar("c", "x", value), 0);
  EXPECT_EQ(value, "keep");
  EXPECT_EQ(vars.GetVarForDisplay("x", "n", value), 0);
  EXPECT_EQ(value, "keep");
  EXPECT_EQ(vars.GetVar("c", "x"), nullptr);
  const OVOVars& cref = vars;
  EXPECT_EQ(cref.GetVar("C", "N")->GetValue(), "v");
}

TEST(OVOVarsGetVar, ValueChangedThroughPointerIsPacked) {
  OVOVars vars;
  vars.SetVar("c", "n", "v", OVOCustomVarDef::eString);
  OVOVars::Variable* v = vars.GetVar("c", "n");
  v->SetValue("w");
  v->SetTypeForDisplay(OVOCustomVarDef::ePassword);
  OVOVars back(vars.Pack());
  EXPECT_EQ(back.GetVar("c", "n")->GetValue(), "w");
  EXPECT_EQ(back.GetVar("c", "n")->GetTypeForDisplay(), OVOCustomVarDef::ePassword);
}

TEST(OVOVarsGetVar, ForDisplayFormatsByType) {
  ScopedTZ tz(kBerlin);
  OFL::Locale::SetSystemDefaultLCID(1033);
  OVOVars vars;
  vars.SetVar("", "flag", "t", OVOCustomVarDef::eYesNo);
  vars.SetVar("", "off", "F", OVOCustomVarDef::eYesNo);
  vars.SetVar("", "pw", "secret", OVOCustomVarDef::ePassword);
  vars.SetVar("", "day", "12.03.2024", OVOCustomVarDef::eDate);
  vars.SetVar("", "bad", "32.03.2024", OVOCustomVarDef::eDate);
  vars.SetVar("", "txt", "as is", OVOCustomVarDef::eFileName);
  String text;
  EXPECT_EQ(vars.GetVarForDisplay("", "FLAG", text), 1);
  EXPECT_EQ(text, "Yes");
  vars.GetVarForDisplay("", "off", text);
  EXPECT_EQ(text, "No");
  vars.GetVarForDisplay("", "pw", text);
  EXPECT_EQ(text, "****");
  vars.GetVarForDisplay("", "day", text);
  EXPECT_EQ(text, OVOHelper::CTimeToSystemDefaultShortDateString(LocalMidnight(2024, 3, 12)));
  EXPECT_EQ(text, "3/12/2024");
  EXPECT_EQ(vars.GetVarForDisplay("", "bad", text), 1);
  EXPECT_EQ(text, "");
  vars.GetVarForDisplay("", "txt", text);
  EXPECT_EQ(text, "as is");
}

TEST(OVOVarsRemove, RemoveVarFreesAndReappendsAtTheEnd) {
  OVOVars vars;
  vars.SetVar("c", "a", "1", OVOCustomVarDef::eString);
  vars.SetVar("c", "b", "2", OVOCustomVarDef::eString);
  vars.SetVar("c", "c", "3", OVOCustomVarDef::eString);
  EXPECT_EQ(vars.RemoveVar("C", "A"), 1);
  EXPECT_EQ(vars.RemoveVar("c", "a"), 0);
  vars.SetVar("c", "a", "4", OVOCustomVarDef::eString);
  EXPECT_EQ(Names(vars), (std::vector<String>{"c/b", "c/c", "c/a"}));
}

TEST(OVOVarsRemove, RemoveEmptyVarsKeepsOrderAndIndex) {
  OVOVars vars;
  for (int i = 0; i < 10; ++i) {
    vars.SetVar("c", std::to_string(i), i % 3 == 0 ? "" : "v", OVOCustomVarDef::eString);
  }
  vars.RemoveEmptyVars();
  EXPECT_EQ(Names(vars), (std::vector<String>{"c/1", "c/2", "c/4", "c/5", "c/7", "c/8"}));
  EXPECT_EQ(vars.GetVar("c", "3"), nullptr);
  EXPECT_NE(vars.GetVar("c", "4"), nullptr);
  vars.SetVar("c", "3", "again", OVOCustomVarDef::eString);
  EXPECT_EQ(vars.GetCount(), 7);
}

TEST(OVOVarsRemove, DeleteListVarsKeepsScopeClearEmptiesBoth) {
  OVOVars vars;
  vars.SetScope("__JOB__");
  vars.SetVar("c", "n", "v", OVOCustomVarDef::eString);
  vars.DeleteListVars();
  EXPECT_EQ(vars.GetCount(), 0);
  EXPECT_EQ(vars.GetScope(), "__JOB__");
  EXPECT_EQ(vars.GetVar("c", "n"), nullptr);
  vars.SetVar("c", "n", "v", OVOCustomVarDef::eString);
  vars.Clear();
  EXPECT_EQ(vars.GetScope(), "");
  EXPECT_TRUE(vars.IsEmpty());
  EXPECT_EQ(vars.GetVar("c", "n"), nullptr);
}

TEST(OVOVarsCopy, CopiesAreDeepAndIndependent) {
  OVOVars a;
  a.SetScope("__GROUP__");
  a.SetVar("c", "n", "v", OVOCustomVarDef::eString);
  OVOVars b(a);
  b.GetVar("c", "n")->SetValue("changed");
  b.SetVar("c", "m", "new", OVOCustomVarDef::eString);
  EXPECT_EQ(a.GetVar("c", "n")->GetValue(), "v");
  EXPECT_EQ(a.GetCount(), 1);
  EXPECT_EQ(b.GetScope(), "__GROUP__");

  OVOVars c;
  c.SetVar("x", "y", "z", OVOCustomVarDef::eString);
  c = b;
  EXPECT_TRUE(c == b);
  EXPECT_EQ(c.GetVar("x", "y"), nullptr);
  EXPECT_NE(c.GetVar("C", "M"), nullptr);
  c = *&c;
  EXPECT_TRUE(c == b);
}

TEST(OVOVarsCopy, MoveKeepsTheIndexUsable) {
  OVOVars a;
  a.SetVar("c", "n", "v", OVOCustomVarDef::eString);
  OVOVars b(std::move(a));
  EXPECT_EQ(b.GetVar("C", "N")->GetValue(), "v");
  OVOVars c;
  c.SetVar("x", "y", "z", OVOCustomVarDef::eString);
  c = std::move(b);
  EXPECT_EQ(c.GetVar("x", "y"), nullptr);
  EXPECT_EQ(c.RemoveVar("c", "n"), 1);
  EXPECT_TRUE(c.IsEmpty());
  EXPECT_EQ(c.GetObjectName(), "Vars");
}

TEST(OVOVarsCompare, EqualityIsByPackedText) {
  OVOVars a, b;
  a.SetVar("c", "x", "1", OVOCustomVarDef::eString);
  a.SetVar("c", "y", "2", OVOCustomVarDef::eString);
  b.SetVar("c", "y", "2", OVOCustomVarDef::eString);
  b.SetVar("c", "x", "1", OVOCustomVarDef::eString);
  EXPECT_FALSE(a == b);
  EXPECT_TRUE(a != b);
  OVOVars c(a);
  EXPECT_TRUE(a == c);
  c.SetVar("C", "x", "1", OVOCustomVarDef::eString);
  EXPECT_FALSE(a == c);  // letter case is part of the text
}

// ---------------------------------------------------------------------------
// Names

TEST(OVOVarsFullName, EveryScopeCategoryAndName) {
  const std::vector<std::pair<String, String>> scopes = {
      {"__MACHINE__", "Client"},   {"__ADOBJECT__", "ADObject"},   {"__PROFILE__", "Profile"},
      {"__GROUP__", "Group"},      {"__SOFTWARE__", "Software"},   {"__COMPONENT__", "Component"},
      {"__BULLETIN__", "Bulletin"}, {"__JOB__", "Job"},            {"__JOBPARAM__", "JobParam"},
      {"Custom", "Custom"},        {"__machine__", "__machine__"},
  };
  for (const auto& [code, display] : scopes) {
    OVOVars vars;
    vars.SetScope(code);
    vars.SetVar("Inventory", "Room", "", OVOCustomVarDef::eString);
    vars.SetVar("", "Target", "", OVOCustomVarDef::eString);
    EXPECT_EQ(vars.GenerateFullName(vars.GetVar("Inventory", "Room")), display + ".Inventory.Room");
    EXPECT_EQ(vars.GenerateFullName(vars.GetVar("", "Target")), display + ".Target");
  }
}

TEST(OVOVarsFullName, WithoutScopeOrCategory) {
  OVOVars vars;
  vars.SetVar("", "Plain", "", OVOCustomVarDef::eString);
  vars.SetVar("Cat", "Name", "", OVOCustomVarDef::eString);
  EXPECT_EQ(vars.GenerateFullName(vars.GetVar("", "Plain")), "Plain");
  EXPECT_EQ(vars.GenerateFullName(vars.GetVar("Cat", "Name")), "Cat.Name");
  EXPECT_EQ(vars.GenerateFullName(nullptr), "");
}

TEST(OVOVarsCategories, EachCategoryOnceInListOrderFirstSpelling) {
  OVOVars vars;
  vars.SetVar("Net", "a", "", OVOCustomVarDef::eString);
  vars.SetVar("", "b", "", OVOCustomVarDef::eString);
  vars.SetVar("Inv", "c", "", OVOCustomVarDef::eString);
  vars.SetVar("NET", "d", "", OVOCustomVarDef::eString);
  vars.SetVar("a;b|c:1", "e", "", OVOCustomVarDef::eString);
  vars.SetVar("", "f", "", OVOCustomVarDef::eString);
  OFLTokenizer categories;
  ASSERT_TRUE(categories.FromLengthPackedString(vars.GetCategories()));
  EXPECT_EQ(categories.Items(), (std::vector<String>{"Net", "", "Inv", "a;b|c:1"}));
  EXPECT_EQ(OVOVars().GetCategories(), OFLTokenizer().AsLengthPackedString());
}

TEST(OVOVarsValidName, Boundaries) {
  EXPECT_FALSE(OVOVars::IsValidVarName(""));
  EXPECT_TRUE(OVOVars::IsValidVarName("a"));
  EXPECT_TRUE(OVOVars::IsValidVarName(String(254, 'n')));
  EXPECT_FALSE(OVOVars::IsValidVarName(String(255, 'n')));
  EXPECT_FALSE(OVOVars::IsValidVarName(" "));
  EXPECT_FALSE(OVOVars::IsValidVarName(String(10, ' ')));
  EXPECT_TRUE(OVOVars::IsValidVarName("  x  "));
  EXPECT_TRUE(OVOVars::IsValidVarName("Room Number.2;x|y:z%$"));
  for (const char c : String("\t\r\n={}")) {
    EXPECT_FALSE(OVOVars::IsValidVarName(String("ab") + c + "cd")) << int(c);
    EXPECT_FALSE(OVOVars::IsValidVarName(String(1, c))) << int(c);
  }
  EXPECT_FALSE(OVOVars::IsValidVarName(String(253, 'n') + "{"));
}

// ---------------------------------------------------------------------------
// Defaults

TEST(OVOVarsDefault, ValueByType) {
  struct Case {
    uint32_t type;
    String data;
    String expected;
  };
  const std::vector<Case> cases = {
      {0, "text", "text"},      {3, "C:\\f.txt", "C:\\f.txt"},  {5, "42", "42"},
      {6, "C:\\dir", "C:\\dir"}, {8, "pw", "pw"},               {1, "T", "T"},
      {1, "t", "F"},            {1, "F", "F"},                  {1, "", "F"},
      {1, "True", "F"},         {2, "one|two|three", "one"},    {7, "x|y", "x"},
      {2, "", ""},              {2, "single", "single"},        {4, "12.03.2024", ""},
      {9, "cert", ""},          {10, "x", ""},                  {0xFFFFFFFF, "x", ""},
  };
  for (const Case& c : cases) {
    OVOCustomVarDef def;
    def.SetCategory("Cat");
    def.SetName("Name");
    def.SetType(static_cast<Type>(c.type));
    def.SetData(c.data);
    OVOVars vars;
    vars.SetVar("CAT", "NAME", "previous", OVOCustomVarDef::eString);
    vars.SetVarToDefaultValue(def);
    ASSERT_EQ(vars.GetCount(), 1);
    const OVOVars::Variable* v = *vars.begin();
    EXPECT_EQ(v->GetValue(), c.expected) << c.type << " " << c.data;
    EXPECT_EQ(v->GetTypeForDisplay(), static_cast<Type>(c.type));
    EXPECT_EQ(v->GetCategory(), "Cat");
    EXPECT_EQ(v->GetName(), "Name");
  }
}

TEST(OVOVarsDefault, YesNoDefaultIsCaseSensitiveDisplayIsNot) {
  OVOCustomVarDef def;
  def.SetName("Flag");
  def.SetType(OVOCustomVarDef::eYesNo);
  def.SetData("t");
  OVOVars vars;
  vars.SetVarToDefaultValue(def);
  EXPECT_EQ(vars.GetVar("", "Flag")->GetValue(), "F");
  EXPECT_EQ(OVOCustomVarDef::FormatValueForDisplay(OVOCustomVarDef::eYesNo, "t"), "Yes");
}

TEST(OVOVarsDefault, FromListByKeyOrEmpty) {
  OVOCustomVarDefList defs;
  auto def = std::make_shared<OVOCustomVarDef>();
  def->SetCategory("Inv");
  def->SetName("Room");
  def->SetType(OVOCustomVarDef::eList);
  def->SetData("A1|B2");
  defs.AddTail(def);

  OVOVars vars;
  vars.SetVarToDefaultValue("INV", "room", defs);
  const OVOVars::Variable* v = vars.GetVar("inv", "ROOM");
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->GetValue(), "A1");
  EXPECT_EQ(v->GetCategory(), "Inv");  // the definition's spelling
  EXPECT_EQ(v->GetTypeForDisplay(), OVOCustomVarDef::eList);

  vars.SetVar("Inv", "Other", "old", OVOCustomVarDef::eDate);
  vars.SetVarToDefaultValue("inv", "other", defs);
  v = vars.GetVar("Inv", "Other");
  EXPECT_EQ(v->GetValue(), "");
  EXPECT_EQ(v->GetTypeForDisplay(), OVOCustomVarDef::eString);
  EXPECT_EQ(v->GetName(), "other");
}

// ---------------------------------------------------------------------------
// Dates

class OVOVarsDate : public ::testing::Test {
 protected:
  ScopedTZ tz_{kBerlin};
};

TEST_F(OVOVarsDate, ThreeSeparatedFormsReadTheSameDay) {
  const CTime expected = LocalMidnight(2024, 3, 12);
  for (const char* text : {"12.03.2024", "03/12/2024", "12-03-2024", "12.3.2024", "3/12/2024", " 12 . 03 . 2024 ",
                           "0012.003.02024"}) {
    CTime t = -5;
    EXPECT_TRUE(OVOVars::CTimeFromStringValue(text, t)) << text;
    EXPECT_EQ(t, expected) << text;
  }
}

TEST_F(OVOVarsDate, MidnightFollowsDaylightSaving) {
  CTime winter = 0, summer = 0;
  ASSERT_TRUE(OVOVars::CTimeFromStringValue("15.01.2024", winter));
  ASSERT_TRUE(OVOVars::CTimeFromStringValue("15.07.2024", summer));
  EXPECT_EQ(winter % 86400, 23 * 3600);  // 23:00 UTC the day before
  EXPECT_EQ(summer % 86400, 22 * 3600);
  CTime sw = 0;
  ASSERT_TRUE(OVOVars::CTimeFromStringValue("31.03.2024", sw));  // day of the switch
  EXPECT_EQ(sw, 1711839600);
}

TEST_F(OVOVarsDate, FirstSeparatorFoundDecidesTheForm) {
  CTime t = 0;
  EXPECT_FALSE(OVOVars::CTimeFromStringValue("12.03/2024", t));
  EXPECT_FALSE(OVOVars::CTimeFromStringValue("12/03-2024", t));
  EXPECT_FALSE(OVOVars::CTimeFromStringValue("2024-03-12", t));  // day 2024, year 12
  EXPECT_FALSE(OVOVars::CTimeFromStringValue("2024.03.12", t));
}

TEST_F(OVOVarsDate, MonthFirstOnlyWithSlash) {
  CTime t = 0;
  ASSERT_TRUE(OVOVars::CTimeFromStringValue("12/03/2024", t));
  EXPECT_EQ(t, LocalMidnight(2024, 12, 3));
  EXPECT_FALSE(OVOVars::CTimeFromStringValue("13/03/2024", t));
  EXPECT_TRUE(OVOVars::CTimeFromStringValue("13.03.2024", t));
}

TEST_F(OVOVarsDate, InvalidTextsGiveFalseAndLeaveTimeUnchanged) {
  const std::vector<String> bad = {
      "",           "12.03",       "12.03.2024.",   "12..2024",     ".03.2024",   "12.03.",
      "1.2.3.4",    "12/03",       "12-03",         "13.13.2024",   "00.03.2024", "12.00.2024",
      "32.01.2024", "31.04.2024",  "29.02.2023",    "30.02.2024",   "12.03.1969", "12.03.3001",
      "12.03.24",   "a.b.c",       "12.03.20x4",    "+1.03.2024",   "-1.03.2024", "12.03.99999999999999999999",
      "4294967308.03.2024", "12.\t03.2024", "2024031",   "202403121",   "abcdefgh",    "2024031212000",
      "20241301",   "20240230",    "20240312250000", "20240312126000", "20240312120060", "2024-031",
      "today",      "12.03.2024 10:00",
  };
  for (const String& text : bad) {
    CTime t = 777;
    EXPECT_FALSE(OVOVars::CTimeFromStringValue(text, t)) << "'" << text << "'";
    EXPECT_EQ(t, 777) << text;
    String out = "keep";
    EXPECT_FALSE(OVOVars::ShortDateStringFromValue(text, out)) << text;
    EXPECT_EQ(out, "keep");
  }
}

TEST_F(OVOVarsDate, LeapDaysAndRangeEnds) {
  CTime t = 0;
  EXPECT_TRUE(OVOVars::CTimeFromStringValue("29.02.2024", t));
  EXPECT_TRUE(OVOVars::CTimeFromStringValue("29.02.2000", t));
  EXPECT_FALSE(OVOVars::CTimeFromStringValue("29.02.2100", t));
  EXPECT_TRUE(OVOVars::CTimeFromStringValue("31.12.3000", t));
  EXPECT_EQ(t, LocalMidnight(3000, 12, 31));
  EXPECT_TRUE(OVOVars::CTimeFromStringValue("02.01.1970", t));
  EXPECT_EQ(t, 86400 - 3600);
  // Local midnight of the first day lies before the epoch east of UTC.
  EXPECT_FALSE(OVOVars::CTimeFromStringValue("01.01.1970", t));
}

TEST(OVOVarsDateUTC, FirstDayOfTheEpochInUTC) {
  ScopedTZ tz("UTC0");
  CTime t = 5;
  EXPECT_TRUE(OVOVars::CTimeFromStringValue("01.01.1970", t));
  EXPECT_EQ(t, 0);
}

TEST_F(OVOVarsDate, DBTimeTexts) {
  CTime t = 0;
  ASSERT_TRUE(OVOVars::CTimeFromStringValue("20240312", t));
  EXPECT_EQ(t, LocalMidnight(2024, 3, 12));
  ASSERT_TRUE(OVOVars::CTimeFromStringValue("20240312153045", t));
  EXPECT_EQ(t, LocalMidnight(2024, 3, 12) + 15 * 3600 + 30 * 60 + 45);
  EXPECT_EQ(t, OVOHelper::DBTimeToCTime("20240312153045"));
  ASSERT_TRUE(OVOVars::CTimeFromStringValue("20240229235959", t));
  EXPECT_FALSE(OVOVars::CTimeFromStringValue("19691231", t));
}

TEST_F(OVOVarsDate, ShortDateInTheSystemLocale) {
  String out;
  OFL::Locale::SetSystemDefaultLCID(1031);
  ASSERT_TRUE(OVOVars::ShortDateStringFromValue("03/12/2024", out));
  EXPECT_EQ(out, "12.03.2024");
  OFL::Locale::SetSystemDefaultLCID(1033);
  ASSERT_TRUE(OVOVars::ShortDateStringFromValue("12-03-2024", out));
  EXPECT_EQ(out, "3/12/2024");
  ASSERT_TRUE(OVOVars::ShortDateStringFromValue("20240312235959", out));
  EXPECT_EQ(out, "3/12/2024");
}

}  // namespace
}  // namespace orvacmn
