// COVKVars as a container: adding, lookup rules, removal, copies, packing.
#include "orvacmn/variables/ovk_vars.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <tuple>
#include <vector>

#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/variables/vars.h"

namespace orvacmn {
namespace {

constexpr auto kRuntime = CVariableType::Runtime;
constexpr auto kSystem = CVariableType::System;
CVariableType::EVariableType Type(int32_t t) { return static_cast<CVariableType::EVariableType>(t); }

struct Flat { String name, value; bool custom; int32_t type; bool password; };
// Each entry as "Name=Value ", "c" when custom, the type, "p" for a password, "|".
String Describe(const std::vector<Flat>& entries) {
  String out;
  for (const Flat& e : entries)
    out += e.name + "=" + e.value + (e.custom ? " c" : " ") + std::to_string(e.type) + (e.password ? "p|" : "|");
  return out;
}
String Dump(const COVKVars& vars) {
  std::vector<Flat> out;
  for (const auto& e : vars) out.push_back({e->Name, e->Value, e->Custom, e->Type.GetVariableType(), e->IsPassword});
  return Describe(out);
}
String Get(const COVKVars& vars, const String& name) {
  String value = "<unset>";
  vars.GetVar(name, value);
  return value;
}

TEST(CVariableTypeTest, TextsAndComparison) {
  const struct { int32_t type; const char *text, *human, *german; } cases[] = {
      {kRuntime, "runtime", "Runtime variable", "Laufzeitvariable"},
      {kSystem, "system", "OVS variable", "OVS Variable"}, {7, "", "", ""}, {-1, "", "", ""}};
  for (const auto& c : cases) {
    const CVariableType t(Type(c.type));
    EXPECT_EQ(t.ToString() + "|" + t.GetHumanReadableVariableType(), String(c.text) + "|" + c.human);
    OFL::SetResourceLanguage(1031);
    EXPECT_EQ(t.GetHumanReadableVariableType(), c.german);
    OFL::SetResourceLanguage(1033);
  }
  const CVariableType a(kSystem);
  EXPECT_TRUE(a == kSystem && a != kRuntime && a == CVariableType(kSystem) && a != CVariableType());
  EXPECT_EQ(CVariableType().GetVariableType(), kRuntime);
}

TEST(COVKVarsTest, AddVarAndAliases) {
  COVKVars vars;
  vars.AddVar("Path", "a", true, false, kRuntime, true);
  vars.AddVar("PATH", "b", false, false, kRuntime, false);  // same name and type: only the value changes
  vars.AddVar("path", "c", false, false, kSystem, false);
  vars.AddVar("DIP;KitsServer;Depot", "\\\\srv", false, true, kRuntime, false);
  vars.AddVar(";;", "x", false, true, kRuntime, false);  // empty aliases are dropped
  vars.AddVar("X;Y", "2", false, false, kRuntime, false);  // unsplit, one name
  EXPECT_EQ(Dump(vars), "Path=b c0p|path=c 1|DIP=\\\\srv 0|KitsServer=\\\\srv 0|Depot=\\\\srv 0|X;Y=2 0|");
  EXPECT_EQ(Get(vars, "kitsserver"), "\\\\srv");
  EXPECT_FALSE(vars.Find("X"));
}

// The set against a plain list model through random edits and copies: the
// entries in order, and GetVar (the first runtime entry, else the last
// system entry; other types give nothing), Find and expansion by their
// definition. The second phase grows one set to hundreds of names of every
// length around the eight-byte word the index compares first, many differing
// only in case or in their last byte: the table grows, probe runs collide and
// removals close gaps.
TEST(COVKVarsTest, AgreesWithAListModelUnderRandomEdits) {
  std::mt19937 rng(7);
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  auto caseOf = [&](String name) {
    for (char& c : name)
      if (pick(2)) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
  };
  const auto named = [](const String& n) { return [&n](const Flat& f) { return OFL::EqualsNoCase(f.name, n); }; };
  const std::vector<String> few = {"a", "b", "B.x", "b.Y", "bb.z", "c", "C.d.e", "z", ""};
  std::vector<String> many = {"\xc1x", "\xe1x"};  // fold alike in the hash, but only ASCII letters match
  for (size_t length : {1, 2, 7, 8, 9, 15, 16, 17, 24, 40})
    for (char last : String("abcdefghijklmnopqrstuvwxyz0189")) many.push_back(String(length - 1, 'n') + last);
  for (const auto& [names, rounds, steps, checkEvery] : {std::tuple{&few, 200, 40, 1}, {&many, 1, 3000, 100}}) {
    for (int round = 0; round < rounds; ++round) {
      COVKVars vars;
      std::vector<Flat> model;
      for (int step = 0; step < steps; ++step) {
        const size_t op = pick(10);
        String n = caseOf((*names)[pick(names->size())]);
        if (pick(4) == 0) n += ";" + (*names)[pick(names->size())];
        if (op < 6) {
          const bool split = pick(2);
          const Flat add{n, std::to_string(step), pick(2) == 0, static_cast<int32_t>(pick(3)), pick(2) == 0};
          vars.AddVar(n, add.value, add.custom, split, Type(add.type), add.password);
          const OFLTokenizer aliases(n, ";");
          for (const String& alias : split ? std::vector<String>(aliases.begin(), aliases.end()) : std::vector{n}) {
            const auto same = std::find_if(model.begin(), model.end(),
                                           [&](const Flat& f) { return named(alias)(f) && f.type == add.type; });
            if (same != model.end())
              same->value = add.value;
            else
              model.push_back({alias, add.value, add.custom, add.type, add.password});
          }
        } else if (op < 8) {
          vars.RemoveVar(n);
          for (const String& alias : OFLTokenizer(n, ";")) std::erase_if(model, named(alias));
        } else if (op < 9) {
          const String prefixes = pick(2) ? "b" : "C;b";
          vars.RemoveSubVars(prefixes);
          for (const String& p : OFLTokenizer(prefixes, ";"))
            std::erase_if(model, [&](const Flat& f) { return OFL::StartsWithNoCase(f.name, p + "."); });
        } else if (names == &few && pick(8) == 0) {
          vars.DeleteListVars();
          model.clear();
        } else {
          vars = COVKVars(vars);
        }
        if (step % checkEvery != 0) continue;
        ASSERT_EQ(Dump(vars), Describe(model));
        for (const String& name : *names) {
          const String q = caseOf(name);
          const Flat* winner = nullptr;  // the first runtime entry, else the last system entry
          for (const Flat& f : model)
            if (named(q)(f) && (f.type == kRuntime || f.type == kSystem) && !(winner && winner->type == kRuntime))
              winner = &f;
          ASSERT_EQ(Get(vars, q), winner ? winner->value : "<unset>") << q;
          ASSERT_EQ(vars.Find(q), std::any_of(model.begin(), model.end(), named(q))) << q;
          String text = "<{" + q + "}>";
          ASSERT_EQ(vars.PerformSubstitutions(text, {}), winner ? "<" + winner->value + ">" : text) << q;
        }
      }
    }
  }
}

TEST(COVKVarsTest, CopiesAreDeep) {
  COVKVars a, c;
  a.AddVar("One", "1", true, false, kRuntime, true);
  a.AddVar("Two", "2", false, false, kSystem, false);
  c.AddVar("Old", "x", false, false, kRuntime, false);
  COVKVars b(a);
  c = a;
  EXPECT_NE(a.begin()->Name.data(), b.begin()->Name.data());
  b.AddVar("one", "changed", false, false, kRuntime, false);
  c.RemoveVar("Two");
  COVKVars& self = c;
  c = self;
  EXPECT_EQ(Dump(a) + Dump(b) + Dump(c), "One=1 c0p|Two=2 1|" "One=changed c0p|Two=2 1|" "One=1 c0p|");
  const COVKVars moved(std::move(b));
  b.AddVar("Fresh", "f", false, false, kRuntime, false);  // NOLINT: moved-from is empty and usable
  EXPECT_EQ(Dump(moved) + Dump(b), "One=changed c0p|Two=2 1|Fresh=f 0|");
  EXPECT_EQ(Get(moved, "ONE") + Get(b, "fresh"), "changedf");
}

TEST(COVKVarsTest, AddVarsFromOtherSources) {
  COVKVars src;
  src.AddVar("A;B", "1", true, true, kSystem, true);
  src.AddVar("C;D", "2", true, false, kRuntime, false);  // one entry named "C;D"
  COVKVars dst;
  dst.AddVar("A", "old", true, false, kSystem, false);
  dst.AddVars(&src);
  dst.AddVars(static_cast<const COVKVars*>(nullptr));  // these add nothing
  dst.AddVars(static_cast<const OVOVars*>(nullptr), true);
  dst.AddVars(static_cast<const OVO::Properties*>(nullptr));
  dst.AddVars(String("not xml"), true);
  dst.AddVars(OVOVars().Pack(), false);
  EXPECT_EQ(Dump(dst), "A=1 c1|B=1 1p|C=2 0|D=2 0|");
  src.AddVars(&src);  // splits the names that hold ";"
  EXPECT_EQ(Dump(src), "A=1 c1p|B=1 c1p|C;D=2 c0|C=2 0|D=2 0|");

  OVOVars ov;
  ov.SetScope("__MACHINE__");
  ov.SetVar("Inventory", "Room", "12", OVOCustomVarDef::eString);
  ov.SetVar("", "Secret", "pw", OVOCustomVarDef::ePassword);
  ov.SetVar("Cat", "A;B", "x", OVOCustomVarDef::eNumber);
  COVKVars full, own, fromText;
  full.AddVars(&ov, true);
  own.AddVars(&ov, false);
  fromText.AddVars(ov.Pack(), true);
  EXPECT_EQ(Dump(full), "Client.Inventory.Room=12 c0|Client.Secret=pw c0p|Client.Cat.A;B=x c0|");
  EXPECT_EQ(Dump(own), "Room=12 0|Secret=pw 0p|A;B=x 0|");
  EXPECT_EQ(Dump(fromText), Dump(full));

  // Each pair of a bag, in its order (by name, case ignored), as system entries.
  OVO::Properties bag;
  bag.SetProperty("Zone", String("z1"), false);
  bag.SetProperty("alpha;Beta", String("ab"), false);
  bag.SetProperty("Empty", String(), false);
  COVKVars vars;
  vars.AddVar("zone", "runtime", false, false, kRuntime, false);
  vars.AddVars(&bag);
  EXPECT_EQ(Dump(vars), "zone=runtime 0|alpha=ab 1|Beta=ab 1|Empty= 1|Zone=z1 1|");
  EXPECT_EQ(Get(vars, "ZONE"), "runtime");
}

TEST(COVKVarsTest, PackUnpackRoundTrip) {
  COVKVars a;
  EXPECT_EQ(a.GetObjectName(), "OVSVars");
  EXPECT_EQ(a.GetSchema(), 0x00050001u);
  EXPECT_EQ(a.Pack(), "<OVSVars></OVSVars>");
  a.AddVar("Name", "va<l>&\"ue'", true, false, kRuntime, false);
  a.AddVar("Secret", "", false, false, kSystem, true);
  a.AddVar("Weird", " \t lead and trail \r\n", false, false, Type(-3), false);
  a.AddVar("Braces{x}", "{y}", false, false, kRuntime, false);
  const String packed = a.Pack();
  EXPECT_EQ(packed.rfind("<OVSVars><VarEntry><Name>Name</Name>", 0), 0u) << packed;
  EXPECT_NE(packed.find("<Custom>1</Custom><Type>0</Type><IsPassword>0</IsPassword></VarEntry>"), String::npos);
  const COVKVars b(packed);
  EXPECT_EQ(Dump(b), Dump(a));
  EXPECT_EQ(b.Pack(), packed);
}

TEST(COVKVarsTest, UnpackToleranceAndMerging) {
  COVKVars vars;
  for (const char* bad : {"<Other><VarEntry><Name>A</Name></VarEntry></Other>", "", "<OVSVars><VarEntry><Name>A"}) {
    vars.AddVar("Stale", "x", false, false, kRuntime, false);
    EXPECT_EQ(vars.Unpack(bad), 0);
    EXPECT_EQ(vars.Size(), 0u);  // emptied whatever the result
  }
  EXPECT_EQ(vars.Unpack("<OVSVars><junk><Name>J</Name></junk>"
                        "<varentry><name>A;B</name><VALUE>1</VALUE><custom>7</custom><type>1</type>"
                        "<ispassword>-1</ispassword><Unknown>u</Unknown></varentry>"
                        "<VarEntry><Name>a</Name><Value>2</Value><Type>1</Type></VarEntry>"
                        "<VarEntry><Value>no name</Value></VarEntry>"
                        "<VarEntry><Name>C</Name><Type>x9</Type><Custom>abc</Custom></VarEntry></OVSVars>"),
            1);
  EXPECT_EQ(Dump(vars), "A=2 c1p|B=1 c1p|C= 0|");  // the second "a" only updates the first
  // A type beyond 32 bits saturates as the 32-bit runtime reads it.
  EXPECT_EQ(vars.Unpack("<OVSVars><VarEntry><Name>N</Name><Type>99999999999</Type></VarEntry></OVSVars>"), 1);
  // From a parser's current child: added without emptying first.
  OFLXMLParser parser("<Msg><OVSVars><VarEntry><Name>N</Name><Value>v</Value></VarEntry></OVSVars></Msg>");
  ASSERT_TRUE(parser.FindElem("Msg") && parser.FindChildElem());
  EXPECT_EQ(vars.Unpack(parser), 1);
  EXPECT_EQ(Dump(vars), "N= 2147483647|N=v 0|");
  vars.Clear();
  EXPECT_FALSE(vars.Find("N") || vars.Size() != 0);
  OFLXMLParser other("<Msg><Vars/></Msg>");
  ASSERT_TRUE(other.FindElem("Msg") && other.FindChildElem());
  EXPECT_EQ(vars.Unpack(other), 0);
}

}  // namespace
}  // namespace orvacmn
