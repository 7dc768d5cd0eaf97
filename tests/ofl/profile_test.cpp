#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ofl/profile.h"

namespace {

using OFL::String;
using OFL::Profile::GetSection;
using OFL::Profile::GetSectionFromText;
using OFL::Profile::GetString;
using OFL::Profile::GetStringFromText;

// Splits a double-NUL-terminated list; fails the test when it is not one.
std::vector<std::string> Lines(const String& list) {
  std::vector<std::string> out;
  if (list.empty()) return out;
  EXPECT_GE(list.size(), 2u);
  EXPECT_EQ(list.back(), '\0');
  EXPECT_EQ(list[list.size() - 2], '\0');
  size_t pos = 0;
  while (pos + 1 < list.size()) {
    const size_t nul = list.find('\0', pos);
    out.push_back(list.substr(pos, nul - pos));
    EXPECT_FALSE(out.back().empty()) << "empty line in the list";
    pos = nul + 1;
  }
  return out;
}

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (std::filesystem::temp_directory_path() / "ofl_profile_XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    dir_ = templ;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  String Write(const std::string& name, const std::string& content) {
    const std::filesystem::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << content;
    return p.string();
  }
  std::filesystem::path dir_;
};

const String kIni =
    "; install settings\n"
    "[Agent]\n"
    "Server = srv01 \n"
    "\tPort\t=\t8080\t\n"
    "Path=C:\\Program Files\\x=y\n"
    "Quoted=\"  padded  \"\n"
    "Single='abc'\n"
    "Half=\"abc\n"
    "Inner=a\"b\"c\n"
    "Empty=\n"
    "; Server=commented\n"
    "loose line\n"
    "server=second\n"
    "\n"
    "[ Spaced Name ]\n"
    "k=v\n"
    "[agent]\n"
    "Extra=from repeated section\n"
    "Server=from repeated section\n";

TEST(ProfileText, KeysAndValuesAreTrimmed) {
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "Server"), "srv01");
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "Port"), "8080");
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "Empty", "fb"), "");
}

TEST(ProfileText, ValueKeepsFurtherEqualSigns) {
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "Path"), "C:\\Program Files\\x=y");
}

TEST(ProfileText, SectionsAndKeysIgnoreCase) {
  EXPECT_EQ(GetStringFromText(kIni, "AGENT", "SERVER"), "srv01");
  EXPECT_EQ(GetStringFromText(kIni, "agent", "port"), "8080");
  EXPECT_EQ(GetStringFromText(kIni, "spaced NAME", "K"), "v");
}

TEST(ProfileText, SurroundingQuotesAreRemoved) {
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "Quoted"), "  padded  ");
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "Single"), "abc");
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "Half"), "\"abc");
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "Inner"), "a\"b\"c");
  EXPECT_EQ(GetStringFromText("[s]\nq=\"\"\nm=\"'\n", "s", "q", "fb"), "");
  EXPECT_EQ(GetStringFromText("[s]\nq=\"\"\nm=\"'\n", "s", "m"), "\"'");
  EXPECT_EQ(GetStringFromText("[s]\nq=\"\n", "s", "q"), "\"");
}

TEST(ProfileText, FirstOccurrenceWins) {
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "server"), "srv01");
  // Only the first of repeated sections is read.
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "Extra", "none"), "none");
}

TEST(ProfileText, CommentsAndLooseLinesAreNotKeys) {
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "; Server", "none"), "none");
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "loose line", "none"), "none");
  EXPECT_EQ(GetStringFromText("[s]\n  ;k=v\n", "s", ";k", "none"), "none");
}

TEST(ProfileText, FallbackForMissingSectionOrKey) {
  EXPECT_EQ(GetStringFromText(kIni, "Nope", "Server", "fb"), "fb");
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "Nope", "fb"), "fb");
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "k", "fb"), "fb");  // in another section
  EXPECT_EQ(GetStringFromText("", "s", "k", "fb"), "fb");
  EXPECT_EQ(GetStringFromText("k=v\n[s]\n", "s", "k", "fb"), "fb");  // before any section
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "Nope"), "");
}

TEST(ProfileText, SectionListsLinesAsWrittenWithoutComments) {
  EXPECT_EQ(Lines(GetSectionFromText(kIni, "agent")),
            (std::vector<std::string>{"Server=srv01", "Port=8080", "Path=C:\\Program Files\\x=y",
                                      "Quoted=\"  padded  \"", "Single='abc'", "Half=\"abc", "Inner=a\"b\"c",
                                      "Empty=", "loose line", "server=second"}));
  EXPECT_EQ(GetSectionFromText(kIni, "Spaced Name"), String("k=v\0\0", 5));
  EXPECT_EQ(GetSectionFromText(kIni, "Nope"), "");
  EXPECT_EQ(GetSectionFromText("[empty]\n; only a comment\n\n[next]\nk=v\n", "empty"), "");
}

TEST(ProfileText, LineEndsBomAndMissingFinalNewline) {
  const String crlf = "\xEF\xBB\xBF[S]\r\nA=1\r\nB = 2 \r\n[T]\r\nC=3";
  EXPECT_EQ(GetStringFromText(crlf, "s", "a"), "1");
  EXPECT_EQ(GetStringFromText(crlf, "s", "b"), "2");
  EXPECT_EQ(GetStringFromText(crlf, "t", "c"), "3");
  EXPECT_EQ(Lines(GetSectionFromText(crlf, "S")), (std::vector<std::string>{"A=1", "B=2"}));
  // A BOM only counts at the very start.
  EXPECT_EQ(GetStringFromText("[S]\n\xEF\xBB\xBFk=v\n", "S", "k", "fb"), "fb");
  EXPECT_EQ(GetStringFromText("[S]\rk=v\rm=w", "S", "m"), "w");
}

TEST(ProfileText, SectionHeaderForms) {
  EXPECT_EQ(GetStringFromText("  [ S ]  trailing\nk=v\n", "S", "k"), "v");
  EXPECT_EQ(GetStringFromText("[Open\nk=v\n", "Open", "k"), "v");
  EXPECT_EQ(GetStringFromText("[]\nk=v\n", "", "k"), "v");
  EXPECT_EQ(GetStringFromText("[\nk=v\n", "", "k"), "v");
}

TEST(ProfileText, GetStringCutsToBufferSizeMinusOne) {
  const String text = "[s]\nk=abcdef\n";
  EXPECT_EQ(GetStringFromText(text, "s", "k", "", 7), "abcdef");
  EXPECT_EQ(GetStringFromText(text, "s", "k", "", 4), "abc");
  EXPECT_EQ(GetStringFromText(text, "s", "k", "", 1), "");
  EXPECT_EQ(GetStringFromText(text, "s", "k", "", 0), "");
  EXPECT_EQ(GetStringFromText(text, "s", "missing", "fallback", 5), "fall");
}

TEST(ProfileText, GetSectionFitsTheBuffer) {
  const String text = "[s]\nab=1\ncd=2\nef=3\n";
  const String full("ab=1\0cd=2\0ef=3\0\0", 16);
  EXPECT_EQ(GetSectionFromText(text, "s", 16), full);
  EXPECT_EQ(GetSectionFromText(text, "s", 100), full);
  // One byte short: the last line is cut.
  EXPECT_EQ(GetSectionFromText(text, "s", 15), String("ab=1\0cd=2\0ef=\0\0", 15));
  EXPECT_EQ(GetSectionFromText(text, "s", 12), String("ab=1\0cd=2\0\0", 11));
  EXPECT_EQ(GetSectionFromText(text, "s", 13), String("ab=1\0cd=2\0e\0\0", 13));
  EXPECT_EQ(GetSectionFromText(text, "s", 3), String("a\0\0", 3));
  EXPECT_EQ(GetSectionFromText(text, "s", 2), "");
  EXPECT_EQ(GetSectionFromText(text, "s", 0), "");
  for (size_t size = 0; size < 20; ++size) EXPECT_LE(GetSectionFromText(text, "s", size).size(), size);
}

TEST(ProfileText, HostileInputNeverBreaks) {
  const String nul("[s]\nk=ab\0cd\nm\0=x\n", 17);
  EXPECT_EQ(GetStringFromText(nul, "s", "k"), "ab");
  EXPECT_EQ(GetStringFromText(nul, "s", "m", "fb"), "fb");
  EXPECT_EQ(Lines(GetSectionFromText(nul, "s")), (std::vector<std::string>{"k=ab", "m"}));

  const String huge = "[s]\nk=" + String(1 << 20, 'x') + "\n";
  EXPECT_EQ(GetStringFromText(huge, "s", "k").size(), 65535u);
  EXPECT_EQ(GetStringFromText(huge, "s", "k", "", 1 << 21).size(), size_t(1) << 20);
  EXPECT_LE(GetSectionFromText(huge, "s").size(), 65536u);

  String noise;
  for (int i = 0; i < 4096; ++i) noise += static_cast<char>((i * 7919) & 0xFF);
  EXPECT_NO_THROW(GetStringFromText(noise, "s", "k"));
  EXPECT_NO_THROW(GetSectionFromText(noise, "s"));
  EXPECT_EQ(GetSectionFromText("[[[[\n]]]]\n=\n==\n", "[[["), String("]]]]\0=\0==\0\0", 11));
}

TEST_F(ProfileFileTest, ReadsFiles) {
  const String path = Write("install.ini", kIni);
  EXPECT_EQ(GetString(path, "AGENT", "port"), "8080");
  EXPECT_EQ(GetString(path, "Agent", "Nope", "fb"), "fb");
  EXPECT_EQ(GetString(path, "Agent", "Server", "", 3), "sr");
  EXPECT_EQ(GetSection(path, "Spaced Name"), String("k=v\0\0", 5));
  EXPECT_EQ(GetSection(path, "Spaced Name", 4), String("k=\0\0", 4));
}

TEST_F(ProfileFileTest, CrLfFileWithBom) {
  const String path = Write("crlf.ini", "\xEF\xBB\xBF[Main]\r\nName=Value\r\n");
  EXPECT_EQ(GetString(path, "main", "name"), "Value");
  EXPECT_EQ(GetSection(path, "MAIN"), String("Name=Value\0\0", 12));
}

TEST_F(ProfileFileTest, MissingOrUnreadableFileGivesFallback) {
  const String missing = (dir_ / "missing.ini").string();
  EXPECT_EQ(GetString(missing, "s", "k", "fb"), "fb");
  EXPECT_EQ(GetString(missing, "s", "k", "fallback", 4), "fal");
  EXPECT_EQ(GetSection(missing, "s"), "");
  EXPECT_EQ(GetString(dir_.string(), "s", "k", "fb"), "fb");
  EXPECT_EQ(GetSection(dir_.string(), "s"), "");
  const String empty = Write("empty.ini", "");
  EXPECT_EQ(GetString(empty, "s", "k", "fb"), "fb");
}

}  // namespace
