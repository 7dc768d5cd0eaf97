// The case-insensitive name index and its seeded hash.
#include "ofl/name_index.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "ofl/string.h"

namespace {

// Names that differ only in bit 5 of bytes that are not letters ("@" and
// "`", "[" and "{", "\" and "|", "]" and "}", "^" and "~"): distinct for the
// comparison, so they must not hash alike.
std::vector<OFL::String> BitFiveTwins(size_t count) {
  static const char kPairs[][2] = {{'@', '`'}, {'[', '{'}, {'\\', '|'}, {']', '}'}, {'^', '~'}};
  std::vector<OFL::String> names;
  for (size_t i = 0; i < count; ++i) {
    OFL::String name;
    for (size_t bit = 0; bit < 20; ++bit) name += kPairs[bit % 5][(i >> bit) & 1];
    names.push_back(name);
  }
  return names;
}

TEST(NoCaseIndex, NamesThatDifferOnlyInBitFiveOfNonLettersStayApart) {
  const std::vector<OFL::String> names = BitFiveTwins(4096);
  std::set<size_t> hashes;
  for (const OFL::String& n : names) hashes.insert(OFL::HashNameNoCase(n));
  EXPECT_EQ(hashes.size(), names.size());
  OFL::NoCaseIndexOf<const OFL::String> index;
  for (const OFL::String& n : names) EXPECT_EQ(index.Insert(n, &n), nullptr);
  EXPECT_EQ(index.Size(), names.size());
  for (const OFL::String& n : names) EXPECT_EQ(index.Find(n), &n);
}

TEST(NoCaseIndex, CaseOfLettersOnlyIsIgnored) {
  for (const char* name : {"Client:IP", "a\xC3\xA4Z", "x.y_z-0"}) {
    EXPECT_EQ(OFL::HashNameNoCase(name), OFL::HashNameNoCase(OFL::ToUpper(name)));
    EXPECT_EQ(OFL::HashNameNoCase(name), OFL::HashNameNoCase(OFL::ToLower(name)));
  }
  EXPECT_NE(OFL::HashNameNoCase("\xC3\xA4"), OFL::HashNameNoCase("\xC3\x84"));  // not ASCII: not folded
  OFL::String first = "Name", second = "NAME", other = "Other";
  OFL::NoCaseIndexOf<OFL::String> index;
  EXPECT_EQ(index.Find("name"), nullptr);
  EXPECT_EQ(index.Insert(first, &first), nullptr);
  EXPECT_EQ(index.Insert(second, &second), &first);  // the name is taken
  EXPECT_EQ(index.Insert(other, &other), nullptr);
  EXPECT_EQ(index.Find("nAmE"), &first);
  EXPECT_EQ(index.Erase("NAME"), &first);
  EXPECT_EQ(index.Erase("name"), nullptr);
  EXPECT_EQ(index.Size(), 1u);
  OFL::NoCaseIndexOf<OFL::String> moved = std::move(index);
  EXPECT_EQ(moved.Find("OTHER"), &other);
  EXPECT_EQ(index.Find("other"), nullptr);  // NOLINT(bugprone-use-after-move): empty, usable
  EXPECT_EQ(index.Insert(first, &first), nullptr);
  EXPECT_EQ(index.Size(), 1u);
  moved.Clear();
  EXPECT_EQ(moved.Find("other"), nullptr);
}

}  // namespace
