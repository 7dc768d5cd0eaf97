// Wildcard matching: stars, question marks, case, whole-text rule, many stars in linear-ish time.
#include <gtest/gtest.h>

#include <string>

#include "ofl/tools.h"

namespace {

using OFL::Tools::MatchPattern;

TEST(MatchPattern, Table) {
  const struct {
    const char* text;
    const char* pattern;
    bool match;
  } cases[] = {
      {"", "", true},          {"", "*", true},           {"", "**", true},          {"", "?", false},
      {"a", "", false},        {"1.5", "1.5", true},      {"1.5", "1.*", true},      {"1.", "1.*", true},
      {"1.5/x64", "1.*", true}, {"1.5/x64", "1.?", false}, {"1.5", "1.?", true},     {"1.55", "1.?", false},
      {"ABC", "abc", true},    {"abc", "a?C", true},      {"abc", "ab", false},      {"ab", "abc", false},
      {"abcbd", "*b?", true},  {"abcbd", "*bd", true},    {"abcbe", "*bd", false},   {"axbxc", "a*b*c", true},
      {"aXbYc", "a*x*c", true}, {"aYbYc", "a*x*c", false},
      {"mississippi", "m*iss*ppi", true}, {"mississippi", "m*iss*ppx", false},
      {"x*y", "x*y", true},    {"xay", "x*y", true},      {"x", "*x*", true},        {"1.5/x86", "*/x64", false},
      // "?" takes one whole UTF-8 character; other bytes still compare exactly.
      {"\xC3\xA9", "?", true}, {"\xC3\xA9", "??", false}, {"\xC3\xA9", "\xC3\x89", false},
      {"\xC3", "?", true},     {"\xE2\x82", "??", true},  {"a\xF0\x9F\x98\x80" "b", "a?b", true},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchPattern(c.text, c.pattern), c.match) << c.text << " ~ " << c.pattern;
}

TEST(MatchPattern, ManyStarsStayFast) {
  // Backtracking to every star would take exponential time here.
  const std::string text(20000, 'a');
  std::string pattern;
  for (int i = 0; i < 200; ++i) pattern += "*a";
  EXPECT_FALSE(MatchPattern(text, pattern + "b"));
  EXPECT_TRUE(MatchPattern(text, pattern + "*"));
}

}  // namespace
