#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"

namespace {

using OFL::String;

// Values that stress the text form: markup, quotes, white space at the ends
// and alone, line ends of every kind, non-ASCII text, look-alike markup.
const std::vector<String> kValues = {
    "",
    "plain",
    "<",
    ">",
    "&",
    "\"",
    "'",
    "<tag attr=\"v\">&amp;</tag>",
    "a < b && c > d",
    "'single' and \"double\"",
    " ",
    "   ",
    "\t",
    " \t \t ",
    "  leading",
    "trailing  ",
    "  both  ",
    "\n",
    "\r",
    "\r\n",
    "\n\r",
    "\r\r\n\n",
    "line1\nline2",
    "line1\r\nline2\r\n",
    "mac\rline",
    " \r\n ",
    "\tindented\r\n\tblock\t",
    "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F",  // umlauts
    "\xE2\x82\xAC 100",                   // euro sign
    "\xF0\x9D\x84\x9E",                   // a 4-byte character
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
    "]]>",
    "<![CDATA[x]]>",
    "<!-- not a comment -->",
    "<?pi x?>",
    "&lt;&amp;&#65;&#x42;&unknown;",
    "&#13;",
    "C:\\Program Files\\x=y;z",
    "{DIP}\\WipeDisk",
    "%s %d %%",
    "\x7F",
};

struct Flags {
  bool escape;
  bool escapeAll;
};
const Flags kFlagSets[] = {{true, false}, {true, true}, {false, true}};

String ChildData(const String& wrapped) {
  OFLXMLParser p(wrapped);
  EXPECT_TRUE(p.FindChildElem()) << wrapped;
  return p.GetChildData();
}

// Every way a packed value is read back in this library gives the value.
void ExpectRoundTrip(const String& value) {
  for (const Flags f : kFlagSets) {
    SCOPED_TRACE(testing::Message() << "escape=" << f.escape << " escapeAll=" << f.escapeAll);
    const String node = OFLTools::MakeXMLNode("v", value, {}, f.escape, f.escapeAll);
    // As a child of an object element.
    const String packed = "<obj><before>x</before>" + node + "<after/></obj>";
    OFLXMLParser p(packed);
    ASSERT_TRUE(p.FindChildElem("v")) << packed;
    EXPECT_EQ(p.GetChildData(), value);
    // As a root of its own.
    OFLXMLParser alone(node);
    ASSERT_TRUE(alone.FindElem("v")) << node;
    EXPECT_EQ(alone.GetData(), value);
    // Handed on as markup to a new parser, as nested objects are.
    const String sub = p.GetChildSubDoc();
    OFLXMLParser nested(sub);
    ASSERT_TRUE(nested.FindElem("v")) << sub;
    EXPECT_EQ(nested.GetData(), value);
    // Copied into another document and written out whole.
    OFLXMLParser copy;
    ASSERT_TRUE(copy.AddElem("outer"));
    ASSERT_TRUE(copy.AddChildSubDoc(sub));
    OFLXMLParser reread(copy.GetDoc());
    ASSERT_TRUE(reread.FindChildElem("v"));
    EXPECT_EQ(reread.GetChildData(), value);
    // A packed text carried as the value of another node.
    EXPECT_EQ(ChildData("<m>" + OFLTools::MakeXMLNode("outer", node, {}, f.escape, f.escapeAll) + "</m>"), node);
    OFLXMLParser unpacked(ChildData("<m>" + OFLTools::MakeXMLNode("outer", node) + "</m>"));
    ASSERT_TRUE(unpacked.FindElem("v"));
    EXPECT_EQ(unpacked.GetData(), value);
  }
  String appended;
  OFLTools::AppendXMLNode(appended, "v", value);
  EXPECT_EQ(appended, OFLTools::MakeXMLNode("v", value));
}

TEST(MakeXMLNode, EveryValueReadsBackUnchanged) {
  for (const String& value : kValues) {
    SCOPED_TRACE(testing::Message() << "value \"" << value << "\"");
    ExpectRoundTrip(value);
  }
}

TEST(MakeXMLNode, OverloadsForStringsAgree) {
  const String s = "<a & b>";
  const String expected = "<t>&lt;a &amp; b&gt;</t>";
  EXPECT_EQ(OFLTools::MakeXMLNode("t", s), expected);
  EXPECT_EQ(OFLTools::MakeXMLNode("t", s.c_str()), expected);
  EXPECT_EQ(OFLTools::MakeXMLNode("t", std::string_view(s)), expected);
  EXPECT_EQ(OFLTools::MakeXMLNode("t", static_cast<const char*>(nullptr)), "<t></t>");
  EXPECT_EQ(OFLTools::MakeXMLNode("t", ""), "<t></t>");
}

TEST(MakeXMLNode, AttributeTextAndUnescapedForm) {
  EXPECT_EQ(OFLTools::MakeXMLNode("Entry", "v", "type=\"1\" name=\"n\""), "<Entry type=\"1\" name=\"n\">v</Entry>");
  EXPECT_EQ(OFLTools::MakeXMLNode("t", "<b>x</b>", {}, false, false), "<t><b>x</b></t>");
  EXPECT_EQ(OFLTools::MakeXMLNode("n", int32_t(5), "a=\"1\""), "<n a=\"1\">5</n>");
  OFLXMLParser p(OFLTools::MakeXMLNode("Entry", "a&b", "type=\"1\" name=\"" + OFLTools::MakeXMLData("<n>") + "\""));
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetData(), "a&b");
  EXPECT_EQ(p.GetAttrib("name"), "<n>");
}

TEST(MakeXMLNode, EscapeAllWritesOnlyPrintableAscii) {
  for (const String& value : kValues) {
    const String node = OFLTools::MakeXMLNode("v", value, {}, true, true);
    for (unsigned char c : node)
      EXPECT_TRUE((c >= 0x20 && c < 0x7F) || c == '\t' || c == '\n') << "byte " << int(c) << " in " << node;
  }
  EXPECT_EQ(OFLTools::MakeXMLNode("v", "\xC3\xA4\xE2\x82\xAC\xF0\x9D\x84\x9E", {}, true, true),
            "<v>&#xE4;&#x20AC;&#x1D11E;</v>");
  EXPECT_EQ(OFLTools::MakeXMLNode("v", "\xC3\xA4", {}, true, false), "<v>\xC3\xA4</v>");
}

TEST(MakeXMLNode, BytesThatAreNotUtf8SurviveEscapeAll) {
  for (const String value : {"\xFF", "a\xC3", "\xC3(", "\xE2\x82", "\xED\xA0\x80", "\xC0\xAF", "\x80\x80"}) {
    SCOPED_TRACE(testing::Message() << "value \"" << value << "\"");
    ExpectRoundTrip(value);
  }
}

TEST(MakeXMLData, EscapesMarkupAndCarriageReturn) {
  EXPECT_EQ(OFLTools::MakeXMLData("<a href=\"x\">&'</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;&apos;&lt;/a&gt;");
  EXPECT_EQ(OFLTools::MakeXMLData("a\r\nb\tc"), "a&#xD;\nb\tc");
  EXPECT_EQ(OFLTools::MakeXMLData(""), "");
  EXPECT_EQ(OFLTools::MakeXMLData("plain \xC3\xA4"), "plain \xC3\xA4");
}

TEST(MakeXMLTag, TagsAndElements) {
  EXPECT_EQ(OFLTools::MakeXMLTag("Job"), "<Job>");
  EXPECT_EQ(OFLTools::MakeXMLTag("Job", true), "</Job>");
  String out = "x";
  OFLTools::AppendXMLTag(out, "A");
  OFLTools::AppendXMLTag(out, "A", true);
  EXPECT_EQ(out, "x<A></A>");
  EXPECT_EQ(OFLTools::MakeXMLElement("List", "<a>1</a><b/>"), "<List><a>1</a><b/></List>");
  EXPECT_EQ(OFLTools::MakeXMLElement("List", "", "n=\"0\""), "<List n=\"0\"></List>");
}

TEST(MakeXMLNode, NumbersInDecimal) {
  EXPECT_EQ(OFLTools::MakeXMLNode("n", std::numeric_limits<int32_t>::min()), "<n>-2147483648</n>");
  EXPECT_EQ(OFLTools::MakeXMLNode("n", std::numeric_limits<int32_t>::max()), "<n>2147483647</n>");
  EXPECT_EQ(OFLTools::MakeXMLNode("n", int32_t(0)), "<n>0</n>");
  EXPECT_EQ(OFLTools::MakeXMLNode("n", std::numeric_limits<uint32_t>::max()), "<n>4294967295</n>");
  EXPECT_EQ(OFLTools::MakeXMLNode("n", std::numeric_limits<int64_t>::min()), "<n>-9223372036854775808</n>");
  EXPECT_EQ(OFLTools::MakeXMLNode("n", std::numeric_limits<int64_t>::max()), "<n>9223372036854775807</n>");
  EXPECT_EQ(OFLTools::MakeXMLNode("n", std::numeric_limits<uint64_t>::max()), "<n>18446744073709551615</n>");
  String out;
  OFLTools::AppendXMLNode(out, "t", std::numeric_limits<int64_t>::min());
  EXPECT_EQ(out, "<t>-9223372036854775808</t>");
}

TEST(MakeXMLNode, DoublesReadBackExactly) {
  const double values[] = {0.0,     -0.0,    1.0,     -1.5,   0.1,         1.0 / 3.0, 123456789.125,
                           1e300,   -1e-300, DBL_MAX, DBL_MIN, 5e-324,     DBL_EPSILON, 2.5e15,
                           9007199254740993.0};
  for (double v : values) {
    const String node = OFLTools::MakeXMLNode("d", v);
    OFLXMLParser p(node);
    ASSERT_TRUE(p.FindElem()) << node;
    const String text = p.GetData();
    char* end = nullptr;
    const double back = std::strtod(text.c_str(), &end);
    EXPECT_EQ(*end, '\0') << node;
    EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << node;
  }
  EXPECT_EQ(OFLTools::MakeXMLNode("d", 0.5), "<d>0.5</d>");
  EXPECT_EQ(OFLTools::MakeXMLNode("d", 75.0), "<d>75</d>");
}

TEST(MakeXMLNode, CharacterValues) {
  EXPECT_EQ(OFLTools::MakeXMLNode("c", 'A'), "<c>A</c>");
  EXPECT_EQ(OFLTools::MakeXMLNode("c", '<'), "<c>&lt;</c>");
  EXPECT_EQ(OFLTools::MakeXMLNode("c", '"'), "<c>&quot;</c>");
  EXPECT_EQ(OFLTools::MakeXMLNode("c", ' '), "<c> </c>");
  EXPECT_EQ(ChildData("<r>" + OFLTools::MakeXMLNode("c", '\r') + "</r>"), "\r");
  EXPECT_EQ(ChildData("<r>" + OFLTools::MakeXMLNode("c", ' ') + "</r>"), " ");
}

// Random texts built from the pieces that matter to XML.
String RandomText(std::mt19937& rng) {
  static const std::vector<String> pieces = {
      "a",  "Z",    "0",      " ",  "  ",   "\t", "\r",         "\n",        "\r\n", "<",  ">",    "&",
      "\"", "'",    "]]>",    "=",  ";",    "/",  "<![CDATA[",  "<!--",      "-->",  "&amp;", "&#65;", "&lt",
      "\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "{DIP}", "%s", "\\"};
  std::uniform_int_distribution<size_t> len(0, 24), pick(0, pieces.size() - 1);
  String s;
  for (size_t n = len(rng); n > 0; --n) s += pieces[pick(rng)];
  return s;
}

TEST(MakeXMLNode, RandomTextsReadBackUnchanged) {
  std::mt19937 rng(20240611);
  for (int i = 0; i < 1500; ++i) {
    const String value = RandomText(rng);
    SCOPED_TRACE(testing::Message() << "value \"" << value << "\"");
    ExpectRoundTrip(value);
    if (HasFatalFailure() || HasNonfatalFailure()) return;
  }
}

// Any bytes but NUL, which a C-string based document cannot hold.
TEST(MakeXMLNode, RandomBytesReadBackUnchanged) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> len(0, 40), byte(1, 255);
  for (int i = 0; i < 1500; ++i) {
    String value;
    for (int n = len(rng); n > 0; --n) value += static_cast<char>(byte(rng));
    SCOPED_TRACE(testing::Message() << "case " << i);
    ExpectRoundTrip(value);
    if (HasFatalFailure() || HasNonfatalFailure()) return;
  }
}

// A standard parser accepts every packed text and reads the same value. Only
// values that XML 1.0 can carry at all take part: UTF-8 text without control
// characters other than tab, CR and LF.
class XmllintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("xmllint --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint is not installed";
    std::string templ = (std::filesystem::temp_directory_path() / "ofl_xmllint_XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    dir_ = templ;
  }
  void TearDown() override {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  String WriteFile(const String& content) {
    const std::filesystem::path p = dir_ / ("t" + std::to_string(count_++) + ".xml");
    std::ofstream(p, std::ios::binary) << content;
    return p.string();
  }
  static String Run(const String& command) {
    String out;
    FILE* f = popen(command.c_str(), "r");
    if (!f) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    pclose(f);
    return out;
  }
  std::filesystem::path dir_;
  int count_ = 0;
};

TEST_F(XmllintTest, PackedTextsAreWellFormed) {
  std::vector<String> texts;
  std::mt19937 rng(99);
  std::vector<String> values = kValues;
  for (int i = 0; i < 200; ++i) values.push_back(RandomText(rng));
  for (const String& value : values) {
    for (const Flags f : kFlagSets) {
      const String node = OFLTools::MakeXMLNode("v", value, {}, f.escape, f.escapeAll);
      texts.push_back(node);
      texts.push_back(OFLTools::MakeXMLNode("outer", node, {}, f.escape, f.escapeAll));
      OFLXMLParser p("<obj>" + node + "</obj>");
      ASSERT_TRUE(p.FindChildElem());
      texts.push_back(p.GetChildSubDoc());
      texts.push_back(p.GetDoc());
    }
  }
  String files;
  for (const String& text : texts) files += " '" + WriteFile(text) + "'";
  const String errors = Run("xmllint --noout" + files + " 2>&1");
  EXPECT_EQ(errors, "");
}

TEST_F(XmllintTest, StandardParserReadsTheSameValue) {
  for (const String& value : kValues) {
    if (value == "\x7F") continue;  // allowed, but xmllint prints it differently on some versions
    for (const Flags f : {kFlagSets[0], kFlagSets[1]}) {
      const String path = WriteFile(OFLTools::MakeXMLNode("v", value, {}, f.escape, f.escapeAll));
      const String out = Run("xmllint --xpath 'string(/v)' '" + path + "' 2>/dev/null");
      EXPECT_TRUE(out == value || out == value + "\n")
          << "value \"" << value << "\" read as \"" << out << "\" (escapeAll=" << f.escapeAll << ")";
    }
  }
}

}  // namespace
