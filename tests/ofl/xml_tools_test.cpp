#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"

namespace {

using OFL::String;

// Markup, quotes, white space at the ends and alone, line ends of every kind, non-ASCII text, look-alike markup.
const std::vector<String> kValues = {
    "", "plain", "<", ">", "&", "\"", "'", "<tag attr=\"v\">&amp;</tag>", "a < b && c > d", "'single' and \"double\"",
    " ", "   ", "\t", " \t \t ", "  leading", "trailing  ", "  both  ", "\n", "\r", "\r\n", "\n\r", "\r\r\n\n",
    "line1\nline2", "line1\r\nline2\r\n", "mac\rline", " \r\n ", "\tindented\r\n\tblock\t",
    "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F", "\xE2\x82\xAC 100", "\xF0\x9D\x84\x9E", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
    "]]>", "<![CDATA[x]]>", "<!-- not a comment -->", "<?pi x?>", "&lt;&amp;&#65;&#x42;&unknown;", "&#13;",
    "C:\\Program Files\\x=y;z", "{DIP}\\WipeDisk", "%s %d %%", "\x7F",
};

String RootData(const String& doc) {
  OFLXMLParser p(doc);
  EXPECT_TRUE(p.FindElem()) << doc;
  return p.GetData();
}

// Every way a packed value is read back in this library gives the value: as a child of an object, as a root of its
// own, handed on as markup (as nested objects are), copied into another document and written out whole, and
// carried as the value of another node; so does what the parser writes itself, as text and attribute values.
void ExpectRoundTrip(const String& value) {
  for (const auto& [escape, escapeAll] : {std::pair{true, false}, {true, true}, {false, true}}) {
    SCOPED_TRACE(testing::Message() << "escape=" << escape << " escapeAll=" << escapeAll);
    const String node = OFLTools::MakeXMLNode("v", value, {}, escape, escapeAll);
    OFLXMLParser p("<obj><before>x</before>" + node + "<after/></obj>"), copy;
    ASSERT_TRUE(p.FindChildElem("v")) << node;
    ASSERT_TRUE(copy.AddElem("outer") && copy.AddChildSubDoc(p.GetChildSubDoc()));
    OFLXMLParser reread(copy.GetDoc());
    ASSERT_TRUE(reread.FindChildElem("v"));
    EXPECT_EQ((std::vector<String>{p.GetChildData(), RootData(node), RootData(p.GetChildSubDoc()),
                                   reread.GetChildData(), RootData(RootData(OFLTools::MakeXMLNode("outer", node)))}),
              std::vector<String>(5, value));
    EXPECT_EQ(RootData(OFLTools::MakeXMLNode("outer", node, {}, escape, escapeAll)), node);
  }
  OFLXMLParser w;
  ASSERT_TRUE(w.AddElem("r", value) && w.SetAttrib("a", value) && w.AddChildElem("c", value));
  ASSERT_TRUE(w.SetChildAttrib("a", value));
  OFLXMLParser r(w.GetDoc());
  ASSERT_TRUE(r.FindChildElem()) << w.GetDoc();
  EXPECT_EQ((std::vector<String>{r.GetAttrib("a"), r.GetChildData(), r.GetChildAttrib("a")}),
            std::vector<String>(3, value));
  String appended = "x";
  OFLTools::AppendXMLNode(appended, "v", value);
  EXPECT_EQ(appended, "x" + OFLTools::MakeXMLNode("v", value));
}

// Fixed texts, random texts built from the pieces that matter to XML, and any bytes but NUL (which a C-string based
// document cannot hold), not UTF-8 too.
TEST(MakeXMLNode, ValuesReadBackUnchanged) {
  static const std::vector<String> pieces = {
      "a", "Z", "0", " ", "  ", "\t", "\r", "\n", "\r\n", "<", ">", "&", "\"", "'", "]]>", "=", ";", "/", "<![CDATA[",
      "<!--", "-->", "&amp;", "&#65;", "&lt", "\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "{DIP}", "%s", "\\"};
  std::vector<String> text = kValues;
  std::vector<String> bytes = {"\xFF", "a\xC3", "\xC3(", "\xE2\x82", "\xED\xA0\x80", "\xC0\xAF", "\x80\x80",
                               "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80"};  // overlong, past U+10FFFF
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int> len(0, 40), byte(1, 255), pick(0, int(pieces.size()) - 1);
  for (int i = 0; i < 1500; ++i) {
    text.emplace_back();
    bytes.emplace_back();
    for (int n = len(rng); n > 0; --n) bytes.back() += static_cast<char>(byte(rng));
    for (int n = len(rng) * 3 / 5; n > 0; --n) text.back() += pieces[size_t(pick(rng))];
  }
  for (const std::vector<String>* values : {&text, &bytes}) {
    for (const String& value : *values) {
      SCOPED_TRACE(testing::Message() << "value \"" << value << "\"");
      ExpectRoundTrip(value);
      // escapeAll writes UTF-8 text as printable ASCII only.
      for (unsigned char c : OFLTools::MakeXMLNode("v", value, {}, true, true))
        ASSERT_TRUE((c >= 0x20 && c < 0x7F) || c == '\t' || c == '\n' || values == &bytes) << "byte " << int(c);
      if (HasFailure()) return;
    }
  }
}

// Integers of any type are written exactly as held, made or appended.
template <class... I>
void ExpectIntegerNodes(I... values) {
  String appended;
  (OFLTools::AppendXMLNode(appended, "n", values), ...);
  EXPECT_EQ(appended, (("<n>" + std::to_string(values) + "</n>") + ...));
  EXPECT_EQ((OFLTools::MakeXMLNode("n", values) + ...), appended);
}

TEST(MakeXMLNode, ExactTextsAndDoubles) {
  ExpectIntegerNodes(int32_t(5), INT32_MIN, UINT32_MAX, INT64_MIN, UINT64_MAX, -9223372036854775807LL - 1,
                     18446744073709551615ULL, 99999999999L, static_cast<unsigned long>(UINT32_MAX), LONG_MIN,
                     short{-7}, SHRT_MIN, USHRT_MAX, uint8_t{200}, int8_t{-128}, true, false);
  const String s = "<a & b>", escaped = "<t>&lt;a &amp; b&gt;</t>";
  const std::pair<String, String> cases[] = {
      {OFLTools::MakeXMLNode("t", s), escaped}, {OFLTools::MakeXMLNode("t", s.c_str()), escaped},
      {OFLTools::MakeXMLNode("t", std::string_view(s)), escaped},
      {OFLTools::MakeXMLNode("t", static_cast<const char*>(nullptr)), "<t></t>"},
      {OFLTools::MakeXMLNode("Entry", "v", "type=\"1\" name=\"n\""), "<Entry type=\"1\" name=\"n\">v</Entry>"},
      {OFLTools::MakeXMLNode("n", int32_t(5), "a=\"1\""), "<n a=\"1\">5</n>"},
      {OFLTools::MakeXMLNode("t", "<b>x</b>", {}, false, false), "<t><b>x</b></t>"},
      {OFLTools::MakeXMLNode("v", "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", {},
                             true, true),  // both ends of each UTF-8 length
       "<v>&#x80;&#x7FF;&#x800;&#xFFFF;&#x10000;&#x10FFFF;</v>"},
      {OFLTools::MakeXMLNode("v", "\xC3\xA4", {}, true, false), "<v>\xC3\xA4</v>"},
      {OFLTools::MakeXMLData("<a href=\"x\">&'</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;&apos;&lt;/a&gt;"},
      {OFLTools::MakeXMLData("a\r\nb\tc"), "a&#xD;\nb\tc"}, {OFLTools::MakeXMLData("plain \xC3\xA4"), "plain \xC3\xA4"},
      {OFLTools::MakeXMLData("\x01\x1F \x7F"), "&#x1;&#x1F; \x7F"}, {OFLTools::MakeXMLTag("Job"), "<Job>"},
      {OFLTools::MakeXMLTag("Job", true), "</Job>"}, {OFLTools::MakeXMLElement("L", "<a/><b/>"), "<L><a/><b/></L>"},
      {OFLTools::MakeXMLElement("L", "", "n=\"0\""), "<L n=\"0\"></L>"}, {OFLTools::MakeXMLNode("c", 'A'), "<c>A</c>"},
      {OFLTools::MakeXMLNode("d", 0.5), "<d>0.5</d>"}, {OFLTools::MakeXMLNode("d", 75.0), "<d>75</d>"},
      {OFLTools::MakeXMLNode("c", '<'), "<c>&lt;</c>"}, {RootData(OFLTools::MakeXMLNode("c", '\r')), "\r"},
  };
  for (const auto& [got, want] : cases) EXPECT_EQ(got, want);
  String out = "x";
  OFLTools::AppendXMLTag(out, "A");
  OFLTools::AppendXMLTag(out, "A", true);
  EXPECT_EQ(out, "x<A></A>");
  OFLXMLParser p(OFLTools::MakeXMLNode("Entry", "a&b", "name=\"" + OFLTools::MakeXMLData("<n>") + "\""));
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetData() + "|" + p.GetAttrib("name"), "a&b|<n>");
  // Doubles as the shortest text that reads back to the same value.
  for (double v : {0.0, -0.0, 1.0, -1.5, 0.1, 1.0 / 3.0, 123456789.125, 1e300, -1e-300, DBL_MAX, DBL_MIN, 5e-324,
                   DBL_EPSILON, 2.5e15, 9007199254740993.0}) {
    const String node = OFLTools::MakeXMLNode("d", v), text = RootData(node);
    char* end = nullptr;
    const double back = std::strtod(text.c_str(), &end);
    EXPECT_TRUE(*end == '\0' && std::memcmp(&back, &v, sizeof v) == 0) << node;
  }
}

}  // namespace
