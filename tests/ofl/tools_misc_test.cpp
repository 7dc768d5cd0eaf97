// Number texts, checksums, GUIDs, profiles and the small platform services.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "ofl/profile.h"
#include "ofl/tools.h"

namespace {

namespace CRT = OFL::CRT;
using OFL::String;
using OFL::Profile::GetSection;
using OFL::Profile::GetSectionFromText;
using OFL::Profile::GetString;
using OFL::Profile::GetStringFromText;

// As the C runtime with a 32-bit long reads them: results saturate, a minus negates modulo 2^n for unsigned forms.
TEST(NumberText, ReadsLikeTheCRuntimeWith32BitLongAndWritesDecimal) {
  constexpr uint32_t kU32 = UINT32_MAX;
  constexpr int32_t kI32 = INT32_MAX, kN32 = INT32_MIN;
  constexpr uint64_t kU64 = UINT64_MAX;
  constexpr int64_t kI64 = INT64_MAX, kN64 = INT64_MIN;
  struct Case { const char* text; uint32_t ul; int32_t l; uint64_t ull; int64_t ll; } const cases[] = {
      {"", 0, 0, 0, 0}, {"0", 0, 0, 0, 0}, {"42", 42, 42, 42, 42}, {"  \t\r\n\v\f17", 17, 17, 17, 17},
      {"\b1", 0, 0, 0, 0}, {"\x0E" "1", 0, 0, 0, 0}, {"+5", 5, 5, 5, 5}, {"+", 0, 0, 0, 0}, {"--1", 0, 0, 0, 0},
      {"- 1", 0, 0, 0, 0}, {"12abc", 12, 12, 12, 12}, {"abc12", 0, 0, 0, 0}, {"/9:", 0, 0, 0, 0}, {"9:", 9, 9, 9, 9},
      {"1 2", 1, 1, 1, 1}, {"007", 7, 7, 7, 7}, {"0x10", 0, 0, 0, 0}, {" +9x", 9, 9, 9, 9}, {"-", 0, 0, 0, 0},
      {"  -42z", 4294967254u, -42, 0 - 42ull, -42}, {"-1", kU32, -1, kU64, -1},
      {"2147483646", 2147483646u, 2147483646, 2147483646u, 2147483646},
      {"2147483647", 2147483647u, kI32, 2147483647u, 2147483647},
      {"2147483648", 2147483648u, kI32, 2147483648u, 2147483648},
      {"-2147483647", 2147483649u, -2147483647, 0 - 2147483647ull, -2147483647},
      {"-2147483648", 2147483648u, kN32, 0 - 2147483648ull, -2147483648LL},
      {"-2147483649", 2147483647u, kN32, 0 - 2147483649ull, -2147483649LL},
      {"4294967294", 4294967294u, kI32, 4294967294u, 4294967294}, {"4294967295", kU32, kI32, 4294967295u, 4294967295},
      {"4294967296", kU32, kI32, 4294967296u, 4294967296}, {"-4294967295", 1, kN32, 0 - 4294967295ull, -4294967295LL},
      {"-4294967296", kU32, kN32, 0 - 4294967296ull, -4294967296LL},
      {"9223372036854775806", kU32, kI32, 9223372036854775806u, 9223372036854775806},
      {"9223372036854775807", kU32, kI32, kI64, kI64}, {"9223372036854775808", kU32, kI32, 9223372036854775808u, kI64},
      {"-9223372036854775808", kU32, kN32, 9223372036854775808u, kN64},
      {"-9223372036854775809", kU32, kN32, kI64, kN64}, {"18446744073709551614", kU32, kI32, kU64 - 1, kI64},
      {"18446744073709551615", kU32, kI32, kU64, kI64}, {"18446744073709551616", kU32, kI32, kU64, kI64},
      {"-18446744073709551615", kU32, kN32, 1, kN64}, {"-18446744073709551616", kU32, kN32, kU64, kN64},
      {"99999999999999999999999", kU32, kI32, kU64, kI64}, {"-99999999999999999999999", kU32, kN32, kU64, kN64},
      {"000000000000000000000000004294967295", kU32, kI32, kU32, kU32},
  };
  for (const Case& c : cases) {
    EXPECT_EQ((std::vector<uint64_t>{OFLTools::AToUL(c.text), CRT::strtoul(c.text), OFLTools::AToULL(c.text)}),
              (std::vector<uint64_t>{c.ul, c.ul, c.ull})) << c.text;
    EXPECT_EQ((std::vector<int64_t>{CRT::atol(c.text), CRT::atoi(c.text), OFLTools::AToLL(c.text),
                                    CRT::_atoi64(c.text)}),
              (std::vector<int64_t>{c.l, c.l, c.ll, c.ll})) << c.text;
  }
  EXPECT_EQ(OFLTools::AToUL(std::string_view("12345", 3)), 123u);  // stops at the view's end
  const char* none = nullptr;
  EXPECT_EQ((std::vector<double>{double(CRT::strtoul(String("7"))), double(CRT::atol(String("90"))),
                                 double(CRT::_atoi64(String("900"))), CRT::atof(String("2")),
                                 double(CRT::strtoul(none)), double(CRT::atoi(none)), CRT::atof(none)}),
            (std::vector<double>{7, 90, 900, 2, 0, 0, 0}));
  for (auto [text, want] : {std::pair<const char*, double>{"  1.5e3xyz", 1500.0}, {"-0.25", -0.25}, {"abc", 0.0}})
    EXPECT_DOUBLE_EQ(CRT::atof(text), want) << text;
  EXPECT_EQ(OFLTools::ULToA(0) + " " + OFLTools::ULToA(4294967295u) + " " + OFLTools::LLToA(INT64_MIN) + " " +
                OFLTools::ULLToA(UINT64_MAX),
            "0 4294967295 -9223372036854775808 18446744073709551615");
}

TEST(Crc32, KnownValues) {
  EXPECT_EQ(OFLTools::CalculateCRC32("123456789"), 0xCBF43926u);
  EXPECT_EQ(OFLTools::CalculateCRC32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
  EXPECT_EQ(OFLTools::CalculateCRC32(std::string(4, '\0')), 0x2144DF1Cu);
  EXPECT_EQ(OFLTools::CalculateCRC32("") | OFLTools::CalculateCRC32(nullptr, 0), 0u);
}

TEST(Guid, GeneratedGuidsAreUniqueVersion4AndCanonicalAndIsGuidAcceptsOnlyThatShape) {
  std::set<std::string> seen;
  for (int i = 0; i < 2000; ++i) {
    const std::string g = OFL::Tools::GenerateGuid();
    ASSERT_TRUE(OFL::Tools::IsGuid(g) && OFL::Tools::IsGuid("{" + g + "}")) << g;
    for (char c : g) ASSERT_TRUE(c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << g;
    ASSERT_TRUE(g[14] == '4' && std::string("89AB").find(g[19]) != std::string::npos) << g;
    ASSERT_TRUE(seen.insert(g).second) << "repeated " << g;
  }
  const std::string lower = "0f8fad5b-d9cb-469f-a165-70867728950e";
  EXPECT_TRUE(OFL::Tools::IsGuid(lower));
  for (const std::string& g : {std::string(), "{" + lower, lower + "}", "(" + lower + ")", lower + "0", " " + lower})
    EXPECT_FALSE(OFL::Tools::IsGuid(g)) << g;
  // Any other character in any place, a dash elsewhere than between the groups.
  for (size_t i = 0; i < lower.size(); ++i)
    for (const char c : std::string("-/:@`gG"))
      EXPECT_FALSE(OFL::Tools::IsGuid(lower.substr(0, i) + (lower[i] == '-' ? 'a' : c) + lower.substr(i + 1))) << i;
}

TEST(FileExists, FilesDirectoriesAndTheModulePath) {
  char file[] = "/tmp/ofl file exists XXXXXX";
  ASSERT_EQ(close(mkstemp(file)), 0);
  EXPECT_TRUE(OFL::Tools::FileExists(file) && OFL::Tools::FileExists("/tmp"));
  EXPECT_FALSE(OFL::Tools::FileExists("") || OFL::Tools::FileExists(file + std::string("\0/x", 3)));
  std::remove(file);
  EXPECT_FALSE(OFL::Tools::FileExists(file));
  const std::string path = OFLTools::GetModulePath();  // no trailing separator
  EXPECT_TRUE(path.size() > 1 && path[0] == '/' && path.back() != '/' && OFL::Tools::FileExists(path + "/ofl_tests"))
      << path;
}

TEST(ExpandEnvironment, NamesValuesAndLeftovers) {
  const std::pair<const char*, const char*> vars[] = {{"OFL_T_ALPHA", "alpha"}, {"OFL_T_Mixed", "mixed"},
      {"OFL_T_EXACT", "upper"}, {"ofl_t_exact", "lower"}, {"OFL_T_EMPTY", ""}, {"OFL_T_REF", "%OFL_T_ALPHA%"}};
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


// A double-NUL-terminated list of `lines`.
String List(const std::vector<String>& lines) {
  String out;
  for (const String& line : lines) out += line + '\0';
  return lines.empty() ? out : out + '\0';
}

const String kIni =
    "; install settings\n[Agent]\nServer = srv01 \n\tPort\t=\t8080\t\nPath=C:\\Program Files\\x=y\n"
    "Quoted=\"  padded  \"\nSingle='abc'\nHalf=\"abc\nInner=a\"b\"c\nEmpty=\n; Server=commented\nloose line\n"
    "server=second\n\n[ Spaced Name ]\nk=v\n[agent]\nExtra=from repeated section\nServer=from repeated section\n";
const String kCrLf = "\xEF\xBB\xBF[S]\r\nA=1\r\nB = 2 \r\n[T]\r\nC=3", kNul("[s]\nk=ab\0cd\nm\0=x\n", 17);

// Keys and values trimmed, further "=" kept, case ignored, the first key and section win; only matching quotes
// around a whole value removed; comments and loose lines are no keys; a BOM counts only at the very start, any line
// end ends a line, and so does a NUL its content.
TEST(ProfileText, GetString) {
  struct Case { String text; const char* section; const char* key; const char* want; } const cases[] = {
      {kIni, "Agent", "Server", "srv01"}, {kIni, "Agent", "Port", "8080"}, {kIni, "Agent", "Empty", ""},
      {kIni, "Agent", "Path", "C:\\Program Files\\x=y"}, {kIni, "AGENT", "SERVER", "srv01"},
      {kIni, "spaced NAME", "K", "v"}, {kIni, "Agent", "Extra", "fb"},
      {kIni, "Agent", "Quoted", "  padded  "}, {kIni, "Agent", "Single", "abc"}, {kIni, "Agent", "Half", "\"abc"},
      {kIni, "Agent", "Inner", "a\"b\"c"}, {"[s]\nq=\"\"\n", "s", "q", ""}, {"[s]\nm=\"'\n", "s", "m", "\"'"},
      {"[s]\nq=\"\n", "s", "q", "\""},
      {kIni, "Agent", "; Server", "fb"}, {kIni, "Agent", "loose line", "fb"}, {kIni, "Nope", "Server", "fb"},
      {kIni, "Agent", "Nope", "fb"}, {kIni, "Agent", "k", "fb"}, {"[s]\n  ;k=v\n", "s", ";k", "fb"},
      {"", "s", "k", "fb"}, {"k=v\n[s]\n", "s", "k", "fb"},
      {kCrLf, "s", "b", "2"}, {kCrLf, "t", "c", "3"}, {"[S]\n\xEF\xBB\xBFk=v\n", "S", "k", "fb"},
      {"[S]\rk=v\rm=w", "S", "m", "w"},
      {"  [ S ]  trailing\nk=v\n", "S", "k", "v"}, {"[Open\nk=v\n", "Open", "k", "v"}, {"[]\nk=v\n", "", "k", "v"},
      {"[\nk=v\n", "", "k", "v"},
      {kNul, "s", "k", "ab"}, {kNul, "s", "m", "fb"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetStringFromText(c.text, c.section, c.key, "fb"), c.want) << c.text;
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "Nope"), "");
}

TEST(ProfileText, GetSectionListsLinesAsWrittenWithoutComments) {
  EXPECT_EQ(GetSectionFromText(kIni, "agent"),
            List({"Server=srv01", "Port=8080", "Path=C:\\Program Files\\x=y", "Quoted=\"  padded  \"",
                  "Single='abc'", "Half=\"abc", "Inner=a\"b\"c", "Empty=", "loose line", "server=second"}));
  EXPECT_EQ(GetSectionFromText(kIni, "Spaced Name"), List({"k=v"}));
  EXPECT_EQ(GetSectionFromText(kIni, "Nope"), "");
  EXPECT_EQ(GetSectionFromText("[empty]\n; only a comment\n\n[next]\nk=v\n", "empty"), "");
  EXPECT_EQ(GetSectionFromText(kCrLf, "S"), List({"A=1", "B=2"}));
  EXPECT_EQ(GetSectionFromText(kNul, "s"), List({"k=ab", "m"}));
  EXPECT_EQ(GetSectionFromText("[[[[\n]]]]\n=\n==\n", "[[["), List({"]]]]", "=", "=="}));
}

TEST(ProfileText, TextsAreCutToBufferSizeMinusOne) {
  for (auto [size, want] : {std::pair<size_t, const char*>{7, "abcdef"}, {4, "abc"}, {1, ""}, {0, ""}})
    EXPECT_EQ(GetStringFromText("[s]\nk=abcdef\n", "s", "k", "", size), want) << size;
  EXPECT_EQ(GetStringFromText("[s]\n", "s", "missing", "fallback", 5), "fall");
  // A section list keeps the lines that fit whole and cuts the next one, leaving room for both NULs.
  const String text = "[s]\nab=1\ncd=2\nef=3\n";
  for (auto [size, want] : {std::pair<size_t, String>{100, List({"ab=1", "cd=2", "ef=3"})},
                            {16, List({"ab=1", "cd=2", "ef=3"})}, {15, List({"ab=1", "cd=2", "ef="})},
                            {13, List({"ab=1", "cd=2", "e"})}, {12, List({"ab=1", "cd=2"})}, {3, List({"a"})},
                            {2, ""}, {0, ""}})
    EXPECT_EQ(GetSectionFromText(text, "s", size), want) << size;
  for (size_t size = 0; size < 20; ++size) EXPECT_LE(GetSectionFromText(text, "s", size).size(), size);
  // The default buffers hold 64 KiB.
  const String huge = "[s]\nk=" + String(1 << 20, 'x') + "\n";
  EXPECT_EQ(GetStringFromText(huge, "s", "k").size(), 65535u);
  EXPECT_EQ(GetStringFromText(huge, "s", "k", "", 1 << 21).size(), size_t(1) << 20);
  EXPECT_EQ(GetSectionFromText(huge, "s"), List({"k=" + String(65532, 'x')}));
}

TEST(ProfileFile, ReadsFilesAndFallsBackWhenUnreadable) {
  char path[] = "/tmp/ofl_profile_XXXXXX";
  ASSERT_EQ(close(mkstemp(path)), 0);
  // Larger than one read of the file.
  std::ofstream(path, std::ios::binary) << kIni << "[big]\n" << String(40000, 'x') << "=1\n[end]\nk=v\n";
  EXPECT_EQ(GetString(path, "AGENT", "port"), "8080");
  EXPECT_EQ(GetString(path, "Agent", "Server", "", 3), "sr");
  EXPECT_EQ(GetSection(path, "Spaced Name", 4), String("k=\0\0", 4));
  EXPECT_EQ(GetString(path, "end", "k"), "v");
  std::ofstream(path, std::ios::binary).flush();
  for (const String& unreadable : {String(path), String(path) + ".missing", String("/tmp")}) {
    EXPECT_EQ(GetString(unreadable, "s", "k", "fallback", 4), "fal") << unreadable;
    EXPECT_EQ(GetSection(unreadable, "s"), "") << unreadable;
  }
  std::remove(path);
}

}  // namespace
