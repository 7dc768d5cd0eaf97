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
#include "ofl/xml_parser.h"
#include "orvacmn/variables/custom_var_def.h"

namespace orvacmn {
namespace {

using Def = OVOCustomVarDef;
using Type = Def::ECustomVarType;
using Names = std::vector<String>;
using orvacmn::testing::kCentralEurope;
using orvacmn::testing::ScopedTZ;

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

TEST(OVOVarsPack, ExactFormHostileValuesAndLargeSetsRoundTrip) {
  OVOVars vars;
  EXPECT_EQ(vars.GetSchema(), 0x50001u);
  EXPECT_EQ(vars.Pack(), "<Vars><Scope></Scope></Vars>");
  vars.SetScope("__MACHINE__");
  vars.SetVar("Inv", "Room", "12", Def::eNumber);
  vars.SetVar("", "Flag", "T", Def::eYesNo);
  EXPECT_EQ(vars.Pack(),
            "<Vars><Scope>__MACHINE__</Scope>" + Entry("Inv", "Room", "12", 5) + Entry("", "Flag", "T", 1) + "</Vars>");

  const Names values = {"<>&\"'", "]]>",         "a\r\nb\rc\n",       "  padded  ", "\t", "&amp;&#65;", "{Var}",
                        "\xC3\xA4\xE2\x82\xAC", "<Vars></Vars>", "</Value>", String(5000, 'x'), "line\x01\x1F", " "};
  OVOVars hostile;
  hostile.SetScope("<scope & \"x\">");
  for (size_t i = 0; i < values.size(); ++i)
    hostile.SetVar(values[i], "n" + std::to_string(i), values[i], static_cast<Type>(i));
  hostile.SetVar("c", "n", "v", static_cast<Type>(0xFFFFFFFFu));
  hostile.SetVar("c", "m", "v", static_cast<Type>(0x80000000u));
  const OVOVars back(hostile.Pack());
  EXPECT_EQ(back.GetScope(), "<scope & \"x\">");
  EXPECT_EQ(Dump(back), Dump(hostile));
  EXPECT_EQ(back.Pack(), hostile.Pack());

  OVOVars large;
  for (int i = 0; i < 20000; ++i)
    large.SetVar("c" + std::to_string(i % 7), "n" + std::to_string(i), std::to_string(i), Def::eString);
  const OVOVars largeBack(large.Pack());
  EXPECT_TRUE(largeBack == large && largeBack.GetCount() == 20000);
  EXPECT_EQ(largeBack.GetVar("C0", "N19999")->GetValue(), "19999");
}

TEST(OVOVarsUnpack, TagsIgnoreCaseUnknownSkippedRepeatedKeysCollapseFailureClears) {
  OVOVars vars(
      "<Vars><Junk>1</Junk><SCOPE>__JOB__</SCOPE>"
      "<varentry><NAME>Target</NAME><other><Name>inner</Name></other><category>Cat</category>"
      "<VALUE>v1</VALUE><typefordisplay>4</typefordisplay></varentry>"
      "<VarEntry><Name>Only</Name></VarEntry><Variable><Name>NotAnEntry</Name></Variable>"
      "<VarEntry><Name>a</Name><TypeForDisplay>-1</TypeForDisplay></VarEntry>"
      "<VarEntry><Name>b</Name><TypeForDisplay> 7xyz</TypeForDisplay></VarEntry>"
      "<VarEntry><Name>c</Name><TypeForDisplay>99999999999</TypeForDisplay></VarEntry>"
      "<VarEntry><Name>d</Name><TypeForDisplay>abc</TypeForDisplay></VarEntry>" +
      Entry("K", "N", "first", 0) + Entry("x", "y", "z", 0) + Entry("k", "n", "second", 1) + "</Vars>");
  EXPECT_EQ(vars.GetScope(), "__JOB__");
  // A repeated key replaces in place; the last wins with its letter case.
  EXPECT_EQ(Dump(vars), (Names{"Cat/Target=v1:4", "/Only=:0", "/a=:4294967295", "/b=:7", "/c=:4294967295", "/d=:0",
                               "k/n=second:1", "x/y=z:0"}));
  // Unpack replaces the content; the root name is exact; a failure leaves the object cleared.
  ASSERT_EQ(vars.Unpack("<Vars>" + Entry("new", "new", "new", 0) + "</Vars>"), 1);
  EXPECT_EQ(vars.GetScope(), "");
  EXPECT_EQ(Dump(vars), (Names{"new/new=new:0"}));
  EXPECT_EQ(vars.GetVar("x", "y"), nullptr);
  for (const char* bad : {"<vars><Scope>x</Scope></vars>", "", "<Vars><Scope>x</Sc"}) {
    vars.SetScope("__GROUP__");
    Set(vars, {{"a", "b"}});
    EXPECT_EQ(vars.Unpack(String(bad)), 0) << bad;
    EXPECT_EQ(vars.Pack(), OVOVars().Pack()) << bad;
  }
  EXPECT_EQ(vars.Unpack(String("<Vars/>")), 1);

  OVOVars inner;
  inner.SetScope("__PROFILE__");
  Set(inner, {{"c", "n"}});
  OFLXMLParser parser;
  ASSERT_TRUE(parser.SetDoc("<Holder><Other/>" + inner.Pack() + "</Holder>"));
  ASSERT_TRUE(parser.FindElem("Holder"));
  ASSERT_TRUE(parser.FindChildElem());
  EXPECT_EQ(vars.Unpack(parser), 0);
  ASSERT_TRUE(parser.FindChildElem());
  EXPECT_EQ(vars.Unpack(parser), 1);
  EXPECT_TRUE(vars == inner);
}

TEST(OVOVarsSetVar, KeyIsCategoryAndNameIgnoringCaseReplaceTakesNewCaseRemove) {
  OVOVars vars;
  vars.SetVar("Inventory", "Room", "1", Def::eString);
  Set(vars, {{"a", "b"}, {"ab", ""}, {"", "ab"}, {"b", "a"}});
  vars.SetVar("INVENTORY", "room", "3", Def::eNumber);
  vars.SetVar("", "AB", "4", Def::eDate);
  EXPECT_EQ(Dump(vars), (Names{"INVENTORY/room=3:5", "a/b=v:0", "ab/=v:0", "/AB=4:4", "b/a=v:0"}));
  String value = "keep";
  EXPECT_EQ(vars.GetVar("c", "x", value) + vars.GetVarForDisplay("x", "n", value), 0);
  EXPECT_EQ(value, "keep");
  EXPECT_EQ(vars.GetVar("inventory", "ROOM", value), 1);
  EXPECT_EQ(value, "3");
  EXPECT_EQ(vars.GetVarForDisplay("", "ab", value), 1);  // formatted by the variable's type
  EXPECT_EQ(value, "");
  EXPECT_EQ(vars.GetVar("a", "x"), nullptr);
  EXPECT_EQ(std::as_const(vars).GetVar("A", "B")->GetValue(), "v");
  OVOVars::Variable* v = vars.GetVar("a", "b");
  v->SetValue("w");
  v->SetTypeForDisplay(Def::ePassword);
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
  Set(vars, {{"c", "n"}});
  vars.Clear();
  EXPECT_TRUE(vars.GetScope().empty() && vars.IsEmpty() && !vars.GetVar("c", "n"));
}

TEST(OVOVarsCopy, CopiesAreDeepMovesKeepTheIndexEqualityIsByText) {
  OVOVars a;
  a.SetScope("__GROUP__");
  Set(a, {{"c", "n"}});
  OVOVars b(a);
  b.GetVar("c", "n")->SetValue("changed");
  Set(b, {{"c", "m"}});
  EXPECT_EQ(Dump(a), (Names{"c/n=v:0"}));
  EXPECT_EQ(b.GetScope(), "__GROUP__");
  OVOVars c, d;
  Set(c, {{"x", "y"}});
  Set(d, {{"x", "y"}});
  c = b;
  c = *&c;
  EXPECT_TRUE(c == b && !c.GetVar("x", "y"));
  OVOVars moved(std::move(c));
  d = std::move(moved);
  EXPECT_EQ(Dump(d), (Names{"c/n=changed:0", "c/m=v:0"}));
  EXPECT_EQ(d.RemoveVar("C", "N") + d.RemoveVar("c", "m"), 2) << "the index moved along";
  EXPECT_TRUE(d.IsEmpty());
  EXPECT_EQ(d.GetObjectName(), "Vars");

  OVOVars x, y;
  Set(x, {{"c", "x"}, {"c", "y"}});
  Set(y, {{"c", "y"}, {"c", "x"}});
  EXPECT_TRUE(x != y) << "order matters";
  y = x;
  EXPECT_TRUE(x == y);
  Set(y, {{"C", "x"}});
  EXPECT_FALSE(x == y) << "letter case is part of the text";
}

TEST(OVOVarsNames, FullNameCategoriesAndValidNames) {
  // The scope's display name; every code's name is checked with the definitions.
  const std::pair<const char*, const char*> scopes[] = {
      {"__MACHINE__", "Client."}, {"__JOBPARAM__", "JobParam."}, {"__machine__", "__machine__."}, {"", ""}};
  for (const auto& [code, prefix] : scopes) {
    OVOVars vars;
    vars.SetScope(code);
    Set(vars, {{"Inventory", "Room"}, {"", "Target"}});
    EXPECT_EQ(vars.GenerateFullName(vars.GetVar("Inventory", "Room")), String(prefix) + "Inventory.Room");
    EXPECT_EQ(vars.GenerateFullName(vars.GetVar("", "Target")), String(prefix) + "Target");
    EXPECT_EQ(vars.GenerateFullName(nullptr), "");
  }

  OVOVars vars;
  Set(vars, {{"Net", "a"}, {"", "b"}, {"Inv", "c"}, {"NET", "d"}, {"a;b|c:1", "e"}, {"", "f"}});
  OFLTokenizer categories;
  ASSERT_TRUE(categories.FromLengthPackedString(vars.GetCategories()));
  EXPECT_EQ(categories.Items(), (Names{"Net", "", "Inv", "a;b|c:1"}));
  EXPECT_EQ(OVOVars().GetCategories(), OFLTokenizer().AsLengthPackedString());

  for (const String& ok : {String("a"), String(254, 'n'), String("  x  "), String("Room Number.2;x|y:z%$")})
    EXPECT_TRUE(OVOVars::IsValidVarName(ok)) << ok;
  for (const String& bad : {String(), String(255, 'n'), String(" "), String(10, ' '), String(253, 'n') + "{"})
    EXPECT_FALSE(OVOVars::IsValidVarName(bad)) << bad;
  for (const char c : String("\t\r\n={}")) {
    EXPECT_FALSE(OVOVars::IsValidVarName(String("ab") + c + "cd")) << int(c);
    EXPECT_FALSE(OVOVars::IsValidVarName(String(1, c))) << int(c);
  }
}

TEST(OVOVarsDefault, ValueByTypeAndFromListByKeyOrEmpty) {
  const std::tuple<uint32_t, const char*, const char*> cases[] = {
      {0, "text", "text"}, {3, "C:\\f.txt", "C:\\f.txt"}, {5, "42", "42"}, {6, "C:\\dir", "C:\\dir"}, {8, "pw", "pw"},
      {1, "T", "T"}, {1, "t", "F"}, {1, "F", "F"}, {1, "", "F"}, {1, "True", "F"}, {2, "one|two|three", "one"},
      {7, "x|y", "x"}, {2, "", ""}, {2, "single", "single"}, {4, "12.03.2024", ""}, {9, "cert", ""}, {10, "x", ""},
      {0xFFFFFFFF, "x", ""}};
  for (const auto& [type, data, want] : cases) {
    const auto def = std::make_shared<Def>("<CustomVarDef><Category>Cat</Category><Name>Name</Name><Type>" +
                                           std::to_string(type) + "</Type><Data>" + data + "</Data></CustomVarDef>");
    OVOCustomVarDefList defs;
    defs.AddTail(def);
    OVOVars vars;
    vars.SetVar("CAT", "NAME", "previous", Def::eString);
    vars.SetVarToDefaultValue(*def);
    EXPECT_EQ(Dump(vars), (Names{"Cat/Name=" + String(want) + ":" + std::to_string(type)})) << data;
    // Through a list, by key without regard to case; the definition's spelling is taken.
    vars.SetVar("Cat", "Other", "old", Def::eDate);
    vars.SetVarToDefaultValue("cat", "other", defs);
    vars.SetVarToDefaultValue("CAT", "name", defs);
    EXPECT_EQ(Dump(vars), (Names{"Cat/Name=" + String(want) + ":" + std::to_string(type), "cat/other=:0"})) << data;
  }
}

TEST(OVOVarsDate, ValidTextsGiveLocalMidnightOrTheDBTimeInvalidOnesFalse) {
  ScopedTZ tz(kCentralEurope);
  const CTime day = 1710198000;  // 12 March 2024, 00:00 CET
  const std::pair<const char*, CTime> cases[] = {
      {"12.03.2024", day}, {"03/12/2024", day}, {"12-03-2024", day}, {"12.3.2024", day}, {"3/12/2024", day},
      {" 12 . 03 . 2024 ", day}, {"0012.003.02024", day}, {"20240312", day}, {"13.03.2024", day + 86400},
      {"12/03/2024", 1733180400},  // month first only with a slash
      {"20240312153045", day + 15 * 3600 + 30 * 60 + 45}, {"20240229235959", 1709161200 + 86399},
      {"29.02.2024", 1709161200}, {"29.02.2000", 951778800}, {"31.12.3000", 32535126000},
      {"15.01.2024", 1705273200},  // 23:00 UTC the day before in winter
      {"15.07.2024", 1720994400},  // 22:00 UTC in summer
      {"31.03.2024", 1711839600},  // the day of the switch
      {"02.01.1970", 86400 - 3600}};
  for (const auto& [text, want] : cases) {
    CTime t = -5;
    EXPECT_TRUE(OVOVars::CTimeFromStringValue(text, t)) << text;
    EXPECT_EQ(t, want) << text;
  }
  {
    ScopedTZ utc("UTC0");
    CTime t = 5;
    EXPECT_TRUE(OVOVars::CTimeFromStringValue("01.01.1970", t));
    EXPECT_EQ(t, 0);
  }
  const std::tuple<int, const char*, const char*> shortDates[] = {
      {1031, "03/12/2024", "12.03.2024"}, {1033, "12-03-2024", "3/12/2024"}, {1033, "20240312235959", "3/12/2024"}};
  for (const auto& [lcid, text, want] : shortDates) {
    OFL::Locale::SetSystemDefaultLCID(lcid);
    String out;
    EXPECT_TRUE(OVOVars::ShortDateStringFromValue(text, out));
    EXPECT_EQ(out, want) << text;
  }

  ScopedTZ cet(kCentralEurope);
  const Names bad = {
      "", "12.03", "12.03.2024.", "12..2024", ".03.2024", "12.03.", "1.2.3.4", "12/03", "12-03", "13.13.2024",
      "00.03.2024", "12.00.2024", "32.01.2024", "31.04.2024", "29.02.2023", "30.02.2024", "29.02.2100",
      "12.03.1969", "12.03.3001", "12.03.24", "a.b.c", "12.03.20x4", "+1.03.2024", "-1.03.2024",
      "12.03.99999999999999999999", "4294967308.03.2024", "12.\t03.2024", "2024031", "202403121", "abcdefgh",
      "2024031212000", "20241301", "20240230", "20240312250000", "20240312126000", "20240312120060", "2024-031",
      "today", "12.03.2024 10:00", "19691231", "13/03/2024",
      "01.01.1970",  // local midnight of the first day lies before the epoch east of UTC
      "12.03/2024", "12/03-2024", "2024-03-12", "2024.03.12"};  // the first separator found decides the form
  for (const String& text : bad) {
    CTime t = 777;
    String out = "keep";
    EXPECT_FALSE(OVOVars::CTimeFromStringValue(text, t)) << "'" << text << "'";
    EXPECT_FALSE(OVOVars::ShortDateStringFromValue(text, out)) << text;
    EXPECT_EQ(t, 777) << text;
    EXPECT_EQ(out, "keep");
  }
}

}  // namespace
}  // namespace orvacmn
