// The case-insensitive name index and its seeded hash.
#include "ofl/name_index.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "ofl/string.h"

namespace {

using OFL::String;

// Names that differ only in bit 5 of bytes that are not letters ("@" and "`", "[" and "{" ...) are distinct for the
// comparison, so they must not hash alike: long ones, hashed eight bytes at a time, and every short length.
TEST(NoCaseIndex, NamesThatDifferOnlyInBitFiveOfNonLettersStayApart) {
  static const char kPairs[][2] = {{'@', '`'}, {'[', '{'}, {'\\', '|'}, {']', '}'}, {'^', '~'}};
  std::vector<String> names;
  for (size_t i = 0; i < 4096; ++i) {
    String name;
    for (size_t bit = 0; bit < 20; ++bit) name += kPairs[bit % 5][(i >> bit) & 1];
    names.push_back(name);
  }
  for (size_t length = 1; length < 8; ++length)
    for (size_t i = 0; i < (size_t{1} << length); ++i) names.push_back(names[i].substr(0, length));
  std::set<size_t> hashes;
  for (const String& n : names) hashes.insert(OFL::HashNameNoCase(n));
  EXPECT_EQ(hashes.size(), names.size());
  OFL::NoCaseIndexOf<const String> index;
  for (const String& n : names) EXPECT_EQ(index.Insert(n, &n), nullptr);
  EXPECT_EQ(index.Size(), names.size());
  for (const String& n : names) EXPECT_EQ(index.Find(n), &n);
}

TEST(NoCaseIndex, CaseOfLettersOnlyIsIgnored) {
  for (const char* name : {"Client:IP", "a\xC3\xA4Z", "x.y_z-0", "@AZ[`az{", "A", "zZ"}) {
    EXPECT_EQ(OFL::HashNameNoCase(name), OFL::HashNameNoCase(OFL::ToUpper(name))) << name;
    EXPECT_EQ(OFL::HashNameNoCase(name), OFL::HashNameNoCase(OFL::ToLower(name))) << name;
  }
  EXPECT_NE(OFL::HashNameNoCase("\xC3\xA4"), OFL::HashNameNoCase("\xC3\x84"));  // not ASCII: not folded
  String first = "Name", second = "NAME", other = "Other";
  OFL::NoCaseIndexOf<String> index;
  // In order: a name is found whatever its case, and taken once.
  const std::vector<String*> got{index.Find("name"), index.Insert(first, &first), index.Insert(second, &second),
                                 index.Insert(other, &other), index.Find("nAmE"), index.Erase("NAME"),
                                 index.Erase("name")};
  EXPECT_EQ(got, (std::vector<String*>{nullptr, nullptr, &first, nullptr, &first, &first, nullptr}));
  EXPECT_EQ(index.Size(), 1u);
  OFL::NoCaseIndexOf<String> moved = std::move(index);
  // NOLINTNEXTLINE(bugprone-use-after-move): the moved-from index is empty and usable.
  const std::vector<String*> after{moved.Find("OTHER"), index.Find("other"), index.Insert(first, &first)};
  EXPECT_EQ(after, (std::vector<String*>{&other, nullptr, nullptr}));
  EXPECT_EQ(index.Size(), 1u);
  moved.Clear();
  EXPECT_EQ(moved.Find("other"), nullptr);
}

}  // namespace
