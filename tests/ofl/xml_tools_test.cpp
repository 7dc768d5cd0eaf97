#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"

namespace {

using OFL::String;

// Values that stress the text form: markup, quotes, white space at the ends and alone, line ends of every kind,
// non-ASCII text, look-alike markup.
const std::vector<String> kValues = {
    "", "plain", "<", ">", "&", "\"", "'", "<tag attr=\"v\">&amp;</tag>", "a < b && c > d", "'single' and \"double\"",
    " ", "   ", "\t", " \t \t ", "  leading", "trailing  ", "  both  ", "\n", "\r", "\r\n", "\n\r", "\r\r\n\n",
    "line1\nline2", "line1\r\nline2\r\n", "mac\rline", " \r\n ", "\tindented\r\n\tblock\t",
    "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F", "\xE2\x82\xAC 100", "\xF0\x9D\x84\x9E", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
    "]]>", "<![CDATA[x]]>", "<!-- not a comment -->", "<?pi x?>", "&lt;&amp;&#65;&#x42;&unknown;", "&#13;",
    "C:\\Program Files\\x=y;z", "{DIP}\\WipeDisk", "%s %d %%", "\x7F",
};
// Bytes that are not UTF-8 must survive too, escapeAll included.
const String kNotUtf8[] = {"\xFF", "a\xC3", "\xC3(", "\xE2\x82", "\xED\xA0\x80", "\xC0\xAF", "\x80\x80"};

struct Flags {
  bool escape, escapeAll;
};
const Flags kFlagSets[] = {{true, false}, {true, true}, {false, true}};

String ChildData(const String& wrapped) {
  OFLXMLParser p(wrapped);
  EXPECT_TRUE(p.FindChildElem()) << wrapped;
  return p.GetChildData();
}

String RootData(const String& doc) {
  OFLXMLParser p(doc);
  EXPECT_TRUE(p.FindElem()) << doc;
  return p.GetData();
}

// Every way a packed value is read back in this library gives the value.
void ExpectRoundTrip(const String& value) {
  for (const Flags f : kFlagSets) {
    SCOPED_TRACE(testing::Message() << "escape=" << f.escape << " escapeAll=" << f.escapeAll);
    const String node = OFLTools::MakeXMLNode("v", value, {}, f.escape, f.escapeAll);
    OFLXMLParser p("<obj><before>x</before>" + node + "<after/></obj>");  // a child of an object
    ASSERT_TRUE(p.FindChildElem("v")) << node;
    EXPECT_EQ(p.GetChildData(), value);
    EXPECT_EQ(RootData(node), value);  // a root of its own
    const String sub = p.GetChildSubDoc();  // handed on as markup, as nested objects are
    EXPECT_EQ(RootData(sub), value);
    OFLXMLParser copy;  // copied into another document and written out whole
    ASSERT_TRUE(copy.AddElem("outer"));
    ASSERT_TRUE(copy.AddChildSubDoc(sub));
    OFLXMLParser reread(copy.GetDoc());
    ASSERT_TRUE(reread.FindChildElem("v"));
    EXPECT_EQ(reread.GetChildData(), value);
    // A packed text carried as the value of another node.
    EXPECT_EQ(ChildData("<m>" + OFLTools::MakeXMLNode("outer", node, {}, f.escape, f.escapeAll) + "</m>"), node);
    EXPECT_EQ(RootData(ChildData("<m>" + OFLTools::MakeXMLNode("outer", node) + "</m>")), value);
  }
  String appended;
  OFLTools::AppendXMLNode(appended, "v", value);
  EXPECT_EQ(appended, OFLTools::MakeXMLNode("v", value));
}

TEST(MakeXMLNode, EveryValueReadsBackUnchanged) {
  for (const String& value : kValues) {
    SCOPED_TRACE(testing::Message() << "value \"" << value << "\"");
    ExpectRoundTrip(value);
    // escapeAll writes UTF-8 text as printable ASCII only.
    for (unsigned char c : OFLTools::MakeXMLNode("v", value, {}, true, true))
      EXPECT_TRUE((c >= 0x20 && c < 0x7F) || c == '\t' || c == '\n') << "byte " << int(c);
  }
  for (const String& value : kNotUtf8) {
    SCOPED_TRACE(testing::Message() << "value \"" << value << "\"");
    ExpectRoundTrip(value);
  }
}

TEST(MakeXMLNode, ExactTexts) {
  const String s = "<a & b>";
  const std::pair<String, String> cases[] = {
      {OFLTools::MakeXMLNode("t", s), "<t>&lt;a &amp; b&gt;</t>"},
      {OFLTools::MakeXMLNode("t", s.c_str()), "<t>&lt;a &amp; b&gt;</t>"},
      {OFLTools::MakeXMLNode("t", std::string_view(s)), "<t>&lt;a &amp; b&gt;</t>"},
      {OFLTools::MakeXMLNode("t", static_cast<const char*>(nullptr)), "<t></t>"},
      {OFLTools::MakeXMLNode("Entry", "v", "type=\"1\" name=\"n\""), "<Entry type=\"1\" name=\"n\">v</Entry>"},
      {OFLTools::MakeXMLNode("t", "<b>x</b>", {}, false, false), "<t><b>x</b></t>"},
      {OFLTools::MakeXMLNode("n", int32_t(5), "a=\"1\""), "<n a=\"1\">5</n>"},
      {OFLTools::MakeXMLNode("v", "\xC3\xA4\xE2\x82\xAC\xF0\x9D\x84\x9E", {}, true, true),
       "<v>&#xE4;&#x20AC;&#x1D11E;</v>"},
      {OFLTools::MakeXMLNode("v", "\xC3\xA4", {}, true, false), "<v>\xC3\xA4</v>"},
      {OFLTools::MakeXMLData("<a href=\"x\">&'</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;&apos;&lt;/a&gt;"},
      {OFLTools::MakeXMLData("a\r\nb\tc"), "a&#xD;\nb\tc"}, {OFLTools::MakeXMLData("plain \xC3\xA4"), "plain \xC3\xA4"},
      {OFLTools::MakeXMLTag("Job"), "<Job>"}, {OFLTools::MakeXMLTag("Job", true), "</Job>"},
      {OFLTools::MakeXMLElement("List", "<a>1</a><b/>"), "<List><a>1</a><b/></List>"},
      {OFLTools::MakeXMLElement("List", "", "n=\"0\""), "<List n=\"0\"></List>"},
      {OFLTools::MakeXMLNode("n", INT32_MIN), "<n>-2147483648</n>"},
      {OFLTools::MakeXMLNode("n", UINT32_MAX), "<n>4294967295</n>"},
      {OFLTools::MakeXMLNode("n", INT64_MIN), "<n>-9223372036854775808</n>"},
      {OFLTools::MakeXMLNode("n", UINT64_MAX), "<n>18446744073709551615</n>"},
      // Every integer type a caller may hold, exactly as held.
      {OFLTools::MakeXMLNode("n", -9223372036854775807LL - 1), "<n>-9223372036854775808</n>"},
      {OFLTools::MakeXMLNode("n", 18446744073709551615ULL), "<n>18446744073709551615</n>"},
      {OFLTools::MakeXMLNode("n", 99999999999L), "<n>99999999999</n>"},
      {OFLTools::MakeXMLNode("n", static_cast<unsigned long>(UINT32_MAX)), "<n>4294967295</n>"},
      {OFLTools::MakeXMLNode("n", short{-7}), "<n>-7</n>"}, {OFLTools::MakeXMLNode("n", uint8_t{200}), "<n>200</n>"},
      {OFLTools::MakeXMLNode("n", true), "<n>1</n>"},
      {OFLTools::MakeXMLNode("d", 0.5), "<d>0.5</d>"}, {OFLTools::MakeXMLNode("d", 75.0), "<d>75</d>"},
      {OFLTools::MakeXMLNode("c", 'A'), "<c>A</c>"}, {OFLTools::MakeXMLNode("c", '<'), "<c>&lt;</c>"},
      {ChildData("<r>" + OFLTools::MakeXMLNode("c", '\r') + "</r>"), "\r"},
  };
  for (const auto& [got, want] : cases) EXPECT_EQ(got, want);
  String out = "x";
  OFLTools::AppendXMLTag(out, "A");
  OFLTools::AppendXMLTag(out, "A", true);
  OFLTools::AppendXMLNode(out, "t", INT64_MIN);
  OFLTools::AppendXMLNode(out, "u", 18446744073709551615ULL);
  EXPECT_EQ(out, "x<A></A><t>-9223372036854775808</t><u>18446744073709551615</u>");
  OFLXMLParser p(OFLTools::MakeXMLNode("Entry", "a&b", "name=\"" + OFLTools::MakeXMLData("<n>") + "\""));
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetData(), "a&b");
  EXPECT_EQ(p.GetAttrib("name"), "<n>");
}

TEST(MakeXMLNode, DoublesReadBackExactly) {
  for (double v : {0.0, -0.0, 1.0, -1.5, 0.1, 1.0 / 3.0, 123456789.125, 1e300, -1e-300, DBL_MAX, DBL_MIN, 5e-324,
                   DBL_EPSILON, 2.5e15, 9007199254740993.0}) {
    const String node = OFLTools::MakeXMLNode("d", v), text = RootData(node);
    char* end = nullptr;
    const double back = std::strtod(text.c_str(), &end);
    EXPECT_EQ(*end, '\0') << node;
    EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << node;
  }
}

// Random texts built from the pieces that matter to XML.
String RandomText(std::mt19937& rng) {
  static const std::vector<String> pieces = {
      "a", "Z", "0", " ", "  ", "\t", "\r", "\n", "\r\n", "<", ">", "&", "\"", "'", "]]>", "=", ";", "/", "<![CDATA[",
      "<!--", "-->", "&amp;", "&#65;", "&lt", "\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "{DIP}", "%s", "\\"};
  std::uniform_int_distribution<size_t> len(0, 24), pick(0, pieces.size() - 1);
  String s;
  for (size_t n = len(rng); n > 0; --n) s += pieces[pick(rng)];
  return s;
}

// Random XML-ish texts, and any bytes but NUL (which a C-string based document cannot hold).
TEST(MakeXMLNode, RandomValuesReadBackUnchanged) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int> len(0, 40), byte(1, 255);
  for (int i = 0; i < 3000; ++i) {
    String value;
    if (i % 2 == 0) value = RandomText(rng);
    else for (int n = len(rng); n > 0; --n) value += static_cast<char>(byte(rng));
    SCOPED_TRACE(testing::Message() << "value \"" << value << "\"");
    ExpectRoundTrip(value);
    if (HasFailure()) return;
  }
}

String Shell(const String& command) {
  String out;
  char buf[4096];
  FILE* f = popen(command.c_str(), "r");
  for (size_t n; f && (n = fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
  if (f) pclose(f);
  return out;
}

// A standard parser accepts every packed text and reads the same value. Only values XML 1.0 can carry take part:
// UTF-8 text without control characters other than tab, CR and LF.
TEST(MakeXMLNode, StandardParserAcceptsPackedTextsAndReadsTheSameValue) {
  if (std::system("xmllint --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint is not installed";
  std::string dir = (std::filesystem::temp_directory_path() / "ofl_xmllint_XXXXXX").string();
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  int count = 0;
  auto write = [&](const String& content) {
    const String path = dir + "/t" + std::to_string(count++) + ".xml";
    std::ofstream(path, std::ios::binary) << content;
    return " '" + path + "'";
  };
  std::mt19937 rng(99);
  std::vector<String> values = kValues;
  for (int i = 0; i < 200; ++i) values.push_back(RandomText(rng));
  String files;
  for (const String& value : values) {
    for (const Flags f : kFlagSets) {
      const String node = OFLTools::MakeXMLNode("v", value, {}, f.escape, f.escapeAll);
      OFLXMLParser p("<obj>" + node + "</obj>");
      ASSERT_TRUE(p.FindChildElem());
      for (const String& text :
           {node, OFLTools::MakeXMLNode("outer", node, {}, f.escape, f.escapeAll), p.GetChildSubDoc(), p.GetDoc()})
        files += write(text);
    }
  }
  EXPECT_EQ(Shell("xmllint --noout" + files + " 2>&1"), "");
  for (const String& value : kValues) {
    if (value == "\x7F") continue;  // allowed, but xmllint prints it differently on some versions
    for (bool escapeAll : {false, true}) {
      const String file = write(OFLTools::MakeXMLNode("v", value, {}, true, escapeAll));
      const String out = Shell("xmllint --xpath 'string(/v)'" + file + " 2>/dev/null");
      EXPECT_TRUE(out == value || out == value + "\n")
          << "value \"" << value << "\" read as \"" << out << "\" (escapeAll=" << escapeAll << ")";
    }
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
