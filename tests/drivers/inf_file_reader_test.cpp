#include "orvacmn/drivers/inf_file_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <random>

#include "drivers/inf_test_util.h"
#include "ofl/text_file.h"

namespace orvacmn {
namespace {

using test::InfData;
using test::ScratchFile;
using Enc = OFL::TextFileReader::Encoding;

// Opens the protected helpers.
class Reader : public CInfFileReader {
 public:
  using CInfFileReader::IsSection;
  using CInfFileReader::PerformSubstitutions;
  using CInfFileReader::StripComment;
};

TEST(TextFileReader, DecodesEveryEncodingAndLineEnd) {
  struct Case {
    std::string bytes, text;
    Enc encoding;
  } cases[] = {
      {"a\r\nb\nc", "a\r\nb\nc", Enc::kUtf8},
      {"\xEF\xBB\xBF\xC3\xA9", "\xC3\xA9", Enc::kUtf8Bom},
      {std::string("\xFF\xFE[\0\xE9\0\x3D\xD8\x00\xDE", 10), "[\xC3\xA9\xF0\x9F\x98\x80", Enc::kUtf16LE},
      {std::string("\xFE\xFF\0[\0\xE9", 6), "[\xC3\xA9", Enc::kUtf16BE},
      {std::string("[\0V\0", 4), "[V", Enc::kUtf16LE},  // no mark
      {"\x80 \xAE \x81", "\xE2\x82\xAC \xC2\xAE \xC2\x81", Enc::kWindows1252},
      {"\xC0\xAF", "\xC3\x80\xC2\xAF", Enc::kWindows1252},  // overlong UTF-8 is not UTF-8
      {"a\nb\x1A\nc", "a\nb", Enc::kUtf8},
  };
  for (const Case& c : cases) {
    Enc encoding;
    EXPECT_EQ(OFL::TextFileReader::Decode(c.bytes, &encoding), c.text);
    EXPECT_EQ(encoding, c.encoding) << c.text;
  }
  OFL::TextFileReader reader;
  reader.OpenBytes("one\r\n\r\ntwo\rx\nlast");
  std::string line, all;
  while (reader.ReadString(line)) all += "<" + line + ">";
  EXPECT_EQ(all, "<one><><two\rx><last>");
}

TEST(InfFileReader, AnswersKeysOfTheUtf16Package) {
  Reader r;
  String error;
  ASSERT_EQ(r.Load(InfData("pkg/netkvm.inf"), error, 7), 0u) << error;
  struct Case {
    const char *section, *key;
    int found;
    const char* value;
  } cases[] = {
      {"version", "SIGNATURE", 1, "$WINDOWS NT$"},
      {"Version", "DriverVer", 1, "03/15/2023,100.92.104.22900"},
      {"Version", "Provider", 1, "Contoso"},  // substituted without its quotes, then cut
      {"Strings", "Contoso", 1, "Contoso; Virtual Devices"},  // quoted ";" kept
      {"Strings", "NetKVM.DeviceDesc", 1, "Contoso VirtIO Ethernet Adapter"},  // the last [Strings]
      {"Strings", "Priority", 1, "Priority  and \"\"tags"},                       // "%%" removed
      {"Strings", "Unknown", 1, "NoSuchString"},
      {"Strings", "Percent", 1, "100"},
      {"Strings", "Banner", 1, "Line one \"\"and two"},                          // "\ continues
      {"Strings", "Path", 1, "\\\\server\\\\share\\\\\\Tail              = done"},  // \\ continues
      {"Strings", "Tail", 0, ""},
      {"kvmnet6.ndi.NTamd64", "Characteristics", 1, "0x84"},
      {"Version", "Missing", 0, ""},
      {"NoSuchSection", "Signature", 0, ""},
  };
  for (const Case& c : cases) {
    String value = "unchanged";
    EXPECT_EQ(r.GetValue(c.section, c.key, value), c.found) << c.key;
    EXPECT_EQ(value, c.found ? c.value : "unchanged") << c.key;
  }
  OFLTokenizer lines;
  ASSERT_EQ(r.ReadCompleteSection("KVMNET6.REG", lines), 1);
  EXPECT_EQ(lines.AsString("|"), "HKR, Ndi, Service, 0, \"netkvm\" \\|HKR, Ndi\\Interfaces, UpperRange, 0, \"ndis5\"");
  ASSERT_EQ(r.ReadCompleteSection("Parameters", lines), 1);
  EXPECT_EQ(lines.AsString("|"), "HKR, Ndi\\params\\Priority, ParamDesc, 0, \"%Priority%\"");  // no "=", no tokens
  EXPECT_EQ(r.ReadCompleteSection("Nope", lines), 0);
  EXPECT_TRUE(lines.IsEmpty());

  // The other encodings read to the same lines.
  for (const char* copy : {"utf16be.inf", "utf8bom.inf"}) {
    CInfFileReader other;
    ASSERT_EQ(other.Load(InfData(copy), error, 7), 0u);
    EXPECT_EQ(other.GetLines(), r.GetLines()) << copy;
  }
}

TEST(InfFileReader, FlagsKeepCommentsEmptyLinesAndTokens) {
  CInfFileReader r;
  String error;
  ASSERT_EQ(r.Load(InfData("pkg/netkvm.inf"), error, 0), 0u);
  EXPECT_EQ(r.GetLines()[0], "; Contoso VirtIO network driver package");
  EXPECT_EQ(r.GetLines()[2], "");
  String value;
  ASSERT_EQ(r.GetValue("Version", "Provider", value), 1);
  EXPECT_EQ(value, "%Contoso%");

}

TEST(InfFileReader, ReportsOpenFailuresAndShortFiles) {
  CInfFileReader r;
  String error;
  const String missing = InfData("none.inf");
  EXPECT_EQ(r.Load(missing, error, 7), 2u);
  EXPECT_EQ(error, "Unable to open [" + missing + "]: The system cannot find the file specified.");
  EXPECT_EQ(r.Load(InfData("nodir/x.inf"), error, 7), 3u);
  EXPECT_EQ(r.Load(InfData("short.inf"), error, 7), 0xFFFFFFFFu);
  EXPECT_EQ(error, "Invalid INF file [" + InfData("short.inf") + "]");
  EXPECT_TRUE(r.GetLines().empty());
  ScratchFile three("[a]");
  EXPECT_EQ(r.Load(three.path(), error, 7), 0u);
  EXPECT_EQ(r.SectionExists("A"), 1);
}

TEST(InfFileReader, SplitsSectionsAndCommentsAsTheFileWritesThem) {
  struct Case {
    const char* line;
    int section;
    const char* name;
  } sections[] = {
      {"  [Version]  ", 1, "Version"}, {"[a]b]", 1, "a"},        {"HKR,,\"[x]\"", 1, "x"},
      {"[open", 0, ""},                {"close] [", 0, ""},     {"[]", 1, ""},
  };
  for (const Case& c : sections) {
    String name;
    EXPECT_EQ(Reader::IsSection(c.line, name), c.section) << c.line;
    EXPECT_EQ(name, c.name) << c.line;
  }
  const std::pair<const char*, const char*> comments[] = {
      {"a = \"b;c\" ; d", "a = \"b;c\""}, {"\"open ; x", "\"open ; x"}, {"x\t ;", "x"}, {";all", ""},
      {"\"\"; y", "\"\""}, {"x\r\v\f ;c", "x"},
  };
  for (const auto& [in, out] : comments) {
    String line = in;
    Reader::StripComment(line);
    EXPECT_EQ(line, out) << in;
  }
}

TEST(InfFileReader, SubstitutionStopsAtThePassLimitAndOnRunawayGrowth) {
  ScratchFile file(
      "[Strings]\nSelf = %Self%\nA = %B%\nB = b;x\n[S]\nk = %Self%\nab = %A%-%B%-%ENV_NOT_SET_X%\n"
      "[Strings]\nGrow = \"%Grow%%Grow%\"\n");
  Reader r;
  String error;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(r.Load(file.path(), error, 7), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  String value;
  ASSERT_EQ(r.GetValue("S", "k", value), 1);
  EXPECT_EQ(value, "Self");  // the last [Strings] has no Self
  ASSERT_EQ(r.GetValue("S", "ab", value), 1);
  EXPECT_EQ(value, "A-B-ENV_NOT_SET_X");
  ScratchFile self("[Strings]\nSelf = %Self%\n");
  ASSERT_EQ(r.Load(self.path(), error, 0), 0u);
  String line = "x = %Self%";
  EXPECT_EQ(r.PerformSubstitutions(line), CInfFileReader::kMaxSubstitutionPasses);
  EXPECT_EQ(line, "x = %Self%");
  // A cycle of two texts ends where the 32000th pass leaves it.
  ScratchFile pair("[Strings]\nA = %B%\nB = %A%\n");
  ASSERT_EQ(r.Load(pair.path(), error, 0), 0u);
  for (const char* start : {"%A%", "%B%"}) {
    line = start;
    EXPECT_EQ(r.PerformSubstitutions(line), CInfFileReader::kMaxSubstitutionPasses);
    EXPECT_EQ(line, start);
  }
  // So does a cycle of five, which the check meets at another phase.
  ScratchFile five("[Strings]\nA = %B%\nB = %C%\nC = %D%\nD = %E%\nE = %A%\n");
  ASSERT_EQ(r.Load(five.path(), error, 0), 0u);
  line = "%A%";
  EXPECT_EQ(r.PerformSubstitutions(line), CInfFileReader::kMaxSubstitutionPasses);
  EXPECT_EQ(line, "%A%");  // 32000 passes, a multiple of five
  line = "no tokens %";
  EXPECT_EQ(r.PerformSubstitutions(line), 0);
}

// The pass loop as written down, for short lines: each pass replaces every occurrence of the first %name%.
int SpecifiedPasses(String& line, const std::map<String, String>& strings, int limit) {
  int passes = 0;
  for (size_t open, close; passes < limit; ++passes) {
    if ((open = line.find('%')) == String::npos || (close = line.find('%', open + 1)) == String::npos) break;
    const String name = line.substr(open + 1, close - open - 1), token = '%' + name + '%';
    const auto it = strings.find(name);
    String out;
    size_t pos = 0;
    for (size_t hit = open; hit != String::npos; hit = line.find(token, pos)) {
      out.append(line, pos, hit - pos).append(it != strings.end() ? it->second : name);
      pos = hit + token.size();
    }
    line = out + line.substr(pos);
  }
  return passes;
}

// Random lines give what the pass loop gives: tokens that share a "%", values that bring new tokens, cycles. A
// line stops short of the loop only when it has grown far.
TEST(InfFileReader, SubstitutionGivesWhatThePassLoopGives) {
  const std::map<String, String> strings = {{"a", "b"},     {"b", "%c%"},      {"c", ""},         {"d", "%a%%b%"},
                                            {"e", "%f%"},   {"f", "%e%"},      {"ab", "x%"},      {"g", "%h%%"},
                                            {"h", "a"},     {"x", "%x%%x%"},   {"ex", "%ex% y"}};
  String table = "[Strings]\n";
  for (const auto& [k, v] : strings) table += k + " = \"" + v + "\"\n";
  const ScratchFile file(table);
  Reader r;
  String error;
  ASSERT_EQ(r.Load(file.path(), error, 0), 0u);
  std::mt19937 rng(17);
  for (int i = 0; i < 1500; ++i) {
    String tokens;
    for (int n = rng() % 14; n > 0; --n) tokens += "%%%abcdefgh x"[rng() % 13];
    // Long lines take another way from the first pass.
    const String line = String(i % 4 ? 0 : 5000, '.') + tokens;
    String want = line, got = line;
    const int passes = r.PerformSubstitutions(got);
    ASSERT_EQ(SpecifiedPasses(want, strings, passes), passes) << tokens;
    ASSERT_EQ(got, want) << tokens;
    if (passes < CInfFileReader::kMaxSubstitutionPasses && SpecifiedPasses(want, strings, 1) == 1) {
      EXPECT_GT(got.size(), line.size() + 20) << tokens;
    }
  }
}

// One line that its tokens make huge neither stops the substitution of the lines after it nor is left alone;
// a line of 200,000 distinct tokens has its first 32,000 replaced.
TEST(InfFileReader, EveryLineHasItsOwnPassesAndWork) {
  String many = "[S]\nmany =";
  for (int i = 0; i < 200000; ++i) many += " %t" + std::to_string(i) + '%';
  many += "\n";
  for (const String& heavy : {String("[Version]\nProvider = %Prov%\nProv = \"%Prov% Ltd\"\n"), many})
    for (uint32_t flags : {7u, 4u}) {
      const ScratchFile file(heavy + "[Manufacturer]\n%Mfg% = Models\n[Strings]\nProv = \"%Prov% Ltd\"\n"
                                     "Mfg = \"Contoso\"\n[Models]\n%Mfg%.1 = i, %Mfg%\\%Prov%\n");
      Reader r;
      String error, value;
      ASSERT_EQ(r.Load(file.path(), error, flags), 0u);
      EXPECT_EQ(r.GetValue("Manufacturer", "Contoso", value), 1) << flags;
      EXPECT_EQ(value, "Models");
      ASSERT_EQ(r.GetValue("Models", "Contoso.1", value), 1);
      EXPECT_TRUE(value.starts_with("i, Contoso\\%Prov% Ltd Ltd")) << value.substr(0, 40);
      if (heavy == many) {
        ASSERT_EQ(r.GetValue("S", "many", value), 1);
        EXPECT_TRUE(value.starts_with("t0 t1 t2 ") && value.find(" t31999 %t32000% %t32001% ") != String::npos &&
                    value.ends_with(" %t199999%")) << value.substr(0, 40);
      } else {
        ASSERT_EQ(r.GetValue("Version", "Provider", value), 1);
        EXPECT_TRUE(value.starts_with("%Prov% Ltd Ltd Ltd") && value.size() < 4096) << value.size();
      }
    }
}

TEST(InfFileReader, SubstitutedStringsKeysAreFoundByTheirNewText) {
  ScratchFile file("[Strings]\nK%Suffix% = first\nSuffix = 2\n[S]\nv = %K2%\n");
  CInfFileReader r;
  String error, value;
  ASSERT_EQ(r.Load(file.path(), error, 7), 0u);
  ASSERT_EQ(r.GetValue("S", "v", value), 1);
  EXPECT_EQ(value, "first");

  // A line that a substitution makes a header ends its section.
  ScratchFile header("[S]\na = %L%x%R%\nb = 2\n[Strings]\nL = \"[\"\nR = \"]\"\n");
  ASSERT_EQ(r.Load(header.path(), error, 7), 0u);
  EXPECT_EQ(r.GetValue("S", "b", value), 0);
  OFLTokenizer lines;
  ASSERT_EQ(r.ReadCompleteSection("S", lines), 1);
  EXPECT_EQ(lines.AsString("|"), "");
}

}  // namespace
}  // namespace orvacmn

namespace orvacmn {
namespace {

// Sizes that real packages never reach still load in linear time: a line of
// 4 MB, 100,000 sections, a continuation chain 100,000 lines deep and 20,000
// [Strings] keys that substitution changes.
TEST(InfFileReader, HugeLinesSectionsAndContinuationChainsStayLinear) {
  std::string text = "[Version]\r\nSignature = \"$WINDOWS NT$\"\r\nLong = " + std::string(4 << 20, 'x') + "\r\n";
  for (int i = 0; i < 100000; ++i) text += "[S" + std::to_string(i) + "]\r\nk = %v%\r\n";
  text += "[Chain]\r\nkey = a";
  for (int i = 0; i < 100000; ++i) text += "\\\\\r\nb";  // "\\" at the end continues
  text += "\r\n[Strings]\r\nv = \"value\"\r\nS = s\r\n";
  for (int i = 0; i < 20000; ++i) text += "K%S%" + std::to_string(i) + " = w\r\n";  // keys that substitution changes
  text += "[After]\r\nlast = %Ks19999%\r\n";
  const ScratchFile file(text);
  Reader r;
  String error, value;
  ASSERT_EQ(r.Load(file.path(), error, 7), 0u) << error;
  EXPECT_EQ(r.GetValue("Version", "Long", value), 1);
  EXPECT_EQ(value.size(), size_t(4 << 20));
  EXPECT_EQ(r.GetValue("S99999", "k", value), 1);
  EXPECT_EQ(value, "value");
  EXPECT_EQ(r.GetValue("Chain", "key", value), 1);
  EXPECT_EQ(value.size(), 1 + 100000 * 2u);  // each link keeps one backslash
  EXPECT_EQ(r.GetValue("After", "last", value), 1);
  EXPECT_EQ(value, "w");
}

}  // namespace
}  // namespace orvacmn
