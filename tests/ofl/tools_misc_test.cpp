#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "ofl/tools.h"

namespace {

TEST(Crc32, KnownValues) {
  EXPECT_EQ(OFLTools::CalculateCRC32("123456789"), 0xCBF43926u);
  EXPECT_EQ(OFLTools::CalculateCRC32(""), 0u);
  EXPECT_EQ(OFLTools::CalculateCRC32(nullptr, 0), 0u);
  EXPECT_EQ(OFLTools::CalculateCRC32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
  const std::string zeros(std::string(4, '\0'));
  EXPECT_EQ(OFLTools::CalculateCRC32(zeros.data(), zeros.size()), 0x2144DF1Cu);
  EXPECT_NE(OFLTools::CalculateCRC32("123456789"), OFLTools::CalculateCRC32("123456788"));
}

TEST(Guid, FormatVersionAndUniqueness) {
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
  EXPECT_TRUE(OFL::Tools::IsGuid("0F8FAD5B-D9CB-469F-A165-70867728950E"));
  EXPECT_TRUE(OFL::Tools::IsGuid("0f8fad5b-d9cb-469f-a165-70867728950e"));
  EXPECT_TRUE(OFL::Tools::IsGuid("{0F8FAD5B-D9CB-469F-A165-70867728950E}"));
  EXPECT_FALSE(OFL::Tools::IsGuid(""));
  EXPECT_FALSE(OFL::Tools::IsGuid("{0F8FAD5B-D9CB-469F-A165-70867728950E"));
  EXPECT_FALSE(OFL::Tools::IsGuid("0F8FAD5B-D9CB-469F-A165-70867728950E}"));
  EXPECT_FALSE(OFL::Tools::IsGuid("(0F8FAD5B-D9CB-469F-A165-70867728950E)"));
  EXPECT_FALSE(OFL::Tools::IsGuid("0F8FAD5BD9CB469FA16570867728950E"));
  EXPECT_FALSE(OFL::Tools::IsGuid("0F8FAD5B-D9CB-469F-A165-70867728950G"));
  EXPECT_FALSE(OFL::Tools::IsGuid("0F8FAD5B-D9CB-469FA-165-70867728950E"));
  EXPECT_FALSE(OFL::Tools::IsGuid("0F8FAD5B-D9CB-469F-A165-70867728950E0"));
  EXPECT_FALSE(OFL::Tools::IsGuid(" 0F8FAD5B-D9CB-469F-A165-70867728950E"));
  EXPECT_FALSE(OFL::Tools::IsGuid("1.0.0"));
}

TEST(FileExists, FilesAndDirectories) {
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
}

TEST(ModulePath, DirectoryOfTheRunningProgram) {
  const std::string path = OFLTools::GetModulePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_NE(path.back(), '/');
  EXPECT_TRUE(OFL::Tools::FileExists(path));
  EXPECT_TRUE(OFL::Tools::FileExists(path + "/ofl_tests"));
}

class ExpandEnvironment : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("OFL_T_ALPHA", "alpha", 1);
    setenv("OFL_T_Mixed", "mixed", 1);
    setenv("OFL_T_EXACT", "upper", 1);
    setenv("ofl_t_exact", "lower", 1);
    setenv("OFL_T_EMPTY", "", 1);
    setenv("OFL_T_REF", "%OFL_T_ALPHA%", 1);
    unsetenv("OFL_T_UNDEF");
  }
  void TearDown() override {
    for (const char* n : {"OFL_T_ALPHA", "OFL_T_Mixed", "OFL_T_EXACT", "ofl_t_exact", "OFL_T_EMPTY", "OFL_T_REF"})
      unsetenv(n);
  }
  static std::string Expand(std::string text, bool removeUndefined = false, bool* changed = nullptr) {
    const bool c = OFLTools::ExpandEnvironmentStringsA(text, removeUndefined);
    if (changed) *changed = c;
    return text;
  }
};

TEST_F(ExpandEnvironment, DefinedNames) {
  bool changed = false;
  EXPECT_EQ(Expand("%OFL_T_ALPHA%", false, &changed), "alpha");
  EXPECT_TRUE(changed);
  EXPECT_EQ(Expand("a%OFL_T_ALPHA%b%OFL_T_ALPHA%c"), "aalphabalphac");
  EXPECT_EQ(Expand("%ofl_t_mixed%"), "mixed");  // case-insensitive fallback
  EXPECT_EQ(Expand("%ofl_t_exact%|%OFL_T_EXACT%"), "lower|upper");  // exact match first
  EXPECT_EQ(Expand("[%OFL_T_EMPTY%]", false, &changed), "[]");
  EXPECT_TRUE(changed);
  EXPECT_EQ(Expand("%OFL_T_REF%"), "%OFL_T_ALPHA%");  // values are not expanded again
}

TEST_F(ExpandEnvironment, UndefinedAndUnterminated) {
  bool changed = true;
  EXPECT_EQ(Expand("%OFL_T_UNDEF%", false, &changed), "%OFL_T_UNDEF%");
  EXPECT_FALSE(changed);
  EXPECT_EQ(Expand("%OFL_T_UNDEF%", true, &changed), "");
  EXPECT_TRUE(changed);
  EXPECT_EQ(Expand("x%OFL_T_UNDEF%y%OFL_T_ALPHA%", true), "xyalpha");
  // The closing "%" of an undefined name may open the next reference.
  EXPECT_EQ(Expand("%OFL_T_UNDEF%OFL_T_ALPHA%"), "%OFL_T_UNDEFalpha");
  EXPECT_EQ(Expand("50% of %OFL_T_ALPHA%"), "50% of alpha");
  EXPECT_EQ(Expand("100%", false, &changed), "100%");
  EXPECT_FALSE(changed);
  EXPECT_EQ(Expand("%OFL_T_ALPHA", true), "%OFL_T_ALPHA");
  EXPECT_EQ(Expand("%%", true), "%%");
  EXPECT_EQ(Expand("%%OFL_T_ALPHA%%"), "%alpha%");
  EXPECT_EQ(Expand("%A=B%", true), "");
  EXPECT_EQ(Expand("no percent", true, &changed), "no percent");
  EXPECT_FALSE(changed);
  EXPECT_EQ(Expand(std::string("%OFL_T_ALPHA\0%", 14)), std::string("%OFL_T_ALPHA\0%", 14));
}

}  // namespace
