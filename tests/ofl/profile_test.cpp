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

// A double-NUL-terminated list of `lines`.
String List(const std::vector<String>& lines) {
  String out;
  for (const String& line : lines) out += line + '\0';
  return lines.empty() ? out : out + '\0';
}

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

TEST(ProfileText, GetString) {
  struct Case { const char* section; const char* key; const char* want; } const cases[] = {
      // Trimmed keys and values, further "=" kept, case ignored, the first key and section win.
      {"Agent", "Server", "srv01"}, {"Agent", "Port", "8080"}, {"Agent", "Empty", ""},
      {"Agent", "Path", "C:\\Program Files\\x=y"}, {"AGENT", "SERVER", "srv01"}, {"spaced NAME", "K", "v"},
      {"Agent", "Extra", "fb"},
      // Only matching quotes around the whole value are removed.
      {"Agent", "Quoted", "  padded  "}, {"Agent", "Single", "abc"}, {"Agent", "Half", "\"abc"},
      {"Agent", "Inner", "a\"b\"c"},
      // Comments and loose lines are not keys; missing sections and keys give the fallback.
      {"Agent", "; Server", "fb"}, {"Agent", "loose line", "fb"}, {"Nope", "Server", "fb"}, {"Agent", "Nope", "fb"},
      {"Agent", "k", "fb"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetStringFromText(kIni, c.section, c.key, "fb"), c.want) << c.key;
  EXPECT_EQ(GetStringFromText(kIni, "Agent", "Nope"), "");

  struct TextCase { String text; const char* section; const char* key; const char* want; } const texts[] = {
      {"[s]\nq=\"\"\n", "s", "q", ""}, {"[s]\nm=\"'\n", "s", "m", "\"'"}, {"[s]\nq=\"\n", "s", "q", "\""},
      {"[s]\n  ;k=v\n", "s", ";k", "fb"}, {"", "s", "k", "fb"}, {"k=v\n[s]\n", "s", "k", "fb"},
      // Line ends of every kind, a BOM only at the very start, no final line end.
      {"\xEF\xBB\xBF[S]\r\nA=1\r\nB = 2 \r\n[T]\r\nC=3", "s", "b", "2"},
      {"\xEF\xBB\xBF[S]\r\nA=1\r\nB = 2 \r\n[T]\r\nC=3", "t", "c", "3"},
      {"[S]\n\xEF\xBB\xBFk=v\n", "S", "k", "fb"}, {"[S]\rk=v\rm=w", "S", "m", "w"},
      // Header forms: trailing text, no "]", empty names.
      {"  [ S ]  trailing\nk=v\n", "S", "k", "v"}, {"[Open\nk=v\n", "Open", "k", "v"}, {"[]\nk=v\n", "", "k", "v"},
      {"[\nk=v\n", "", "k", "v"},
      // A NUL ends a line's content.
      {String("[s]\nk=ab\0cd\nm\0=x\n", 17), "s", "k", "ab"}, {String("[s]\nk=ab\0cd\nm\0=x\n", 17), "s", "m", "fb"},
  };
  for (const TextCase& c : texts) EXPECT_EQ(GetStringFromText(c.text, c.section, c.key, "fb"), c.want) << c.text;
}

TEST(ProfileText, GetSectionListsLinesAsWrittenWithoutComments) {
  EXPECT_EQ(GetSectionFromText(kIni, "agent"),
            List({"Server=srv01", "Port=8080", "Path=C:\\Program Files\\x=y", "Quoted=\"  padded  \"",
                  "Single='abc'", "Half=\"abc", "Inner=a\"b\"c", "Empty=", "loose line", "server=second"}));
  EXPECT_EQ(GetSectionFromText(kIni, "Spaced Name"), List({"k=v"}));
  EXPECT_EQ(GetSectionFromText(kIni, "Nope"), "");
  EXPECT_EQ(GetSectionFromText("[empty]\n; only a comment\n\n[next]\nk=v\n", "empty"), "");
  EXPECT_EQ(GetSectionFromText("\xEF\xBB\xBF[S]\r\nA=1\r\nB = 2 \r\n[T]\r\nC=3", "S"), List({"A=1", "B=2"}));
  EXPECT_EQ(GetSectionFromText(String("[s]\nk=ab\0cd\nm\0=x\n", 17), "s"), List({"k=ab", "m"}));
  EXPECT_EQ(GetSectionFromText("[[[[\n]]]]\n=\n==\n", "[[["), List({"]]]]", "=", "=="}));
}

TEST(ProfileText, TextsAreCutToBufferSizeMinusOneAndHostileInputNeverBreaks) {
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
  // The default buffers hold 64 KiB; huge lines and noise never break anything.
  const String huge = "[s]\nk=" + String(1 << 20, 'x') + "\n";
  EXPECT_EQ(GetStringFromText(huge, "s", "k").size(), 65535u);
  EXPECT_EQ(GetStringFromText(huge, "s", "k", "", 1 << 21).size(), size_t(1) << 20);
  EXPECT_LE(GetSectionFromText(huge, "s").size(), 65536u);
  String noise;
  for (int i = 0; i < 4096; ++i) noise += static_cast<char>((i * 7919) & 0xFF);
  EXPECT_NO_THROW(GetStringFromText(noise, "s", "k"));
  EXPECT_NO_THROW(GetSectionFromText(noise, "s"));
}

TEST(ProfileFile, ReadsFilesAndFallsBackWhenUnreadable) {
  std::string templ = (std::filesystem::temp_directory_path() / "ofl_profile_XXXXXX").string();
  ASSERT_NE(mkdtemp(templ.data()), nullptr);
  const std::filesystem::path dir = templ;
  const String ini = (dir / "install.ini").string(), crlf = (dir / "crlf.ini").string();
  const String empty = (dir / "empty.ini").string(), missing = (dir / "missing.ini").string();
  std::ofstream(ini, std::ios::binary) << kIni;
  std::ofstream(crlf, std::ios::binary) << "\xEF\xBB\xBF[Main]\r\nName=Value\r\n";
  std::ofstream(empty, std::ios::binary) << "";
  EXPECT_EQ(GetString(ini, "AGENT", "port"), "8080");
  EXPECT_EQ(GetString(ini, "Agent", "Server", "", 3), "sr");
  EXPECT_EQ(GetSection(ini, "Spaced Name", 4), String("k=\0\0", 4));
  EXPECT_EQ(GetString(crlf, "main", "name"), "Value");
  EXPECT_EQ(GetSection(crlf, "MAIN"), List({"Name=Value"}));
  for (const String& path : {missing, dir.string(), empty}) {
    EXPECT_EQ(GetString(path, "s", "k", "fallback", 4), "fal") << path;
    EXPECT_EQ(GetSection(path, "s"), "") << path;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
