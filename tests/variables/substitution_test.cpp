// Placeholder expansion: the engine against the step-by-step definition on
// generated and adversarial texts, the documented cases, the static helpers.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <random>
#include <vector>

#include "ofl/tools.h"
#include "orvacmn/variables/ovk_vars.h"
#include "variables/substitution_reference.h"

namespace orvacmn {
namespace {

using V = COVKVars;
constexpr int32_t kRuntime = CVariableType::Runtime;
constexpr int32_t kSystem = CVariableType::System;
constexpr uint32_t kEscape = V::SubstitutionEscapeXml, kRemoveEnv = V::SubstitutionRemoveUndefinedEnvironment,
                   kToEmpty = V::SubstitutionUnknownToEmpty;
const String kRecursion = "<Error: variables recursion>";

struct Var { const char *name, *value; int32_t type = kRuntime; bool password = false; };
COVKVars Make(std::initializer_list<Var> entries) {
  COVKVars vars;
  for (const Var& e : entries)
    vars.AddVar(e.name, e.value, false, false, static_cast<CVariableType::EVariableType>(e.type), e.password);
  return vars;
}

struct Result { String returned, text; bool expression = true; };  // the call must reset `expression`
Result Expand(const COVKVars& vars, String text, uint32_t policies = 0, int vb = 1) {
  Result r;
  r.returned = vars.PerformSubstitutions(text, r.expression, static_cast<V::ESubstitutionPolicies>(policies),
                                         static_cast<V::VBScriptExecutionPolicy>(vb));
  r.text = std::move(text);
  return r;
}

// Shows only where texts that may be many megabytes long part.
::testing::AssertionResult Same(const String& a, const String& b) {
  if (a == b) return ::testing::AssertionSuccess();
  const size_t at = static_cast<size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
  const size_t from = at - std::min<size_t>(at, 60);
  return ::testing::AssertionFailure() << a.size() << " and " << b.size() << " bytes, differing at " << at << ":\n["
                                       << a.substr(from, 200) << "]\n[" << b.substr(from, 200) << "]";
}

// Returned text, text left in place and expression flag, for each policy.
void ExpectSameAsReference(const COVKVars& vars, const String& text,
                           const std::vector<uint32_t>& policySets = {0, 1, 8}, const std::vector<int>& vbs = {0, 1}) {
  SCOPED_TRACE("text [" + text.substr(0, 300) + "] in\n" + vars.Pack());
  for (uint32_t policies : policySets)
    for (int vb : vbs) {
      SCOPED_TRACE("policies " + std::to_string(policies) + ", vb " + std::to_string(vb));
      const Result mine = Expand(vars, text, policies, vb);
      Result ref;
      ref.text = text;
      ref.returned = substitution_reference::PerformSubstitutions(vars, ref.text, ref.expression,
                                                                  static_cast<V::ESubstitutionPolicies>(policies),
                                                                  static_cast<V::VBScriptExecutionPolicy>(vb));
      ASSERT_TRUE(Same(mine.returned, ref.returned));
      ASSERT_TRUE(Same(mine.text, ref.text));
      ASSERT_EQ(mine.expression, ref.expression);
    }
}

TEST(SubstitutionTest, DocumentedCases) {
  setenv("ORVT_SET", "env-value", 1);
  unsetenv("ORVT_UNDEF");
  COVKVars s = Make({{"A", "x"}, {"Bx", "y"}, {"", "E"}, {"Outer", "[{Inner}]"}, {"Inner", "in"}, {"Drive3", "D:"},
                     {"Index", "3", kSystem}, {"=X", "looked up"}, {"%ORVT_FALLBACK%", "from set"},
                     {"%ORVT_SET%", "shadowed"}, {"Esc", "a<b>&\"c'\r"}});
  s.AddVar("DIP;KitsServer;Depot", "\\\\srv\\kits", false, true, CVariableType::Runtime, false);
  const COVKVars d = Make({{"A", "1"}, {"Pw", "secret", kSystem, true}, {"A", "2", kSystem}, {"B", "{A}"}}), none;
  struct Case { const COVKVars& vars; const char *text, *expected; uint32_t policies = 0; int vb = 1; } cases[] = {
      {s, "copy {DIP}\\setup.exe", "copy \\\\srv\\kits\\setup.exe"},
      {s, "{B{A}}|{Drive{Index}}", "y|D:"},
      {s, "{{unknown}A}", "{{unknown}A}"},  // a "}" that stays forgets the "{" before it
      {s, "{Outer}|a{}b", "[in]|aEb"},
      {none, "a{}b[{Nope}]", "a{}b[{Nope}]"},
      {none, "a{}b[{Nope}]", "ab[]", kToEmpty},
      {s, "[{%orvt_set%}][{%ORVT_UNDEF%}][{%%}]", "[env-value][%ORVT_UNDEF%][{%%}]"},
      {s, "[{%ORVT_UNDEF%}]", "[]", kToEmpty},
      {s, "[{%ORVT_UNDEF%}]", "[]", kRemoveEnv},
      {s, "{%ORVT_FALLBACK%}|{%ORVT_SET%}|%ORVT_SET%", "from set|env-value|%ORVT_SET%"},
      {d, "{$$Dump$$}", "A=1\nPw=****\nA=2\nB=1\n"},
      {d, "{$$dump$$:;}", "A=1:;Pw=****:;A=2:;B=1:;"},
      {d, "{$$Dump$$x:}", "A=1\nPw=****\nA=2\nB=1\n"},  // ":" not right after the prefix
      {none, "[{$$Dump$$}]", "[]"},
      {s, "run {=1+1} now", "run <Expression not supported> now"},
      {s, "run {=1+1} now {A}|{=x}", "run {=1+1} now x|looked up", 0, 0},
      {s, "{A} {=1}", "{A} {=1}", kToEmpty, 2},
      {s, "<v>{Esc}</v>", "<v>a&lt;b&gt;&amp;&quot;c&apos;&#xD;</v>", kEscape},
  };
  const String before = s.Pack();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Result r = Expand(c.vars, c.text, c.policies, c.vb);
    EXPECT_EQ(r.returned, c.expected);
    EXPECT_EQ(r.text, r.returned);
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(c.vars, c.text, {c.policies}, {c.vb}));
  }
  EXPECT_EQ(s.Pack(), before);
  String text = "{=y}{A}";  // the short form does not look expressions up
  EXPECT_EQ(s.PerformSubstitutions(text, V::SubstitutionDefault), "<Expression not supported>x");
  EXPECT_EQ(text, "<Expression not supported>x");

  String out = "untouched";
  EXPECT_EQ(d.ReplaceVariable("nope", out, V::SubstitutionDefault), 0);
  EXPECT_EQ(out, "untouched");
  String same = "a";
  EXPECT_EQ(d.ReplaceVariable(same, same, V::SubstitutionDefault), 1);
  EXPECT_EQ(same, "1");
}

// After more than 1000 replacements, or before the text outgrows 64 MiB, the
// expansion stops with the recursion text and the edits made so far.
TEST(SubstitutionTest, RecursionAndLengthLimits) {
  COVKVars v = Make({{"Self", "{Self}"}, {"Grow", "a{Grow}"}, {"A", "x"}, {"N", "{A}{A}"}, {"E", ""}, {"D", "dddd"}});
  Result r = Expand(v, "<{Self}>");
  EXPECT_EQ(r.returned, kRecursion);
  EXPECT_EQ(r.text, "<{Self}>");
  r = Expand(v, "{Grow}!");
  EXPECT_EQ(r.returned, kRecursion);
  EXPECT_EQ(r.text, String(1001, 'a') + "{Grow}!");
  for (int count : {999, 1000, 1001, 1002}) {
    String a, e, n;
    for (int i = 0; i < count; ++i) a += "{A}", e += "-{E}";
    for (int i = 0; i < count / 3; ++i) n += "{N}";
    for (const String& text : {a, e, n, "{" + a + "}", a + "{Q"})
      ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(v, text, {0}, {1}));
  }
  OFL::SetResourceLanguage(1031);
  EXPECT_EQ(Expand(v, "{Self}").returned, "<Fehler: Variablen-Rekursion>");
  OFL::SetResourceLanguage(1033);

  // Dumps whose separators hold dump placeholders double at every step.
  const COVKVars dumps = Make({{"V", "{$$Dump$$:"}, {"W", "x"}, {"X", "}"}});
  r = Expand(dumps, "{$$Dump$$:}");
  EXPECT_EQ(r.returned, kRecursion);
  EXPECT_TRUE(r.text.size() <= V::kMaxExpandedLength && r.text.size() > V::kMaxExpandedLength / 4);
  EXPECT_EQ(r.text.substr(0, 6), "V=V=V=");
  ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(dumps, "{$$Dump$$:}", {0}, {1}));
  // A text may grow to the limit but not beyond; a longer one may shrink.
  String big = "{D}" + String(V::kMaxExpandedLength - 4, 'a');
  EXPECT_TRUE(Same(Expand(v, big).returned, "dddd" + big.substr(3)));
  big += 'a';
  EXPECT_EQ(Expand(v, big).returned, kRecursion);
  ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(v, big, {0}, {1}));
  big.replace(0, 3, "{A}");
  EXPECT_TRUE(Same(Expand(v, big).returned, "x" + big.substr(3)));
}

TEST(PlaceholderSyntaxTest, PredicatesAndContainsVar) {
  const struct { bool (*is)(const String&); std::vector<const char*> yes, no; } predicates[] = {
      {V::IsVar, {"{}", "{a}b}"}, {"", "{", "}", " {a}"}},
      {V::IsEnvironmentVariable, {"%a%", "%a%b%"}, {"%%", "%a"}},
      {V::IsDumpVariable, {"$$dUMP$$", "$$Dump$$anything"}, {"$$Dump$", " $$Dump$$"}},
      {V::IsVBScriptExpressionVariable_deprecated, {"=1"}, {"", " =1"}},
  };
  for (const auto& p : predicates) {
    for (const char* text : p.yes) EXPECT_TRUE(p.is(text)) << text;
    for (const char* text : p.no) EXPECT_FALSE(p.is(text)) << text;
  }
  EXPECT_EQ(V::FormatVar("Client;Machine") + V::FormatVar(";Second") + V::FormatVar(""), "{Client}{Second}{}");
  // The innermost name around the first "}"; a "{" right before it is skipped.
  const std::pair<const char*, const char*> contains[] = {
      {"}{a}", nullptr},  {"{}", nullptr}, {"a{}{b}", nullptr},          {"abc", nullptr},
      {"ab}{c", nullptr}, {"{a}", "a"},    {"x{Out{In}er}{Next}", "In"}, {"{ab{}c}", "ab{"}};
  for (const auto& [text, expected] : contains) {
    String name = "keep";
    EXPECT_EQ(V::ContainsVar(text, name), expected != nullptr) << text;
    EXPECT_EQ(name, expected ? expected : "keep") << text;
  }
}

TEST(PlaceholderSyntaxTest, ReplaceFindAndFindAndGivePos) {
  const struct { const char *text, *names, *value; int count; const char* result; } replaces[] = {
      {"{Client} and $(client)", "Client;Machine", "PC", 2, "PC and PC"},
      {"a {Client} b $(client) c {MACHINE} d {Clientx}", "Client;Machine", "PC", 3, "a PC b PC c PC d {Clientx}"},
      {"{A}{A}", "A", "{A}", 2, "{A}{A}"},  // values are not scanned again
      {"$(A)", "A;B", "$(B)", 2, "$(B)"},   // but later aliases see earlier values
      {"x", "", "y", 0, "x"},
  };
  for (const auto& c : replaces) {
    String text = c.text;
    EXPECT_EQ(V::Replace(text, c.names, c.value), c.count) << c.text;
    EXPECT_EQ(text, c.result);
  }
  const String t = "0123{B}$(B)$(A){A}";
  const struct { String text; const char* names; int pos; } finds[] = {
      {t, "A;B", 11},  // $(A) of the first alias comes first
      {t, "B;A", 7},   // $(B) before {B}
      {t, "b", 7}, {"{C}", "a;c", 0}, {t, "C", -1}, {t, "", -1}, {"run $(dip)", "DIP;KitsServer", 4},
      {"run {kitsserver} DIP", "DIP;KitsServer", 4}, {"run DIP", "DIP;KitsServer", -1},
  };
  for (const auto& c : finds) {
    EXPECT_EQ(V::FindAndGivePos(c.text, c.names), c.pos) << c.text << " / " << c.names;
    EXPECT_EQ(V::Find(c.text, c.names), c.pos >= 0) << c.text << " / " << c.names;
  }
}

// --- The engine against the step-by-step definition -----------------------

// Texts of braces, plain, case-folded, long, empty, "=", environment (one
// whose value holds its own placeholder) and dump names, escapable
// characters; sets whose values are such texts.
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
                                         "$$Dump$$", "AB", "Self", "Grow", "z", "A;b", "x;Bx;", "{A}",
                                         "longer.name"};
    const int32_t kTypes[] = {kRuntime, kRuntime, kSystem, kSystem, 5};
    COVKVars vars;
    for (size_t n = Pick(9); n > 0; --n)
      vars.AddVar(kNames[Pick(std::size(kNames))], Text(3), Pick(2), Pick(2),
                  static_cast<CVariableType::EVariableType>(kTypes[Pick(5)]), Pick(4) == 0);
    return vars;
  }
};

class ReferenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ORVT_SET", "e{A}v", 1);
    setenv("ORVT_BRACE", "{%ORVT_BRACE%}", 1);
    unsetenv("ORVT_UNDEF");
  }
};

TEST_F(ReferenceTest, GeneratedTextsEveryPolicy) {
  Generator gen{std::mt19937(20240611)};
  const std::vector<uint32_t> policySets = {0, 1, 2, 8, 3, 9, 10, 11, 4, 15};
  const std::vector<int> vbPolicies = {0, 1, 2, -1};
  for (int round = 0; round < 2500; ++round) {
    const COVKVars vars = gen.Vars();
    for (int t = 0; t < 3; ++t) {
      const String text = gen.Text(24);
      const uint32_t p = policySets[gen.Pick(policySets.size())];
      ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(vars, text, {p}, {vbPolicies[gen.Pick(vbPolicies.size())]}));
    }
  }
  for (int round = 0; round < 250; ++round) {
    const COVKVars vars = gen.Vars();
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(vars, gen.Text(16), policySets, vbPolicies));
  }
}

TEST_F(ReferenceTest, DenseBracesAndRecursion) {
  Generator gen{std::mt19937(99)};
  const COVKVars recursive = Make({{"Self", "{Self}"}, {"Grow", "a{Grow}"}, {"A", "{B}"}, {"B", "}{A"},
                                   {"x", "", kSystem}, {"=E", "{=E}"}});
  for (const char* text : {"{Self}", "{Grow}", "{{Self}", "{A}", "x{=E}", "{B}", "{{x}{x}}{Self}"})
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(recursive, text));
  for (int round = 0; round < 400; ++round) ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(recursive, gen.Text(10)));
}

// Plain names are decided on a quick path: names around the eight bytes the
// index compares at once and the look-ahead of 128, other cases, texts
// ending right after the "}", adjacent, unclosed and computed placeholders.
TEST_F(ReferenceTest, PlainNamesAtTheEdges) {
  COVKVars vars = Make({{"Drive3", "D:"}, {"Index", "3", kSystem}});
  std::vector<String> texts = {"{DRIVE{index}}", "{Dri{Index}ve}", "{Drive{Index}{Index}}", "{Drive{Nope}}",
                               "{{Index}}", "{Drive{Index}", "a{Drive{Index}}b{Index}c"};
  for (size_t length : {1, 2, 3, 6, 7, 8, 9, 10, 15, 16, 17, 18, 126, 127, 128, 129, 130}) {
    String n;
    for (size_t i = 0; i < length; ++i) n += static_cast<char>((i % 2 ? 'a' : 'A') + (length + i) % 26);
    vars.AddVar(n, "v" + std::to_string(length), false, false, CVariableType::Runtime, false);
    for (const String& spelt : {n, OFL::ToLower(n), OFL::ToUpper(n)}) {
      const String open = "{" + spelt, half = spelt.substr(0, length / 2), rest = spelt.substr(length / 2);
      texts.insert(texts.end(), {open + "}", open + "}x", "ab" + open + "}" + open + "}0123456789ab", open,
                                 "}" + open + "x}", "{" + spelt.substr(1) + "}", "{" + half + "{Index}" + rest + "}"});
    }
  }
  for (const String& text : texts) ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(vars, text));
}

// The index keeps a view of each name's value; it follows every change.
TEST_F(ReferenceTest, ValuesChangedBetweenExpansions) {
  COVKVars vars = Make({{"Index", "3", kSystem}, {"Drive3", "D:"}});
  const String text = "{Drive{Index}}|{Index}|{index}", o40(40, 'o');
  const struct { const char* name; String value; int32_t type; String expected; } steps[] = {  // type -1: removal
      {"Index", "3", kSystem, "D:|3|3"},
      {"Index", "{Other}", kSystem, "{Drive{Other}}|{Other}|{Other}"},  // now holds braces
      {"Other", "3", kRuntime, "D:|3|3"},
      {"Other", o40, kRuntime, "{Drive" + o40 + "}|" + o40 + "|" + o40},  // no longer fits in place
      {"INDEX", "3", kSystem, "D:|3|3"},
      {"index", "x", kRuntime, "{Drivex}|x|x"},  // a runtime entry wins
      {"Index", "", -1, text},
      {"Index", "3", 5, text},  // found, no value
      {"Index", "3", kRuntime, "D:|3|3"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.expected);
    if (step.type < 0)
      vars.RemoveVar(step.name);
    else
      vars.AddVar(step.name, step.value, false, false, static_cast<CVariableType::EVariableType>(step.type), false);
    EXPECT_EQ(Expand(vars, text).returned, step.expected);
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(vars, text));
  }
  const COVKVars copy = vars;
  vars.AddVar("Index", "4", false, false, CVariableType::Runtime, false);
  const COVKVars moved = std::move(vars);
  EXPECT_EQ(Expand(copy, text).returned, "D:|3|3");
  EXPECT_EQ(Expand(moved, text).returned, "{Drive4}|4|4");
}

}  // namespace
}  // namespace orvacmn
