#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "ofl/tools.h"

namespace {

TEST(Crc32, KnownValues) {
  EXPECT_EQ(OFLTools::CalculateCRC32("123456789"), 0xCBF43926u);
  EXPECT_EQ(OFLTools::CalculateCRC32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
  EXPECT_EQ(OFLTools::CalculateCRC32(std::string(4, '\0')), 0x2144DF1Cu);
  EXPECT_EQ(OFLTools::CalculateCRC32(""), 0u);
  EXPECT_EQ(OFLTools::CalculateCRC32(nullptr, 0), 0u);
}

TEST(Guid, GeneratedGuidsAreUniqueVersion4AndCanonical) {
  std::set<std::string> seen;
  for (int i = 0; i < 2000; ++i) {
    const std::string g = OFL::Tools::GenerateGuid();
    ASSERT_EQ(g.size(), 36u) << g;
    ASSERT_TRUE(OFL::Tools::IsGuid(g)) << g;
    for (char c : g) ASSERT_TRUE(c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << g;
    ASSERT_EQ(g[14], '4') << g;
    ASSERT_NE(std::string("89AB").find(g[19]), std::string::npos) << g;
    ASSERT_TRUE(seen.insert(g).second) << "repeated " << g;
  }
}

TEST(Guid, IsGuidAcceptsOnlyTheCanonicalShape) {
  for (const char* g : {"0F8FAD5B-D9CB-469F-A165-70867728950E", "0f8fad5b-d9cb-469f-a165-70867728950e",
                        "{0F8FAD5B-D9CB-469F-A165-70867728950E}"})
    EXPECT_TRUE(OFL::Tools::IsGuid(g)) << g;
  for (const char* g : {"", "{0F8FAD5B-D9CB-469F-A165-70867728950E", "0F8FAD5B-D9CB-469F-A165-70867728950E}",
                        "(0F8FAD5B-D9CB-469F-A165-70867728950E)", "0F8FAD5BD9CB469FA16570867728950E",
                        "0F8FAD5B-D9CB-469F-A165-70867728950G", "0F8FAD5B-D9CB-469FA-165-70867728950E",
                        "0F8FAD5B-D9CB-469F-A165-70867728950E0", " 0F8FAD5B-D9CB-469F-A165-70867728950E", "1.0.0"})
    EXPECT_FALSE(OFL::Tools::IsGuid(g)) << g;
}

TEST(FileExists, FilesDirectoriesAndTheModulePath) {
  char dir[] = "/tmp/ofl_fileexists_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string file = std::string(dir) + "/a file.txt";
  EXPECT_FALSE(OFL::Tools::FileExists(file));
  std::ofstream(file) << "x";
  EXPECT_TRUE(OFL::Tools::FileExists(file));
  EXPECT_TRUE(OFL::Tools::FileExists(dir));
  EXPECT_FALSE(OFL::Tools::FileExists(""));
  EXPECT_FALSE(OFL::Tools::FileExists(std::string(dir) + std::string("\0/x", 3)));
  std::remove(file.c_str());
  rmdir(dir);
  EXPECT_FALSE(OFL::Tools::FileExists(dir));
  const std::string path = OFLTools::GetModulePath();  // no trailing separator
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_NE(path.back(), '/');
  EXPECT_TRUE(OFL::Tools::FileExists(path + "/ofl_tests"));
}

TEST(ExpandEnvironment, NamesValuesAndLeftovers) {
  const std::pair<const char*, const char*> vars[] = {{"OFL_T_ALPHA", "alpha"}, {"OFL_T_Mixed", "mixed"},
                                                      {"OFL_T_EXACT", "upper"}, {"ofl_t_exact", "lower"},
                                                      {"OFL_T_EMPTY", ""},      {"OFL_T_REF", "%OFL_T_ALPHA%"}};
  for (auto [name, value] : vars) setenv(name, value, 1);
  unsetenv("OFL_T_UNDEF");
  struct Case { std::string text; bool removeUndefined; std::string want; } const cases[] = {
      {"%OFL_T_ALPHA%", false, "alpha"}, {"a%OFL_T_ALPHA%b%OFL_T_ALPHA%c", false, "aalphabalphac"},
      {"%ofl_t_mixed%", false, "mixed"},  // case-insensitive fallback
      {"%ofl_t_exact%|%OFL_T_EXACT%", false, "lower|upper"},  // an exact match first
      {"[%OFL_T_EMPTY%]", false, "[]"}, {"%OFL_T_REF%", false, "%OFL_T_ALPHA%"},  // values are not expanded again
      {"%OFL_T_UNDEF%", false, "%OFL_T_UNDEF%"}, {"%OFL_T_UNDEF%", true, ""},
      {"x%OFL_T_UNDEF%y%OFL_T_ALPHA%", true, "xyalpha"},
      {"%OFL_T_UNDEF%OFL_T_ALPHA%", false, "%OFL_T_UNDEFalpha"},  // an undefined name's "%" may open the next one
      {"50% of %OFL_T_ALPHA%", false, "50% of alpha"}, {"100%", false, "100%"}, {"%OFL_T_ALPHA", true, "%OFL_T_ALPHA"},
      {"%%", true, "%%"}, {"%%OFL_T_ALPHA%%", false, "%alpha%"}, {"%A=B%", true, ""},
      {"no percent", true, "no percent"},
      {std::string("%OFL_T_ALPHA\0%", 14), false, std::string("%OFL_T_ALPHA\0%", 14)},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(OFLTools::ExpandEnvironmentStringsA(text, c.removeUndefined), c.want != c.text) << c.text;
    EXPECT_EQ(text, c.want) << c.text;
  }
  for (auto [name, value] : vars) unsetenv(name);
}

}  // namespace
