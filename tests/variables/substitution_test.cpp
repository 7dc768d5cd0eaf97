// Placeholder expansion: the documented cases, the static helpers, and a
// comparison with the step-by-step definition on many generated texts.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <random>
#include <vector>

#include "ofl/tools.h"
#include "orvacmn/variables/ovk_vars.h"
#include "variables/substitution_reference.h"

namespace orvacmn {
namespace {

using V = COVKVars;
constexpr auto kRuntime = CVariableType::Runtime;
constexpr auto kSystem = CVariableType::System;
constexpr auto kEscape = V::SubstitutionEscapeXml;
constexpr auto kRemoveEnv = V::SubstitutionRemoveUndefinedEnvironment;
constexpr auto kToEmpty = V::SubstitutionUnknownToEmpty;
const String kRecursion = "<Error: variables recursion>";

V::ESubstitutionPolicies Policies(uint32_t bits) { return static_cast<V::ESubstitutionPolicies>(bits); }

struct Result {
  String returned, text;
  bool expression = false;
};

Result Expand(const COVKVars& vars, String text, uint32_t policies = 0, int vb = 1) {
  Result r;
  r.expression = !r.expression;  // must be reset by the call
  r.returned =
      vars.PerformSubstitutions(text, r.expression, Policies(policies), static_cast<V::VBScriptExecutionPolicy>(vb));
  r.text = text;
  return r;
}

String E(const COVKVars& vars, const String& text, uint32_t policies = 0, int vb = 1) {
  return Expand(vars, text, policies, vb).returned;
}

class SubstitutionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ORVT_SET", "env-value", 1);
    unsetenv("ORVT_UNDEF");
    vars_.AddVar("DIP;KitsServer;Depot", "\\\\srv\\kits", false, true, kRuntime, false);
    vars_.AddVar("A", "x", false, false, kRuntime, false);
    vars_.AddVar("Bx", "y", false, false, kRuntime, false);
    vars_.AddVar("Pw", "secret", false, false, kSystem, true);
  }
  COVKVars vars_;
};

TEST_F(SubstitutionTest, PlainAndNestedPlaceholders) {
  EXPECT_EQ(E(vars_, "copy {DIP}\\setup.exe"), "copy \\\\srv\\kits\\setup.exe");
  EXPECT_EQ(E(vars_, "{kitsserver}|{DEPOT}"), "\\\\srv\\kits|\\\\srv\\kits");
  EXPECT_EQ(E(vars_, "{B{A}}"), "y");
  EXPECT_EQ(E(vars_, "{{{A}}}"), "{{x}}");  // x and {x} are unknown and stay
  EXPECT_EQ(E(vars_, ""), "");
  EXPECT_EQ(E(vars_, "no braces"), "no braces");
}

TEST_F(SubstitutionTest, UnbalancedBracesArePlainText) {
  EXPECT_EQ(E(vars_, "}A{"), "}A{");
  EXPECT_EQ(E(vars_, "{A"), "{A");
  EXPECT_EQ(E(vars_, "A}"), "A}");
  EXPECT_EQ(E(vars_, "}{A}{"), "}x{");
  EXPECT_EQ(E(vars_, "{A}}"), "x}");
  // A "}" that stays forgets the open "{" before it.
  EXPECT_EQ(E(vars_, "{{unknown}A}"), "{{unknown}A}");
}

TEST_F(SubstitutionTest, EmptyAndUnknownNames) {
  EXPECT_EQ(E(vars_, "a{}b"), "a{}b");
  EXPECT_EQ(E(vars_, "a{}b", kToEmpty), "ab");
  EXPECT_EQ(E(vars_, "[{Nope}]"), "[{Nope}]");
  EXPECT_EQ(E(vars_, "[{Nope}]", kToEmpty), "[]");
  COVKVars withEmpty;
  withEmpty.AddVar("", "E", false, false, kRuntime, false);
  EXPECT_EQ(E(withEmpty, "a{}b"), "aEb");
}

TEST_F(SubstitutionTest, ValuesAreScannedAgain) {
  COVKVars v;
  v.AddVar("Outer", "[{Inner}]", false, false, kRuntime, false);
  v.AddVar("Inner", "in", false, false, kRuntime, false);
  v.AddVar("Half", "{Inn", false, false, kRuntime, false);
  EXPECT_EQ(E(v, "{Outer}"), "[in]");
  // A value may open a placeholder that the text closes.
  EXPECT_EQ(E(v, "{Half}er}"), "in");
  // A value may close a placeholder that the text opened.
  v.AddVar("Close", "er}", false, false, kRuntime, false);
  EXPECT_EQ(E(v, "{Inn{Close}"), "in");
}

TEST_F(SubstitutionTest, RecursionLimit) {
  COVKVars v;
  v.AddVar("Self", "{Self}", false, false, kRuntime, false);
  v.AddVar("Grow", "a{Grow}", false, false, kRuntime, false);
  v.AddVar("A", "x", false, false, kRuntime, false);
  Result r = Expand(v, "<{Self}>");
  EXPECT_EQ(r.returned, kRecursion);
  EXPECT_EQ(r.text, "<{Self}>");
  r = Expand(v, "{Grow}!");
  EXPECT_EQ(r.returned, kRecursion);
  EXPECT_EQ(r.text, String(1001, 'a') + "{Grow}!");

  String text1000, text1001, text1002;
  for (int i = 0; i < 1000; ++i) text1000 += "{A}";
  text1001 = text1000 + "{A}";
  text1002 = text1001 + "-{A}";
  r = Expand(v, text1000);
  EXPECT_EQ(r.returned, String(1000, 'x'));
  EXPECT_EQ(r.text, r.returned);
  r = Expand(v, text1001);
  EXPECT_EQ(r.returned, kRecursion);
  EXPECT_EQ(r.text, String(1001, 'x'));
  r = Expand(v, text1002);
  EXPECT_EQ(r.text, String(1001, 'x') + "-{A}");

  OFL::SetResourceLanguage(1031);
  EXPECT_EQ(E(v, "{Self}"), "<Fehler: Variablen-Rekursion>");
  OFL::SetResourceLanguage(1033);
}

// Dumps whose separators hold dump placeholders double at every step; the
// expansion stops before the text outgrows the limit.
TEST_F(SubstitutionTest, RunawayGrowthStopsAtTheLengthLimit) {
  COVKVars v;
  v.AddVar("V", "{$$Dump$$:", false, false, kRuntime, false);
  v.AddVar("W", "x", false, false, kRuntime, false);
  v.AddVar("X", "}", false, false, kRuntime, false);
  const Result r = Expand(v, "{$$Dump$$:}");
  EXPECT_EQ(r.returned, kRecursion);
  EXPECT_LE(r.text.size(), V::kMaxExpandedLength);
  EXPECT_GT(r.text.size(), V::kMaxExpandedLength / 4);
  EXPECT_EQ(r.text.substr(0, 6), "V=V=V=");

  // A text longer than the limit may still shrink.
  String big(V::kMaxExpandedLength + 10, 'a');
  big.replace(0, 3, "{A}");
  const Result shrink = Expand(vars_, big);
  EXPECT_EQ(shrink.returned.size(), big.size() - 2);
  EXPECT_EQ(shrink.returned.substr(0, 2), "xa");
  big.replace(0, 3, "{D}");
  v.AddVar("D", "dddd", false, false, kRuntime, false);
  const Result grow = Expand(v, big);
  EXPECT_EQ(grow.returned, kRecursion);
  EXPECT_TRUE(grow.text == big);  // not printed: 64 MiB
}

TEST_F(SubstitutionTest, EnvironmentPlaceholders) {
  EXPECT_EQ(E(vars_, "[{%ORVT_SET%}]"), "[env-value]");
  EXPECT_EQ(E(vars_, "[{%orvt_set%}]"), "[env-value]");
  EXPECT_EQ(E(vars_, "[{%ORVT_UNDEF%}]"), "[%ORVT_UNDEF%]");
  EXPECT_EQ(E(vars_, "[{%ORVT_UNDEF%}]", kToEmpty), "[]");
  EXPECT_EQ(E(vars_, "[{%ORVT_UNDEF%}]", kRemoveEnv), "[]");
  // "%%" is not an environment name (too short).
  EXPECT_EQ(E(vars_, "[{%%}]"), "[{%%}]");
  // A set entry of that name is used when the environment has none.
  COVKVars v;
  v.AddVar("%ORVT_UNDEF%", "from set", false, false, kRuntime, false);
  v.AddVar("%ORVT_SET%", "shadowed", false, false, kRuntime, false);
  EXPECT_EQ(E(v, "{%ORVT_UNDEF%}"), "from set");
  EXPECT_EQ(E(v, "{%ORVT_SET%}"), "env-value");
  // Bare percent texts outside braces are not expanded.
  EXPECT_EQ(E(v, "%ORVT_SET%"), "%ORVT_SET%");
}

TEST_F(SubstitutionTest, DumpPlaceholder) {
  COVKVars v;
  v.AddVar("A", "1", false, false, kRuntime, false);
  v.AddVar("Pw", "secret", false, false, kSystem, true);
  v.AddVar("A", "2", false, false, kSystem, false);
  EXPECT_EQ(E(v, "{$$Dump$$}"), "A=1\nPw=****\nA=2\n");
  EXPECT_EQ(E(v, "{$$dump$$:;}"), "A=1:;Pw=****:;A=2:;");
  EXPECT_EQ(E(v, "{$$DUMP$$: }"), "A=1: Pw=****: A=2: ");
  EXPECT_EQ(E(v, "{$$Dump$$x:}"), "A=1\nPw=****\nA=2\n");  // ":" not right after the prefix
  EXPECT_EQ(E(COVKVars(), "[{$$Dump$$}]"), "[]");
  String out = "keep";
  EXPECT_FALSE(v.ResolveDumpVariable("$$Dum", out));
  EXPECT_EQ(out, "keep");
  EXPECT_TRUE(v.ResolveDumpVariable("$$Dump$$:", out));
  EXPECT_EQ(out, "A=1:Pw=****:A=2:");
  // Dumped values are expanded in turn.
  v.AddVar("B", "{A}", false, false, kRuntime, false);
  EXPECT_EQ(E(v, "{$$Dump$$:}"), "A=1:Pw=****:A=2:B=1:");
}

TEST_F(SubstitutionTest, ExpressionsAndVBScriptPolicies) {
  Result r = Expand(vars_, "run {=1+1} now", 0, 1);
  EXPECT_EQ(r.returned, "run <Expression not supported> now");
  EXPECT_TRUE(r.expression);
  r = Expand(vars_, "run {=1+1} now", kEscape, 1);
  EXPECT_EQ(r.returned, "run &lt;Expression not supported&gt; now");
  r = Expand(vars_, "run {=1+1} now {A}", 0, 0);
  EXPECT_EQ(r.returned, "run {=1+1} now x");
  EXPECT_FALSE(r.expression);
  COVKVars v;
  v.AddVar("=X", "looked up", false, false, kRuntime, false);
  EXPECT_EQ(E(v, "{=x}", 0, 0), "looked up");
  EXPECT_EQ(E(v, "{=x}", 0, 1), "<Expression not supported>");
  for (int vb : {2, -1, 99}) {
    r = Expand(vars_, "{A} {=1}", kToEmpty, vb);
    EXPECT_EQ(r.returned, "{A} {=1}");
    EXPECT_EQ(r.text, "{A} {=1}");
    EXPECT_FALSE(r.expression);
  }
  // The two-argument form uses policy 1.
  String text = "{=y}{A}";
  EXPECT_EQ(vars_.PerformSubstitutions(text, V::SubstitutionDefault), "<Expression not supported>x");
  EXPECT_EQ(text, "<Expression not supported>x");
}

TEST_F(SubstitutionTest, XmlEscaping) {
  COVKVars v;
  v.AddVar("X", "a<b>&\"c'\r", false, false, kRuntime, false);
  EXPECT_EQ(E(v, "<v>{X}</v>", kEscape), "<v>a&lt;b&gt;&amp;&quot;c&apos;&#xD;</v>");
  EXPECT_EQ(E(v, "<v>{X}</v>"), "<v>a<b>&\"c'\r</v>");
}

TEST_F(SubstitutionTest, ReplaceVariable) {
  String out = "untouched";
  EXPECT_EQ(vars_.ReplaceVariable("nope", out, V::SubstitutionDefault), 0);
  EXPECT_EQ(out, "untouched");
  EXPECT_EQ(vars_.ReplaceVariable("nope", out, kToEmpty), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(vars_.ReplaceVariable("depot", out, V::SubstitutionDefault), 1);
  EXPECT_EQ(out, "\\\\srv\\kits");
  EXPECT_EQ(vars_.ReplaceVariable("%ORVT_UNDEF%", out, V::SubstitutionDefault), 1);
  EXPECT_EQ(out, "%ORVT_UNDEF%");
  EXPECT_EQ(vars_.ReplaceVariable("$$Dump$$", out, V::SubstitutionDefault), 1);
  EXPECT_EQ(out, "DIP=\\\\srv\\kits\nKitsServer=\\\\srv\\kits\nDepot=\\\\srv\\kits\nA=x\nBx=y\nPw=****\n");
  String same = "A";
  EXPECT_EQ(vars_.ReplaceVariable(same, same, V::SubstitutionDefault), 1);
  EXPECT_EQ(same, "x");
}

TEST_F(SubstitutionTest, ExpansionLeavesTheSetUnchanged) {
  const String before = vars_.Pack();
  E(vars_, "{$$Dump$$}{A}{Self}{%ORVT_SET%}", 15);
  EXPECT_EQ(vars_.Pack(), before);
}

TEST(PlaceholderSyntaxTest, IsVarAndContainsVar) {
  EXPECT_TRUE(V::IsVar("{}"));
  EXPECT_TRUE(V::IsVar("{a}b}"));
  EXPECT_FALSE(V::IsVar(""));
  EXPECT_FALSE(V::IsVar("{"));
  EXPECT_FALSE(V::IsVar("}"));
  EXPECT_FALSE(V::IsVar(" {a}"));

  String name = "keep";
  EXPECT_FALSE(V::ContainsVar("}{a}", name));  // the first "}" is at 0
  EXPECT_FALSE(V::ContainsVar("{}", name));    // no name between
  EXPECT_FALSE(V::ContainsVar("a{}{b}", name));
  EXPECT_FALSE(V::ContainsVar("abc", name));
  EXPECT_FALSE(V::ContainsVar("ab}{c", name));
  EXPECT_EQ(name, "keep");
  EXPECT_TRUE(V::ContainsVar("{a}", name));
  EXPECT_EQ(name, "a");
  EXPECT_TRUE(V::ContainsVar("x{Out{In}er}{Next}", name));
  EXPECT_EQ(name, "In");
  EXPECT_TRUE(V::ContainsVar("{ab{}c}", name));  // the "{" right before the "}" is skipped
  EXPECT_EQ(name, "ab{");
}

TEST(PlaceholderSyntaxTest, NameKinds) {
  EXPECT_EQ(V::FormatVar("Client;Machine"), "{Client}");
  EXPECT_EQ(V::FormatVar(";Second"), "{Second}");
  EXPECT_EQ(V::FormatVar(""), "{}");
  EXPECT_TRUE(V::IsEnvironmentVariable("%a%"));
  EXPECT_FALSE(V::IsEnvironmentVariable("%%"));
  EXPECT_FALSE(V::IsEnvironmentVariable("%a"));
  EXPECT_TRUE(V::IsEnvironmentVariable("%a%b%"));
  EXPECT_TRUE(V::IsDumpVariable("$$dUMP$$"));
  EXPECT_TRUE(V::IsDumpVariable("$$Dump$$anything"));
  EXPECT_FALSE(V::IsDumpVariable("$$Dump$"));
  EXPECT_FALSE(V::IsDumpVariable(" $$Dump$$"));
  EXPECT_TRUE(V::IsVBScriptExpressionVariable_deprecated("=1"));
  EXPECT_FALSE(V::IsVBScriptExpressionVariable_deprecated(""));
  EXPECT_FALSE(V::IsVBScriptExpressionVariable_deprecated(" =1"));
}

TEST(PlaceholderSyntaxTest, ReplaceFindAndFindAndGivePos) {
  String both = "{Client} and $(client)";
  EXPECT_EQ(V::Replace(both, "Client;Machine", "PC"), 2);
  EXPECT_EQ(both, "PC and PC");
  String text = "a {Client} b $(client) c {MACHINE} d {Clientx}";
  EXPECT_EQ(V::Replace(text, "Client;Machine", "PC"), 3);
  EXPECT_EQ(text, "a PC b PC c PC d {Clientx}");
  // Values are not scanned again.
  text = "{A}{A}";
  EXPECT_EQ(V::Replace(text, "A", "{A}"), 2);
  EXPECT_EQ(text, "{A}{A}");
  text = "$(A)";
  EXPECT_EQ(V::Replace(text, "A;B", "$(B)"), 2);  // the value of A is replaced as B afterwards
  EXPECT_EQ(text, "$(B)");
  text = "x";
  EXPECT_EQ(V::Replace(text, "", "y"), 0);

  EXPECT_TRUE(V::Find("run {kitsserver}", "DIP;KitsServer"));
  EXPECT_TRUE(V::Find("run $(dip)", "DIP;KitsServer"));
  EXPECT_FALSE(V::Find("run DIP", "DIP;KitsServer"));
  EXPECT_FALSE(V::Find("run {DIP}", ""));

  const String t = "0123{B}$(B)$(A){A}";
  EXPECT_EQ(V::FindAndGivePos(t, "A;B"), 11);  // $(A) of the first alias comes first
  EXPECT_EQ(V::FindAndGivePos(t, "B;A"), 7);   // $(B) before {B}
  EXPECT_EQ(V::FindAndGivePos(t, "b"), 7);
  EXPECT_EQ(V::FindAndGivePos("{C}", "a;c"), 0);
  EXPECT_EQ(V::FindAndGivePos(t, "C"), -1);
  EXPECT_EQ(V::FindAndGivePos(t, ""), -1);
}

// --- Comparison with the step-by-step definition -------------------------

class Generator {
 public:
  explicit Generator(uint32_t seed) : rng_(seed) {}

  size_t Pick(size_t n) { return static_cast<size_t>(rng_() % n); }

  String Piece() {
    static const char* const kPieces[] = {
        "{", "}", "{", "}", "A", "a", "b", "B", "x", "Bx", "=", "=E", "%", "%ORVT_SET%", "%ORVT_UNDEF%",
        "%orvt_brace%", "$$Dump$$", "$$dump$$:;", "$$Dump$$:", ":", ";", "&", "<", "z", "{A}", "{B{x}}", "{}",
        " ", "\r", "Self", "Grow"};
    return kPieces[Pick(std::size(kPieces))];
  }

  String Text(size_t maxPieces) {
    String s;
    const size_t n = Pick(maxPieces + 1);
    for (size_t i = 0; i < n; ++i) s += Piece();
    return s;
  }

  COVKVars Vars() {
    static const char* const kNames[] = {"A", "a", "b", "B", "x", "Bx", "", "=E", "%ORVT_UNDEF%", "%ORVT_SET%",
                                         "$$Dump$$", "AB", "Self", "Grow", "z", "A;b", "x;Bx;", "{A}"};
    COVKVars vars;
    const size_t n = Pick(9);
    for (size_t i = 0; i < n; ++i) {
      const String name = kNames[Pick(std::size(kNames))];
      const int32_t types[] = {0, 0, 1, 1, 5};
      vars.AddVar(name, Text(3), Pick(2), Pick(2), static_cast<CVariableType::EVariableType>(types[Pick(5)]),
                  Pick(4) == 0);
    }
    return vars;
  }

 private:
  std::mt19937 rng_;
};

void ExpectSameAsReference(const COVKVars& vars, const String& text, uint32_t policies, int vb) {
  String mine = text, ref = text;
  bool mineExpr = true, refExpr = false;
  const String mineOut =
      vars.PerformSubstitutions(mine, mineExpr, Policies(policies), static_cast<V::VBScriptExecutionPolicy>(vb));
  const String refOut = substitution_reference::PerformSubstitutions(vars, ref, refExpr, Policies(policies),
                                                                     static_cast<V::VBScriptExecutionPolicy>(vb));
  ASSERT_EQ(mineOut, refOut) << "text [" << text << "] policies " << policies << " vb " << vb << "\n" << vars.Pack();
  ASSERT_EQ(mine, ref) << "text [" << text << "] policies " << policies << " vb " << vb << "\n" << vars.Pack();
  ASSERT_EQ(mineExpr, refExpr) << "text [" << text << "]";
}

class ReferenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ORVT_SET", "e{A}v", 1);
    setenv("ORVT_BRACE", "{%ORVT_BRACE%}", 1);
    unsetenv("ORVT_UNDEF");
  }
};

TEST_F(ReferenceTest, GeneratedTextsEveryPolicy) {
  Generator gen(20240611);
  const uint32_t policySets[] = {0, 1, 2, 8, 3, 9, 10, 11, 4, 15};
  const int vbPolicies[] = {0, 1, 2};
  for (int round = 0; round < 2500; ++round) {
    const COVKVars vars = gen.Vars();
    for (int t = 0; t < 3; ++t) {
      const String text = gen.Text(24);
      const uint32_t p = policySets[gen.Pick(std::size(policySets))];
      const int vb = vbPolicies[gen.Pick(std::size(vbPolicies))];
      ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(vars, text, p, vb));
    }
  }
  // Every policy combination on the same cases.
  for (int round = 0; round < 250; ++round) {
    const COVKVars vars = gen.Vars();
    const String text = gen.Text(16);
    for (uint32_t p : policySets)
      for (int vb : vbPolicies) ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(vars, text, p, vb));
  }
}

TEST_F(ReferenceTest, DenseBracesAndRecursion) {
  Generator gen(99);
  COVKVars recursive;
  recursive.AddVar("Self", "{Self}", false, false, kRuntime, false);
  recursive.AddVar("Grow", "a{Grow}", false, false, kRuntime, false);
  recursive.AddVar("A", "{B}", false, false, kRuntime, false);
  recursive.AddVar("B", "}{A", false, false, kRuntime, false);
  recursive.AddVar("x", "", false, false, kSystem, false);
  recursive.AddVar("=E", "{=E}", false, false, kRuntime, false);
  for (int round = 0; round < 400; ++round) {
    const String text = gen.Text(10);
    for (uint32_t p : {0u, 1u, 8u})
      for (int vb : {0, 1}) ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(recursive, text, p, vb));
  }
  for (const char* text : {"{Self}", "{Grow}", "{{Self}", "{A}", "x{=E}", "{B}", "{{x}{x}}{Self}"})
    for (int vb : {0, 1}) ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(recursive, text, 0, vb));
}

// Placeholders of plain names are decided without the general machinery
// where possible. These cases sit on the edges of that: name lengths around
// the eight bytes the index compares at once, names in other cases, texts
// ending right after the "}", adjacent, unclosed and computed placeholders.
TEST_F(ReferenceTest, PlainNamesAtTheEdges) {
  COVKVars vars;
  std::vector<String> names;
  for (size_t length = 1; length <= 18; ++length) {
    String name;
    for (size_t i = 0; i < length; ++i) name += static_cast<char>((i % 2 ? 'a' : 'A') + (length + i) % 26);
    names.push_back(name);
    vars.AddVar(name, "v" + std::to_string(length), false, false, kRuntime, false);
  }
  vars.AddVar("Drive3", "D:", false, false, kRuntime, false);
  vars.AddVar("Index", "3", false, false, kSystem, false);
  std::vector<String> texts = {"{Drive{Index}}\\x", "{DRIVE{index}}", "{Dri{Index}ve}", "{Drive{Index}{Index}}",
                               "{Drive{Nope}}", "{{Index}}", "{Drive{Index}", "a{Drive{Index}}b{Index}c"};
  for (const String& n : names) {
    for (const String& spelt : {n, OFL::ToLower(n), OFL::ToUpper(n)}) {
      texts.push_back("{" + spelt + "}");
      texts.push_back("{" + spelt + "}x");
      texts.push_back("ab{" + spelt + "}{" + spelt + "}0123456789abcdef");
      texts.push_back("{" + spelt);
      texts.push_back("}{" + spelt + "x}");
      texts.push_back("{" + spelt.substr(1) + "}");
      texts.push_back("{" + spelt.substr(0, spelt.size() / 2) + "{Index}" + spelt.substr(spelt.size() / 2) + "}");
    }
  }
  for (const String& text : texts)
    for (uint32_t p : {0u, 1u, 8u})
      for (int vb : {0, 1}) ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(vars, text, p, vb));
  EXPECT_EQ(E(vars, "{" + OFL::ToUpper(names[8]) + "}"), "v9");
  EXPECT_EQ(E(vars, "{" + names[16] + "}{" + names[17] + "}"), "v17v18");
  EXPECT_EQ(E(vars, "{Drive{Index}}\\x"), "D:\\x");
}

// The index keeps a view of each name's value; it follows every change.
TEST_F(ReferenceTest, ValuesChangedBetweenExpansions) {
  COVKVars vars;
  vars.AddVar("Index", "3", false, false, kSystem, false);
  vars.AddVar("Drive3", "D:", false, false, kRuntime, false);
  const String text = "{Drive{Index}}|{Index}|{index}";
  EXPECT_EQ(E(vars, text), "D:|3|3");
  vars.AddVar("Index", "{Other}", false, false, kSystem, false);  // now holds braces
  vars.AddVar("Other", "3", false, false, kRuntime, false);
  EXPECT_EQ(E(vars, text), "D:|3|3");
  vars.AddVar("Other", String(40, 'o'), false, false, kRuntime, false);  // no longer fits in place
  EXPECT_EQ(E(vars, text), "{Drive" + String(40, 'o') + "}|" + String(40, 'o') + "|" + String(40, 'o'));
  vars.AddVar("INDEX", "3", false, false, kSystem, false);
  EXPECT_EQ(E(vars, text), "D:|3|3");
  vars.AddVar("index", "x", false, false, kRuntime, false);  // a runtime entry wins
  EXPECT_EQ(E(vars, text), "{Drivex}|x|x");
  vars.RemoveVar("Index");
  EXPECT_EQ(E(vars, text), "{Drive{Index}}|{Index}|{index}");
  EXPECT_EQ(E(vars, text, kToEmpty), "||");
  vars.AddVar("Index", "3", false, false, static_cast<CVariableType::EVariableType>(5), false);  // found, no value
  EXPECT_EQ(E(vars, text), "{Drive{Index}}|{Index}|{index}");
  vars.AddVar("Index", "3", false, false, kRuntime, false);
  const COVKVars copy = vars;
  vars.AddVar("Index", "4", false, false, kRuntime, false);
  EXPECT_EQ(E(copy, text), "D:|3|3");
  EXPECT_EQ(E(vars, text), "{Drive4}|4|4");
  COVKVars moved = std::move(vars);
  EXPECT_EQ(E(moved, text), "{Drive4}|4|4");
  for (const COVKVars* v : {&copy, static_cast<const COVKVars*>(&moved)})
    for (uint32_t p : {0u, 1u, 8u}) ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(*v, text, p, 1));
}

TEST_F(ReferenceTest, ExactlyAtTheLimit) {
  COVKVars vars;
  vars.AddVar("A", "x", false, false, kRuntime, false);
  vars.AddVar("N", "{A}{A}", false, false, kRuntime, false);
  vars.AddVar("E", "", false, false, kRuntime, false);
  for (int count : {999, 1000, 1001, 1002}) {
    String a, e, n;
    for (int i = 0; i < count; ++i) a += "{A}", e += "-{E}";
    for (int i = 0; i < count / 3; ++i) n += "{N}";
    for (const String& text : {a, e, n, "{" + a + "}", a + "{Q"})
      ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(vars, text, 0, 1));
  }
}

}  // namespace
}  // namespace orvacmn
