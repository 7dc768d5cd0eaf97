// COVKVars: the set, the expansion (against the step-by-step definition), the static helpers, files, install.ini.
#include "orvacmn/variables/ovk_vars.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <random>
#include <tuple>
#include <vector>

#include "common/scratch.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/variables/vars.h"
#include "variables/substitution_reference.h"

namespace orvacmn {
namespace {

using V = COVKVars;
constexpr int32_t kRuntime = CVariableType::Runtime, kSystem = CVariableType::System;
constexpr uint32_t kEscape = V::SubstitutionEscapeXml, kRemoveEnv = V::SubstitutionRemoveUndefinedEnvironment,
                   kToEmpty = V::SubstitutionUnknownToEmpty;
const String kRecursion = "<Error: variables recursion>";
CVariableType::EVariableType Type(int32_t t) { return static_cast<CVariableType::EVariableType>(t); }

// Added in order; `flags` holds "c" for custom, "s" to split aliases, "p" for a password.
struct Var { const char *name, *value; int32_t type = kRuntime; std::string_view flags = ""; };
COVKVars& Add(COVKVars& vars, std::initializer_list<Var> entries) {
  for (const Var& e : entries)
    vars.AddVar(e.name, e.value, e.flags.find('c') != e.flags.npos, e.flags.find('s') != e.flags.npos, Type(e.type),
                e.flags.find('p') != e.flags.npos);
  return vars;
}
COVKVars Make(std::initializer_list<Var> entries) {
  COVKVars vars;
  return Add(vars, entries);
}

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

// The set against a plain list model through random adds, removals, copies and moves: the entries in order, GetVar
// (the first runtime entry, else the last system entry), Find and expansion. The second phase grows one set to
// hundreds of names around the eight-byte word the index hashes at once, many differing in case or last byte only.
TEST(COVKVarsTest, AgreesWithAListModelUnderRandomEdits) {
  std::mt19937 rng(7);
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  auto caseOf = [&](String name) {
    for (char& c : name) c = pick(2) ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
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
          COVKVars other = Make({{"Old", "x"}});
          other = vars;
          other = *&other;
          vars = COVKVars(std::move(other));
          ASSERT_EQ(other.Size() + other.Find("Old"), 0u);  // NOLINT: moved-from is empty
        }
        if (step % checkEvery != 0) continue;
        ASSERT_EQ(Dump(vars), Describe(model));
        for (const String& name : *names) {
          const String q = caseOf(name);
          const Flat* winner = nullptr;  // the first runtime entry, else the last system entry
          for (const Flat& f : model)
            if (named(q)(f) && (f.type == kRuntime || f.type == kSystem) && !(winner && winner->type == kRuntime))
              winner = &f;
          String value = "<unset>";
          vars.GetVar(q, value);
          ASSERT_EQ(value, winner ? winner->value : "<unset>") << q;
          ASSERT_EQ(vars.Find(q), std::any_of(model.begin(), model.end(), named(q))) << q;
          String text = "<{" + q + "}>";
          ASSERT_EQ(vars.PerformSubstitutions(text, {}), winner ? "<" + winner->value + ">" : text) << q;
        }
      }
    }
  }
}

TEST(COVKVarsTest, AddVarsFromOtherSources) {
  COVKVars src = Make({{"A;B", "1", kSystem, "csp"}, {"C;D", "2", kRuntime, "c"}}), dst = Make({{"A", "o", kSystem}});
  dst.AddVars(&src);
  dst.AddVars(static_cast<const COVKVars*>(nullptr));  // these add nothing
  dst.AddVars(static_cast<const OVOVars*>(nullptr), true);
  dst.AddVars(static_cast<const OVO::Properties*>(nullptr));
  dst.AddVars(String("not xml"), true);
  EXPECT_EQ(Dump(dst), "A=1 1|B=1 1p|C=2 0|D=2 0|");
  src.AddVars(&src);  // splits the names that hold ";"
  EXPECT_EQ(Dump(src), "A=1 c1p|B=1 c1p|C;D=2 c0|C=2 0|D=2 0|");
  const OVOVars ov("<Vars><Scope>__MACHINE__</Scope><VarEntry><Category>Inventory</Category><Name>Room</Name><Value>12"
                   "</Value></VarEntry><VarEntry><Name>Secret</Name><Value>pw</Value><TypeForDisplay>8</TypeForDisplay>"
                   "</VarEntry><VarEntry><Category>Cat</Category><Name>A;B</Name><Value>x</Value></VarEntry></Vars>");
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
  COVKVars vars = Make({{"zone", "runtime"}});
  vars.AddVars(&bag);
  EXPECT_EQ(Dump(vars), "zone=runtime 0|alpha=ab 1|Beta=ab 1|Zone=z1 1|");
}

TEST(COVKVarsTest, TypeTextsPackUnpackToleranceAndMerging) {
  for (auto [type, text] : {std::pair{kRuntime, "runtime|Runtime variable"}, {kSystem, "system|OVS variable"},
                            {7, "|"}}) {
    const CVariableType t(Type(type));
    EXPECT_EQ(t.ToString() + "|" + t.GetHumanReadableVariableType(), text);
  }
  const CVariableType a(Type(kSystem));
  EXPECT_TRUE(a == Type(kSystem) && a != Type(kRuntime) && a == CVariableType(Type(kSystem)) && a != CVariableType());
  EXPECT_EQ(CVariableType().GetVariableType(), kRuntime);
  EXPECT_EQ(COVKVars().GetObjectName() + COVKVars().Pack(), "OVSVars<OVSVars></OVSVars>");
  EXPECT_EQ(COVKVars().GetSchema(), 0x00050001u);
  const COVKVars hostile = Make({{"Name", "va<l>&\"ue'", kRuntime, "c"}, {"Weird", " \t lead and trail \r\n", -3},
                                 {"Braces{x}", "{y}"}});
  EXPECT_EQ(Make({{"N", "<v>", kSystem, "p"}, {"M", "", -3, "c"}}).Pack(),
            "<OVSVars><VarEntry><Name>N</Name><Value>&lt;v&gt;</Value><Custom>0</Custom><Type>1</Type><IsPassword>1"
            "</IsPassword></VarEntry><VarEntry><Name>M</Name><Value></Value><Custom>1</Custom><Type>-3</Type>"
            "<IsPassword>0</IsPassword></VarEntry></OVSVars>");
  EXPECT_EQ(Dump(COVKVars(hostile.Pack())) + COVKVars(hostile.Pack()).Pack(), Dump(hostile) + hostile.Pack());
  COVKVars vars;
  for (const char* bad : {"<Other><VarEntry><Name>A</Name></VarEntry></Other>", "", "<OVSVars><VarEntry><Name>A"}) {
    Add(vars, {{"Stale", "x"}});
    EXPECT_EQ(vars.Unpack(bad) + vars.Size(), 0u) << bad;  // emptied whatever the result
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
  EXPECT_EQ(Dump(vars), "N= 2147483647|");
  vars.Clear();
  EXPECT_FALSE(vars.Find("N") || vars.Size() != 0);
}

struct Result { String returned, text; bool expression = true; };  // the call must reset `expression`
Result Expand(const COVKVars& vars, String text, uint32_t policies = 0, int vb = 1, bool reference = false) {
  Result r;
  const auto p = static_cast<V::ESubstitutionPolicies>(policies);
  const auto v = static_cast<V::VBScriptExecutionPolicy>(vb);
  r.returned = reference ? substitution_reference::PerformSubstitutions(vars, text, r.expression, p, v)
                         : vars.PerformSubstitutions(text, r.expression, p, v);
  r.text = std::move(text);
  return r;
}

// Returned text, text left in place and expression flag, for each policy; texts may be many megabytes long.
void ExpectSameAsReference(const COVKVars& vars, const String& text,
                           const std::vector<uint32_t>& policySets = {0, 1, 8}, const std::vector<int>& vbs = {0, 1}) {
  for (uint32_t policies : policySets)
    for (int vb : vbs) {
      const Result mine = Expand(vars, text, policies, vb), ref = Expand(vars, text, policies, vb, true);
      ASSERT_TRUE(mine.returned == ref.returned && mine.text == ref.text && mine.expression == ref.expression)
          << "[" << text.substr(0, 300) << "] policies " << policies << ", vb " << vb << " in\n" << vars.Pack()
          << "\ngives [" << mine.returned.substr(0, 300) << "] not [" << ref.returned.substr(0, 300) << "]";
    }
}

class SubstitutionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ORVT_SET", "e{A}v", 1);
    setenv("ORVT_BRACE", "{%ORVT_BRACE%}", 1);
    unsetenv("ORVT_UNDEF");
  }
};

// The definition takes the value of each name from ReplaceVariable, so the special names are pinned here.
TEST_F(SubstitutionTest, EnvironmentDumpExpressionAndEscapedValues) {
  const COVKVars s = Make({{"A", "x"}, {"=X", "looked up"}, {"%ORVT_FALLBACK%", "from set"},
                           {"%ORVT_SET%", "shadowed"}, {"Esc", "a<b>&\"c'\r"}});
  const COVKVars d = Make({{"A", "1"}, {"Pw", "secret", kSystem, "p"}, {"A", "2", kSystem}, {"B", "{A}"}}), none;
  struct Case { const COVKVars& vars; const char *text, *expected; uint32_t policies = 0; int vb = 1; } cases[] = {
      {none, "a{}b[{Nope}]", "ab[]", kToEmpty}, {s, "[{%ORVT_UNDEF%}]", "[]", kToEmpty},
      {s, "[{%orvt_set%}][{%ORVT_UNDEF%}][{%%}]", "[exv][%ORVT_UNDEF%][{%%}]"}, {s, "{%ORVT_UNDEF%}", "", kRemoveEnv},
      {s, "{%ORVT_FALLBACK%}|{%ORVT_SET%}|%ORVT_SET%", "from set|exv|%ORVT_SET%"},
      {d, "{$$Dump$$}", "A=1\nPw=****\nA=2\nB=1\n"}, {d, "{$$dump$$:;}", "A=1:;Pw=****:;A=2:;B=1:;"},
      {d, "{$$Dump$$x:}", "A=1\nPw=****\nA=2\nB=1\n"},  // ":" not right after the prefix
      {none, "[{$$Dump$$}]", "[]"}, {s, "run {=1+1} now", "run <Expression not supported> now"},
      {s, "run {=1+1} now {A}|{=x}", "run {=1+1} now x|looked up", 0, 0}, {s, "{A} {=1}", "{A} {=1}", kToEmpty, 2},
      {s, "<v>{Esc}</v>", "<v>a&lt;b&gt;&amp;&quot;c&apos;&#xD;</v>", kEscape},
  };
  for (const Case& c : cases) {
    const Result r = Expand(c.vars, c.text, c.policies, c.vb);
    EXPECT_EQ(r.returned + "|" + r.text, String(c.expected) + "|" + c.expected) << c.text;
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(c.vars, c.text, {c.policies}, {c.vb}));
  }
  String same = "a";  // the name may be the output
  EXPECT_TRUE(d.ReplaceVariable(same, same, {}) == 1 && same == "1") << same;
}

// After 1000 replacements, or before the text outgrows 64 MiB, the expansion stops with the edits made so far.
TEST_F(SubstitutionTest, RecursionAndLengthLimits) {
  COVKVars v = Make({{"Self", "{Self}"}, {"Grow", "a{Grow}"}, {"A", "x"}, {"N", "{A}{A}"}, {"E", ""}, {"D", "dddd"}});
  Result r = Expand(v, "<{Self}>");
  EXPECT_EQ(r.returned + "|" + r.text, kRecursion + "|<{Self}>");
  r = Expand(v, "{Grow}!");
  EXPECT_EQ(r.returned + "|" + r.text, kRecursion + "|" + String(1001, 'a') + "{Grow}!");
  for (int count : {999, 1000, 1001, 1002}) {
    String a, e, n;
    for (int i = 0; i < count; ++i) a += "{A}", e += "-{E}";
    for (int i = 0; i < count / 3; ++i) n += "{N}";
    for (const String& text : {a, e, n, "{" + a + "}", a + "{Q", "{" + String(130, 'n') + a + "}"})
      ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(v, text, {0}, {1}));
  }
  // Dumps whose separators hold dump placeholders double at every step.
  const COVKVars dumps = Make({{"V", "{$$Dump$$:"}, {"W", "x"}, {"X", "}"}});
  r = Expand(dumps, "{$$Dump$$:}");
  EXPECT_EQ(r.returned, kRecursion);
  EXPECT_TRUE(r.text.size() <= V::kMaxExpandedLength && r.text.size() > V::kMaxExpandedLength / 4);
  EXPECT_EQ(r.text.substr(0, 6), "V=V=V=");
  ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(dumps, "{$$Dump$$:}", {0}, {1}));
  // A text may grow to the limit but not beyond; a longer one may shrink.
  String big = "{D}" + String(V::kMaxExpandedLength - 4, 'a');
  EXPECT_TRUE(Expand(v, big).returned == "dddd" + big.substr(3));
  big += 'a';
  EXPECT_EQ(Expand(v, big).returned, kRecursion);
  ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(v, big, {0}, {1}));
  big.replace(0, 3, "{A}");
  EXPECT_TRUE(Expand(v, big).returned == "x" + big.substr(3));
}

TEST(PlaceholderSyntaxTest, PredicatesFormatContainsReplaceAndFind) {
  const struct { bool (*is)(const String&); std::vector<const char*> yes, no; } predicates[] = {
      {V::IsVar, {"{}", "{a}b}"}, {"", "{", "}", " {a}"}}, {V::IsEnvironmentVariable, {"%a%", "%a%b%"}, {"%%", "%a"}},
      {V::IsDumpVariable, {"$$dUMP$$", "$$Dump$$x"}, {"$$Dump$", " $$Dump$$"}},
      {V::IsVBScriptExpressionVariable_deprecated, {"=1"}, {"", " =1"}}};  // more in the expansion above
  for (const auto& p : predicates) {
    for (const char* text : p.yes) EXPECT_TRUE(p.is(text)) << text;
    for (const char* text : p.no) EXPECT_FALSE(p.is(text)) << text;
  }
  EXPECT_EQ(V::FormatVar("Client;Machine") + V::FormatVar(";Second") + V::FormatVar(""), "{Client}{Second}{}");
  // The innermost name around the first "}"; a "{" right before it is skipped.
  for (const auto& [text, expected] : {std::pair<const char*, const char*>{"}{a}", nullptr}, {"{}", nullptr},
                                       {"ab}{c", nullptr}, {"abc", nullptr}, {"{a}", "a"},
                                       {"x{Out{In}er}{Next}", "In"}, {"{ab{}c}", "ab{"}}) {
    String name = "keep";
    EXPECT_EQ(V::ContainsVar(text, name), expected != nullptr) << text;
    EXPECT_EQ(name, expected ? expected : "keep") << text;
  }
  // Values are not scanned again, but later aliases see earlier values.
  const struct { const char *text, *names, *value; int count; const char* result; } replaces[] = {
      {"a {Client} b $(client) c {MACHINE} d {Clientx}", "Client;Machine", "PC", 3, "a PC b PC c PC d {Clientx}"},
      {"{A}{A}", "A", "{A}", 2, "{A}{A}"}, {"$(A)", "A;B", "$(B)", 2, "$(B)"}, {"x", "", "y", 0, "x"}};
  for (const auto& c : replaces) {
    String text = c.text;
    EXPECT_EQ(V::Replace(text, c.names, c.value), c.count) << c.text;
    EXPECT_EQ(text, c.result);
  }
  // For the aliases in order, "$(" before "{".
  const String t = "0123{B}$(B)$(A){A}";
  const struct { String text; const char* names; int pos; } finds[] = {
      {t, "A;B", 11}, {t, "B;A", 7}, {t, "b", 7}, {"{C}", "a;c", 0}, {t, "C", -1}, {t, "", -1},
      {"run {kitsserver} DIP", "DIP;KitsServer", 4}, {"run DIP", "DIP;KitsServer", -1}};
  for (const auto& c : finds) {
    EXPECT_EQ(V::FindAndGivePos(c.text, c.names), c.pos) << c.text << " / " << c.names;
    EXPECT_EQ(V::Find(c.text, c.names), c.pos >= 0) << c.text << " / " << c.names;
  }
}

// Texts of braces, plain, case-folded, long, empty, "=", environment (one whose value holds its own placeholder)
// and dump names, escapable characters; sets whose values are such texts.
struct Generator {
  std::mt19937 rng;
  size_t Pick(size_t n) { return static_cast<size_t>(rng() % n); }
  String Text(size_t maxPieces) {
    static const char* const kPieces[] = {
        "{", "}", "{", "}", "A", "a", "b", "B", "x", "Bx", "=", "=E", "%", "%ORVT_SET%", "%ORVT_UNDEF%",
        "%orvt_brace%", "$$Dump$$", "$$dump$$:;", "$$Dump$$:", ":", ";", "&", "<", "z", "{A}", "{B{x}}", "{}",
        " ", "\r", "Self", "Grow", "Longer.Name"};
    String s;
    for (size_t n = Pick(maxPieces + 1); n > 0; --n) s += kPieces[Pick(std::size(kPieces))];
    return s;
  }
  COVKVars Vars() {
    static const char* const kNames[] = {"A", "a", "b", "B", "x", "Bx", "", "=E", "%ORVT_UNDEF%", "%ORVT_SET%",
                                         "$$Dump$$", "AB", "Self", "Grow", "z", "A;b", "x;Bx;", "{A}", "longer.name"};
    const int32_t kTypes[] = {kRuntime, kRuntime, kSystem, kSystem, 5};
    COVKVars vars;
    for (size_t n = Pick(9); n > 0; --n)
      vars.AddVar(kNames[Pick(std::size(kNames))], Text(3), Pick(2), Pick(2), Type(kTypes[Pick(5)]), Pick(4) == 0);
    return vars;
  }
};

// Generated sets and texts under every policy; sets that recurse; plain names (decided on a quick path) around the
// eight bytes hashed at once and the look-ahead of 128, in other cases, at the end, adjacent, unclosed, computed.
TEST_F(SubstitutionTest, GeneratedRecursiveAndPlainNamesAsTheReference) {
  Generator gen{std::mt19937(20240611)};
  const std::vector<uint32_t> policySets = {0, 1, 2, 8, 3, 9, 10, 11, 4, 15};
  const std::vector<int> vbPolicies = {0, 1, 2, -1};
  for (int round = 0; round < 1500; ++round)
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(gen.Vars(), gen.Text(24), policySets, vbPolicies));
  const COVKVars recursive = Make({{"Self", "{Self}"}, {"Grow", "a{Grow}"}, {"A", "{B}"}, {"B", "}{A"},
                                   {"x", "", kSystem}, {"=E", "{=E}"}});
  for (const char* text : {"{Self}", "{Grow}", "{{Self}", "{A}", "x{=E}", "{B}", "{{x}{x}}{Self}"})
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(recursive, text));
  for (int round = 0; round < 400; ++round) ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(recursive, gen.Text(10)));

  COVKVars vars = Make({{"Drive3", "D:"}, {"Index", "3", kSystem}});
  std::vector<String> texts = {"{DRIVE{index}}", "{Dri{Index}ve}", "{Drive{Index}{Index}}", "{Drive{Nope}}",
                               "{{Index}}", "{Drive{Index}", "a{Drive{Index}}b{Index}c"};
  for (size_t length : {1, 2, 3, 6, 7, 8, 9, 10, 15, 16, 17, 18, 126, 127, 128, 129, 130}) {
    String n;
    for (size_t i = 0; i < length; ++i) n += static_cast<char>((i % 2 ? 'a' : 'A') + (length + i) % 26);
    vars.AddVar(n, "v" + std::to_string(length), false, false, Type(kRuntime), false);
    for (const String& spelt : {n, OFL::ToLower(n), OFL::ToUpper(n)}) {
      const String open = "{" + spelt, half = spelt.substr(0, length / 2), rest = spelt.substr(length / 2);
      texts.insert(texts.end(), {open + "}", open + "}x", "ab" + open + "}" + open + "}0123456789ab", open,
                                 "}" + open + "x}", "{" + spelt.substr(1) + "}", "{" + half + "{Index}" + rest + "}",
                                 open + "{Index}}"});
    }
  }
  for (const String& text : texts) ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(vars, text));
}

// The index keeps a view of each name's value; it follows every change.
TEST_F(SubstitutionTest, ValuesChangedBetweenExpansions) {
  COVKVars vars = Make({{"Index", "3", kSystem}, {"Drive3", "D:"}});
  const String text = "{Drive{Index}}|{Index}|{index}";
  const struct { const char* name; String value; int32_t type; String expected; } steps[] = {  // type -1: removal
      {"Index", "{Other}", kSystem, "{Drive{Other}}|{Other}|{Other}"},  // now holds braces
      {"Other", "3", kRuntime, "D:|3|3"}, {"INDEX", "3", kSystem, "D:|3|3"},
      {"index", "x", kRuntime, "{Drivex}|x|x"},                     // a runtime entry wins
      {"Index", "", -1, text}, {"Index", "3", 5, text},             // removed; found, with no value
      {"Index", "3", kRuntime, "D:|3|3"},
  };
  for (const auto& step : steps) {
    if (step.type < 0)
      vars.RemoveVar(step.name);
    else
      vars.AddVar(step.name, step.value, false, false, Type(step.type), false);
    EXPECT_EQ(Expand(vars, text).returned, step.expected);
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(vars, text));
  }
}

using testing::ReadFile;
using testing::WriteFile;

TEST(FileTest, ExpandsLineByLineGivesWin32CodesForOpenFailuresReadsInstallIni) {
  const testing::ScratchDir dir;
  const COVKVars vars = Make({{"A", "x"}, {"Self", "{Self}"}});
  const auto run = [&](const String& src, const String& dst, bool& expression) {
    return vars.PerformSubstitutionsOnFile(src, dst, expression, V::SubstitutionDefault, V::VBScriptNotSupported);
  };
  String many;
  for (int i = 0; i < 600; ++i) many += "{A}";
  const String x600(600, 'x');
  // The expression flag is the OR over the lines; it is reset when no line has one.
  const std::tuple<String, String, bool> cases[] = {
      {"a={A}\r\nb={=1}\n{A\n}\nlast {A}", "a=x\nb=<Expression not supported>\n{A\n}\nlast x\n", true},
      {"{A}\n\n\r\n", "x\n\n\n", false},
      {many + "\n" + many + "\n{Self}\nlone\r", x600 + "\n" + x600 + "\n<Error: variables recursion>\nlone\r\n", false},
      {"", "", false},  // the target is truncated
  };
  WriteFile(dir.File("out.txt"), "old content");
  for (const auto& [in, out, expression] : cases) {
    WriteFile(dir.File("in.txt"), in);
    bool found = !expression;
    EXPECT_EQ(run(dir.File("in.txt"), dir.File("out.txt"), found), 0u);
    EXPECT_EQ(ReadFile(dir.File("out.txt")), out);
    EXPECT_EQ(found, expression) << in;
  }
  ::unlink(dir.File("out.txt").c_str());
  WriteFile(dir.File("in.txt"), "{A}\n");
  ::mkdir(dir.File("sub").c_str(), 0755);
  const std::tuple<String, String, uint32_t> failures[] = {
      {dir.File("missing.txt"), dir.File("out.txt"), 2}, {dir.File("nodir/missing.txt"), dir.File("out.txt"), 3},
      {dir.File("in.txt/x"), dir.File("out.txt"), 3},    {"", dir.File("out.txt"), 3},
      {dir.File("sub"), dir.File("out.txt"), 5},         {dir.File("in.txt"), dir.File("nodir/out.txt"), 3},
      {dir.File("in.txt"), dir.File("sub"), 5},          {dir.File("in.txt"), "", 3},
      {dir.File("in.txt"), dir.File("in.txt"), 32},  // its own target
  };
  for (const auto& [src, dst, code] : failures) {
    bool expression = true;  // untouched when nothing was expanded
    EXPECT_EQ(run(src, dst, expression), code) << src << " -> " << dst;
    EXPECT_TRUE(expression) << src << " -> " << dst;
  }
  EXPECT_EQ(::access(dir.File("out.txt").c_str(), F_OK), -1) << "no target made on a source failure";
  EXPECT_EQ(ReadFile(dir.File("in.txt")), "{A}\n");
  WriteFile(dir.File("locked.txt"), "x");
  ::chmod(dir.File("locked.txt").c_str(), 0);
  EXPECT_EQ(vars.PerformSubstitutionsOnFile(dir.File("locked.txt"), dir.File("out.txt"), {}, V::VBScriptNotSupported),
            ::geteuid() == 0 ? 0u : 5u);  // root reads it anyway

  // install.ini: the known keys of three sections, then the lines of two as custom variables.
  WriteFile(dir.File("install.ini"),
            "[Network]\r\nServer = srv01 \r\nDIP=\\\\dip\\kits\r\nDomain=\r\n"
            "[Machine]\nComputerName=PC1\nGroupName=Lab\n"
            "[Software]\nDestinationPath=C:\\Apps\nLicense=ABC-123\n"
            "[Custom]\n; comment\n Room = 12 \nFlag\nA;B=ab\n=novalue\nEq=x=y\n"
            "[OVSVars]\nRoom=13\n");
  COVKVars ini;
  EXPECT_EQ(ini.AddVarsFromInstallIni(dir.File("install.ini"), Type(kSystem)), 0u);
  EXPECT_EQ(Dump(ini), "Server=srv01 1|DIP=\\\\dip\\kits 1|KitsServer=\\\\dip\\kits 1|Depot=\\\\dip\\kits 1|"
                        "Client=PC1 1|Machine=PC1 1|Group=Lab 1|InstallTargetPath=C:\\Apps 1|License=ABC-123 1|"
                        "Licence=ABC-123 1|Room=13 c1|Flag= c1|A=ab c1|B=ab c1|Eq=x=y c1|");
  // The path is expanded first; a missing file gives 2; an empty path means the program's directory.
  WriteFile(dir.File("agent.ini"), "[Machine]\nComputerName=PC2\n");
  COVKVars expanded = Make({{"IniDir", dir.str().c_str()}});
  EXPECT_EQ(expanded.AddVarsFromInstallIni("{inidir}/agent.ini", Type(kRuntime)), 0u);
  EXPECT_EQ(expanded.AddVarsFromInstallIni("{Unknown}/install.ini", Type(kRuntime)), 2u);
  EXPECT_EQ(expanded.AddVarsFromInstallIni("", Type(kRuntime)), 2u);
  expanded.AddVarsFromIniSection(String(" a = 1 \0b\0 c;d = x = y \0=v\0\0ignored\0\0", 37), false, Type(kRuntime));
  EXPECT_EQ(Dump(expanded), "IniDir=" + dir.str() + " 0|Client=PC2 0|Machine=PC2 0|a=1 0|b= 0|c=x = y 0|d=x = y 0|");
}

}  // namespace
}  // namespace orvacmn
