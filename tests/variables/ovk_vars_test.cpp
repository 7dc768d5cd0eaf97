// COVKVars as a container: adding, lookup rules, removal, copies, packing.
#include "orvacmn/variables/ovk_vars.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <random>
#include <vector>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/variables/vars.h"

namespace orvacmn {
namespace {

using V = COVKVars;
constexpr auto kRuntime = CVariableType::Runtime;
constexpr auto kSystem = CVariableType::System;

struct Flat {
  String name, value;
  bool custom;
  int32_t type;
  bool isPassword;
  bool operator==(const Flat&) const = default;
};

std::vector<Flat> Entries(const COVKVars& vars) {
  std::vector<Flat> out;
  for (const auto& e : vars) out.push_back({e->Name, e->Value, e->Custom, e->Type.GetVariableType(), e->IsPassword});
  return out;
}

String Get(const COVKVars& vars, const String& name) {
  String value = "<unset>";
  vars.GetVar(name, value);
  return value;
}

TEST(CVariableTypeTest, TextsAndComparison) {
  EXPECT_EQ(CVariableType(kRuntime).ToString(), "runtime");
  EXPECT_EQ(CVariableType(kSystem).ToString(), "system");
  EXPECT_EQ(CVariableType(static_cast<CVariableType::EVariableType>(7)).ToString(), "");
  EXPECT_EQ(CVariableType(kRuntime).GetHumanReadableVariableType(), "Runtime variable");
  EXPECT_EQ(CVariableType(kSystem).GetHumanReadableVariableType(), "OVS variable");
  EXPECT_EQ(CVariableType(static_cast<CVariableType::EVariableType>(-1)).GetHumanReadableVariableType(), "");
  OFL::SetResourceLanguage(1031);
  EXPECT_EQ(CVariableType(kRuntime).GetHumanReadableVariableType(), "Laufzeitvariable");
  EXPECT_EQ(CVariableType(kSystem).GetHumanReadableVariableType(), "OVS Variable");
  OFL::SetResourceLanguage(1033);

  const CVariableType a(kSystem);
  EXPECT_TRUE(a == kSystem);
  EXPECT_TRUE(a != kRuntime);
  EXPECT_TRUE(a == CVariableType(kSystem));
  EXPECT_TRUE(a != CVariableType());
  EXPECT_EQ(CVariableType().GetVariableType(), kRuntime);
}

TEST(COVKVarsTest, ObjectNameAndSchema) {
  const COVKVars vars;
  EXPECT_EQ(vars.GetObjectName(), "OVSVars");
  EXPECT_EQ(vars.GetSchema(), 0x00050001u);
  EXPECT_EQ(vars.Size(), 0u);
  EXPECT_EQ(vars.Pack(), "<OVSVars></OVSVars>");
}

TEST(COVKVarsTest, AddVarUpdatesOnlyTheValueOfTheSameNameAndType) {
  COVKVars vars;
  vars.AddVar("Path", "a", true, false, kRuntime, true);
  vars.AddVar("PATH", "b", false, false, kRuntime, false);
  ASSERT_EQ(vars.Size(), 1u);
  EXPECT_EQ(Entries(vars)[0], (Flat{"Path", "b", true, 0, true}));  // name, Custom, IsPassword stay
  vars.AddVar("path", "c", false, false, kSystem, false);
  ASSERT_EQ(vars.Size(), 2u);
  EXPECT_EQ(Entries(vars)[1], (Flat{"path", "c", false, 1, false}));
}

TEST(COVKVarsTest, AliasesBecomeEntriesOfTheirOwn) {
  COVKVars vars;
  vars.AddVar("DIP;KitsServer;Depot", "\\\\srv\\kits", false, true, kRuntime, false);
  ASSERT_EQ(vars.Size(), 3u);
  EXPECT_EQ(Get(vars, "kitsserver"), "\\\\srv\\kits");
  EXPECT_EQ(Get(vars, "DEPOT"), "\\\\srv\\kits");
  EXPECT_EQ(Get(vars, "dip"), "\\\\srv\\kits");
  // Empty aliases are dropped; an empty list adds nothing.
  vars.AddVar(";;", "x", false, true, kRuntime, false);
  vars.AddVar("", "x", false, true, kRuntime, false);
  EXPECT_EQ(vars.Size(), 3u);
  vars.AddVar("A;;B;a", "1", false, true, kRuntime, false);
  EXPECT_EQ(vars.Size(), 5u);
  // Without splitting, the ";" is part of the name.
  vars.AddVar("X;Y", "2", false, false, kRuntime, false);
  EXPECT_EQ(Get(vars, "X;Y"), "2");
  EXPECT_FALSE(vars.Find("X"));
}

TEST(COVKVarsTest, RuntimeWinsWhateverTheOrderAndLaterSystemReplacesEarlier) {
  COVKVars a;
  a.AddVar("N", "sys", false, false, kSystem, false);
  a.AddVar("N", "run", false, false, kRuntime, false);
  EXPECT_EQ(Get(a, "n"), "run");
  COVKVars b;
  b.AddVar("N", "run", false, false, kRuntime, false);
  b.AddVar("N", "sys", false, false, kSystem, false);
  EXPECT_EQ(Get(b, "N"), "run");

  // Two system entries of one name only come from text; the later one wins.
  COVKVars c;
  c.AddVar("N", "other", false, false, static_cast<CVariableType::EVariableType>(5), false);
  c.AddVar("N", "first", false, false, kSystem, false);
  EXPECT_EQ(Get(c, "N"), "first");
  EXPECT_TRUE(c.Find("n"));
  String untouched = "keep";
  EXPECT_FALSE(c.GetVar("Missing", untouched));
  EXPECT_EQ(untouched, "keep");

  // An entry of another type is found but never gives a value.
  COVKVars d;
  d.AddVar("Odd", "v", false, false, static_cast<CVariableType::EVariableType>(2), false);
  EXPECT_TRUE(d.Find("ODD"));
  EXPECT_FALSE(d.GetVar("Odd", untouched));
}

TEST(COVKVarsTest, RemoveVarAndRemoveSubVars) {
  COVKVars vars;
  vars.AddVar("Job.Name;Job.Creator;Jobs.X;Job;Other.Job.Y;JOB.Z", "v", false, true, kRuntime, false);
  vars.AddVar("Job.Name", "s", false, true, kSystem, false);
  vars.RemoveSubVars("job");
  std::vector<String> names;
  for (const auto& e : vars) names.push_back(e->Name);
  EXPECT_EQ(names, (std::vector<String>{"Jobs.X", "Job", "Other.Job.Y"}));
  vars.RemoveVar("JOBS.x;nothing;job");
  ASSERT_EQ(vars.Size(), 1u);
  EXPECT_EQ(vars.begin()->Name, "Other.Job.Y");
  vars.AddVar("A", "1", false, false, kRuntime, false);
  vars.AddVar("A", "2", false, false, kSystem, false);
  vars.RemoveVar("a");
  EXPECT_FALSE(vars.Find("A"));
  vars.DeleteListVars();
  EXPECT_EQ(vars.Size(), 0u);
  EXPECT_FALSE(vars.Find("Other.Job.Y"));
}

// The index must agree with the plain rules applied to the list, through any
// sequence of adds and removals.
TEST(COVKVarsTest, LookupsAgreeWithTheListUnderRandomEdits) {
  std::mt19937 rng(7);
  const std::vector<String> names = {"a", "A", "b", "B.x", "b.Y", "c", "C.d.e", "z"};
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  for (int round = 0; round < 200; ++round) {
    COVKVars vars;
    for (int step = 0; step < 40; ++step) {
      const size_t op = pick(10);
      const String& n = names[pick(names.size())];
      if (op < 6) {
        const int32_t type = static_cast<int32_t>(pick(3));
        vars.AddVar(pick(4) == 0 ? n + ";" + names[pick(names.size())] : n, std::to_string(step), pick(2), true,
                    static_cast<CVariableType::EVariableType>(type), pick(2));
      } else if (op < 8) {
        vars.RemoveVar(n);
      } else {
        vars.RemoveSubVars(pick(2) ? "b" : "C");
      }
      for (const String& q : names) {
        // GetVar by its definition over the list.
        bool found = false, any = false;
        String expect;
        for (const auto& e : vars) {
          if (!OFL::EqualsNoCase(e->Name, q)) continue;
          any = true;
          if (e->Type == kRuntime) {
            expect = e->Value;
            found = true;
            break;
          }
          if (e->Type == kSystem) {
            expect = e->Value;
            found = true;
          }
        }
        String got;
        ASSERT_EQ(vars.GetVar(q, got), found) << q;
        if (found) {
          EXPECT_EQ(got, expect);
        }
        EXPECT_EQ(vars.Find(q), any);
      }
      // No two entries share name and type.
      std::map<std::pair<String, int32_t>, int> seen;
      for (const auto& e : vars) {
        const std::pair<String, int32_t> key(OFL::ToLower(e->Name), e->Type.GetVariableType());
        EXPECT_EQ(++seen[key], 1);
      }
    }
  }
}

// Hundreds of names of every length around the eight-byte word the index
// compares first, many differing only in case or in their last byte: the
// table grows, probe runs collide and removals close gaps, and every lookup
// still agrees with a plain model of the set.
TEST(COVKVarsTest, LargeSetsUnderGrowthAndRemoval) {
  std::mt19937 rng(2024);
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  std::vector<String> names;
  for (size_t length : {1, 2, 7, 8, 9, 15, 16, 17, 24, 40})
    for (char last : String("abcdefghijklmnopqrstuvwxyz0189")) names.push_back(String(length - 1, 'n') + last);
  names.push_back("\xc1x");  // folds like "\xe1x" in the hash, but only ASCII letters match
  names.push_back("\xe1x");
  auto caseOf = [&](String name) {
    for (char& c : name)
      if (pick(2)) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
  };
  std::map<String, String> model;  // lower-cased name -> runtime value
  COVKVars vars;
  for (int step = 0; step < 3000; ++step) {
    const String& n = names[pick(names.size())];
    const String lower = OFL::ToLower(n);
    if (pick(3) != 0) {
      const String value = std::to_string(step);
      vars.AddVar(caseOf(n), value, false, false, kRuntime, false);
      model[lower] = value;
    } else {
      vars.RemoveVar(caseOf(n));
      model.erase(lower);
    }
    if (step % 50 != 0) continue;
    ASSERT_EQ(vars.Size(), model.size());
    for (const String& q : names) {
      const auto it = model.find(OFL::ToLower(q));
      const String asked = caseOf(q);
      String got;
      ASSERT_EQ(vars.GetVar(asked, got), it != model.end()) << asked;
      ASSERT_EQ(vars.Find(asked), it != model.end()) << asked;
      if (it != model.end()) {
        ASSERT_EQ(got, it->second) << asked;
        // Expansion reads the same index.
        String text = "<{" + asked + "}>";
        ASSERT_EQ(vars.PerformSubstitutions(text, V::SubstitutionDefault), "<" + it->second + ">");
      }
    }
  }
  EXPECT_FALSE(vars.Find("mnnnnnnn"));
}

TEST(COVKVarsTest, CopiesAreDeep) {
  COVKVars a;
  a.AddVar("One", "1", true, false, kRuntime, true);
  a.AddVar("Two", "2", false, false, kSystem, false);
  COVKVars b(a);
  EXPECT_EQ(Entries(a), Entries(b));
  EXPECT_NE(a.begin()->Name.data(), b.begin()->Name.data());
  b.AddVar("One", "changed", false, false, kRuntime, false);
  EXPECT_EQ(Get(a, "One"), "1");
  COVKVars c;
  c.AddVar("Old", "x", false, false, kRuntime, false);
  c = a;
  EXPECT_EQ(Entries(c), Entries(a));
  EXPECT_FALSE(c.Find("Old"));
  c.RemoveVar("Two");
  EXPECT_TRUE(a.Find("Two"));
  COVKVars& alias = c;
  c = alias;  // self-assignment keeps everything
  EXPECT_EQ(c.Size(), 1u);
  EXPECT_EQ(c.GetObjectName(), "OVSVars");

  COVKVars moved(std::move(b));
  EXPECT_EQ(Get(moved, "one"), "changed");
  EXPECT_EQ(b.Size(), 0u);  // NOLINT: moved-from is empty
  b.AddVar("Fresh", "f", false, false, kRuntime, false);
  EXPECT_EQ(Get(b, "fresh"), "f");
}

TEST(COVKVarsTest, AddVarsFromAnotherSet) {
  COVKVars src;
  src.AddVar("A;B", "1", true, true, kSystem, true);
  src.AddVar("C;D", "2", true, false, kRuntime, false);  // one entry named "C;D"
  COVKVars dst;
  dst.AddVar("A", "old", true, false, kSystem, false);
  dst.AddVars(&src);
  dst.AddVars(static_cast<const COVKVars*>(nullptr));
  EXPECT_EQ(Entries(dst), (std::vector<Flat>{{"A", "1", true, 1, false},
                                             {"B", "1", false, 1, true},
                                             {"C", "2", false, 0, false},
                                             {"D", "2", false, 0, false}}));
  // Adding a set to itself splits the names that hold ";".
  src.AddVars(&src);
  EXPECT_EQ(src.Size(), 5u);
  EXPECT_EQ(Get(src, "D"), "2");
}

TEST(COVKVarsTest, AddVarsFromObjectVariables) {
  OVOVars ov;
  ov.SetScope("__MACHINE__");
  ov.SetVar("Inventory", "Room", "12", OVOCustomVarDef::eString);
  ov.SetVar("", "Secret", "pw", OVOCustomVarDef::ePassword);
  ov.SetVar("Cat", "A;B", "x", OVOCustomVarDef::eNumber);

  COVKVars full;
  full.AddVars(&ov, true);
  EXPECT_EQ(Entries(full), (std::vector<Flat>{{"Client.Inventory.Room", "12", true, 0, false},
                                              {"Client.Secret", "pw", true, 0, true},
                                              {"Client.Cat.A;B", "x", true, 0, false}}));
  COVKVars own;
  own.AddVars(&ov, false);
  EXPECT_EQ(Entries(own), (std::vector<Flat>{{"Room", "12", false, 0, false},
                                             {"Secret", "pw", false, 0, true},
                                             {"A;B", "x", false, 0, false}}));
  COVKVars fromText;
  fromText.AddVars(ov.Pack(), true);
  EXPECT_EQ(Entries(fromText), Entries(full));
  COVKVars none;
  none.AddVars(static_cast<const OVOVars*>(nullptr), true);
  none.AddVars(String("not xml"), true);
  none.AddVars(OVOVars().Pack(), false);
  EXPECT_EQ(none.Size(), 0u);
}

TEST(COVKVarsTest, AddVarsFromPropertyBag) {
  OVO::Properties bag;
  bag.SetProperty("Zone", String("z1"), false);
  bag.SetProperty("alpha;Beta", String("ab"), false);
  bag.SetProperty("Empty", String(), false);
  COVKVars vars;
  vars.AddVar("zone", "runtime", false, false, kRuntime, false);
  vars.AddVars(&bag);
  vars.AddVars(static_cast<const OVO::Properties*>(nullptr));
  // In the bag's order (by name, case ignored), each alias a system entry.
  EXPECT_EQ(Entries(vars), (std::vector<Flat>{{"zone", "runtime", false, 0, false},
                                              {"alpha", "ab", false, 1, false},
                                              {"Beta", "ab", false, 1, false},
                                              {"Empty", "", false, 1, false},
                                              {"Zone", "z1", false, 1, false}}));
  EXPECT_EQ(Get(vars, "ZONE"), "runtime");
}

TEST(COVKVarsTest, PackUnpackRoundTrip) {
  COVKVars a;
  a.AddVar("Name", "va<l>&\"ue'", true, false, kRuntime, false);
  a.AddVar("Secret", "", false, false, kSystem, true);
  a.AddVar("Weird", " \t lead and trail \r\n", false, false, static_cast<CVariableType::EVariableType>(-3), false);
  a.AddVar("Braces{x}", "{y}", false, false, kRuntime, false);
  const String packed = a.Pack();
  EXPECT_EQ(packed.rfind("<OVSVars><VarEntry><Name>Name</Name>", 0), 0u) << packed;
  EXPECT_NE(packed.find("<Custom>1</Custom><Type>0</Type><IsPassword>0</IsPassword></VarEntry>"), String::npos);
  COVKVars b(packed);
  EXPECT_EQ(Entries(b), Entries(a));
  EXPECT_EQ(b.Pack(), packed);
}

TEST(COVKVarsTest, ClearAndUnpackFromAParser) {
  COVKVars vars;
  vars.AddVar("Old", "x", false, false, kRuntime, false);
  OFLXMLParser parser("<Msg><OVSVars><VarEntry><Name>N</Name><Value>v</Value></VarEntry></OVSVars></Msg>");
  ASSERT_TRUE(parser.FindElem("Msg"));
  ASSERT_TRUE(parser.FindChildElem());
  EXPECT_EQ(vars.Unpack(parser), 1);
  EXPECT_EQ(Entries(vars), (std::vector<Flat>{{"Old", "x", false, 0, false}, {"N", "v", false, 0, false}}));
  vars.Clear();
  EXPECT_EQ(vars.Size(), 0u);
  EXPECT_FALSE(vars.Find("N"));
  OFLXMLParser other("<Msg><Vars/></Msg>");
  other.FindElem("Msg");
  other.FindChildElem();
  EXPECT_EQ(vars.Unpack(other), 0);
}

TEST(COVKVarsTest, UnpackToleranceAndMerging) {
  COVKVars vars;
  vars.AddVar("Stale", "x", false, false, kRuntime, false);
  EXPECT_EQ(vars.Unpack("<Other><VarEntry><Name>A</Name></VarEntry></Other>"), 0);
  EXPECT_EQ(vars.Size(), 0u);  // emptied whatever the result
  EXPECT_EQ(vars.Unpack(""), 0);
  EXPECT_EQ(vars.Unpack("<OVSVars><VarEntry><Name>A</Name>"), 0);

  const String text =
      "<OVSVars><junk><Name>J</Name></junk>"
      "<varentry><name>A;B</name><VALUE>1</VALUE><custom>7</custom><type>1</type><ispassword>-1</ispassword>"
      "<Unknown>u</Unknown></varentry>"
      "<VarEntry><Name>a</Name><Value>2</Value><Type>1</Type></VarEntry>"
      "<VarEntry><Value>no name</Value></VarEntry>"
      "<VarEntry><Name>C</Name><Type>x9</Type><Custom>abc</Custom></VarEntry>"
      "</OVSVars>";
  EXPECT_EQ(vars.Unpack(text), 1);
  // The second "a" only updates the value of the first (same type).
  EXPECT_EQ(Entries(vars), (std::vector<Flat>{{"A", "2", true, 1, true},
                                              {"B", "1", true, 1, true},
                                              {"C", "", false, 0, false}}));
  const String big = "<OVSVars><VarEntry><Name>N</Name><Type>99999999999</Type></VarEntry></OVSVars>";
  EXPECT_EQ(vars.Unpack(big), 1);
  EXPECT_EQ(vars.begin()->Type.GetVariableType(), INT32_MAX);  // saturated as the 32-bit runtime reads it
}

}  // namespace
}  // namespace orvacmn
