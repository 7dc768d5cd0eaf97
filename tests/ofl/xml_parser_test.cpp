#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"

namespace {

using OFL::String;

const String kB = "<b n=\"2\"><c n=\"4\">gamma</c><d>delta</d><c n=\"5\">gamma2</c></b>";
const String kDoc = "<root id=\"r\">\n  <a n=\"1\">alpha</a>\n  " + kB + "\n  <a n=\"3\">alpha2</a>\n  <e/>\n</root>\n";

// Runs steps "<op><arg>=<result><main>/<child>" and gives them back as done: F FindElem, C FindChildElem, I IntoElem,
// O OutOfElem, R/M/K ResetPos/MainPos/ChildPos, S SetDoc, A AddElem, B AddChildElem, T SetAttrib("n", arg),
// U AddChildSubDoc; result 1 or 0, main and child noted by tag and "n" attribute.
String Walk(OFLXMLParser& p, const String& steps) {
  std::istringstream in(steps);
  String out;
  for (String step; in >> step;) {
    const String op = step.substr(0, step.rfind('=')), arg = op.substr(1);
    const char* name = arg.empty() ? nullptr : arg.c_str();
    bool ok = true;
    switch (op[0]) {
      case 'F': ok = p.FindElem(name); break;
      case 'C': ok = p.FindChildElem(name); break;
      case 'I': ok = p.IntoElem(); break;
      case 'O': ok = p.OutOfElem(); break;
      case 'R': p.ResetPos(); break;
      case 'M': p.ResetMainPos(); break;
      case 'K': p.ResetChildPos(); break;
      case 'S': ok = p.SetDoc(arg); break;
      case 'A': ok = p.AddElem(name); break;
      case 'B': ok = p.AddChildElem(name); break;
      case 'T': ok = p.SetAttrib("n", arg); break;
      case 'U': ok = p.AddChildSubDoc(arg); break;
    }
    out += (out.empty() ? "" : " ") + op + (ok ? "=1" : "=0") + p.GetTagName() + p.GetAttrib("n") + "/" +
           p.GetChildTagName() + p.GetChildAttrib("n");
  }
  return out;
}

// The markup of the main (or child) element must parse on its own to an element with the same name and text.
void ExpectSubDocReparses(const OFLXMLParser& p, bool child) {
  const String sub = child ? p.GetChildSubDoc() : p.GetSubDoc();
  OFLXMLParser again(sub);
  ASSERT_TRUE(again.FindElem()) << sub << ": " << again.GetError();
  EXPECT_EQ((std::vector<String>{again.GetTagName(), again.GetData(), again.GetSubDoc()}),
            (std::vector<String>{child ? p.GetChildTagName() : p.GetTagName(), child ? p.GetChildData() : p.GetData(),
                                 sub}));
}

TEST(XMLParserWalk, CursorMoves) {
  const std::pair<String, String> walks[] = {
      // A failed find leaves main where it was; moving main clears the child; resets clear the right cursors.
      {kDoc, "F=1root/ F=0root/ I=1/ F=1a1/ F=1b2/ Fa=1a3/ Fa=0a3/ Fe=1e/ F=0e/ Fmissing=0e/"},
      {"<Root><Item/><item/></Root>", "Froot=0/ FRoot=1Root/ CITEM=0Root/ Citem=1Root/item"},
      {kDoc, "F=1root/ I=1/ Fb=1b2/ C=1b2/c4 Cc=1b2/c5 C=0b2/c5 K=1b2/ Cd=1b2/d F=1a3/ C=0a3/"},
      {kDoc, "Cb=1root/b2"},
      {"", "C=0/ F=0/ I=0/ O=0/"},
      {kDoc, "I=0/ O=0/ Froot=1root/ Cb=1root/b2 I=1b2/ Cd=1b2/d I=1d/ Fd=0d/ I=1/ F=0/ I=0/ O=1d/ O=1b2/d C=1b2/c5 "
             "O=1root/b2 Ca=1root/a3 O=0root/a3"},
      {kDoc, "F=1root/ I=1/ Fb=1b2/ Cd=1b2/d K=1b2/ M=1/ F=1a1/ R=1/ O=0/ F=1root/"},
      {kDoc, "F=1root/ I=1/ Fb=1b2/ S<x><y/></x>=1/ O=0/ F=1x/"},
  };
  for (const auto& [doc, walk] : walks) {
    OFLXMLParser p(doc);
    EXPECT_EQ(Walk(p, walk), walk);
  }
}

TEST(XMLParserRead, DataAttributesAndMarkup) {
  OFLXMLParser p(kDoc);
  EXPECT_EQ(p.GetData() + p.GetAttrib("id") + p.GetSubDoc() + p.GetChildSubDoc() + String(p.GetChildDataView()), "");
  EXPECT_EQ(p.GetDoc(), "<root id=\"r\"><a n=\"1\">alpha</a>" + kB + "<a n=\"3\">alpha2</a><e/></root>");
  ASSERT_TRUE(p.FindElem());
  EXPECT_TRUE(p.HasChildElem());
  // No data beside child elements, attribute names match exactly, no child attributes without a child.
  EXPECT_EQ(p.GetData() + "|" + p.GetAttrib("id") + "|" + p.GetAttrib("ID") + p.GetAttrib("missing") +
                p.GetAttrib(nullptr) + p.GetChildAttrib("n"),
            "|r|");
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_EQ(p.GetChildData() + "|" + p.GetChildAttrib("n") + "|" + p.GetChildAttrib(nullptr), "alpha|1|");
  ASSERT_TRUE(p.FindChildElem("b"));
  EXPECT_EQ(p.GetChildSubDoc(), kB);
  ASSERT_TRUE(p.IntoElem() && p.FindChildElem("d"));
  EXPECT_EQ(p.GetSubDoc() + p.GetChildSubDoc(), kB + "<d>delta</d>");
  ASSERT_TRUE(p.OutOfElem() && p.FindChildElem("e"));
  EXPECT_EQ(p.GetChildData() + p.GetChildSubDoc(), "<e/>");
  ASSERT_TRUE(p.IntoElem());
  EXPECT_FALSE(p.HasChildElem());
  OFLXMLParser q("<a x=\"&lt;&amp;&quot;&apos;&#65;\" y='say \"hi\"'/>");
  ASSERT_TRUE(q.FindElem());
  EXPECT_EQ(q.GetAttrib("x") + "|" + q.GetAttrib("y"), "<&\"'A|say \"hi\"");
}

// Texts are decoded, white space alone kept, line ends normalised, comments and instructions dropped. The print
// (the text itself where none is given) reads back the same, as a root and as a child.
TEST(XMLParserRead, TextIsDecodedAndPrintedToReadBack) {
  struct Case { String doc, data, printed; } const cases[] = {
      {"<a>&lt;tag&gt; &amp; &#65;&#x42;&#xE4;&#x20AC;<![CDATA[<raw> & ]]></a>",
       "<tag> & AB\xC3\xA4\xE2\x82\xAC<raw> & ", "<a>&lt;tag&gt; &amp; AB\xC3\xA4\xE2\x82\xAC<![CDATA[<raw> & ]]></a>"},
      {"<r>a\r\nb\rc&#13;</r>", "a\nb\nc\r", "<r>a\nb\nc&#13;</r>"}, {"<r> x \n</r>", " x \n", ""}, {"<e/>", "", ""},
      {"<v> \t\n </v>", " \t\n ", ""}, {"<b>x<![CDATA[<y>]]>&amp;z</b>", "x<y>&z", ""}, {"<c><d/>t</c>", "", ""},
      {"<g>&#x41;<![CDATA[]]></g>", "A", "<g>A<![CDATA[]]></g>"}, {"<c><![CDATA[<x>]]></c>", "<x>", ""},
      {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- c --><?pi x?>\n<a>x<!--y-->z</a>\n", "xz",
       "<a>xz</a>"},
  };
  for (const Case& c : cases) {
    const String printed = c.printed.empty() ? c.doc : c.printed;
    OFLXMLParser p(c.doc), wrapped("<w>" + printed + "</w>");
    ASSERT_TRUE(p.FindElem() && wrapped.FindChildElem()) << c.doc;
    EXPECT_EQ((std::vector<String>{p.GetData(), String(p.GetDataView()), wrapped.GetChildData(),
                                   String(wrapped.GetChildDataView())}),
              std::vector<String>(4, c.data));
    EXPECT_EQ(p.GetDoc(), printed);
    ExpectSubDocReparses(p, false);
    ExpectSubDocReparses(wrapped, true);
  }
}

// Whatever stands before the root (byte order mark, declaration, comments,
// instructions, white space) changes nothing that is read of it.
TEST(XMLParserRead, WhatStandsBeforeTheRootChangesNothing) {
  const String root = "<r a='1' b=\"&gt;2\" c='x&#9;y'>t&amp;u</r>";
  const auto read = [](const String& doc) {
    OFLXMLParser p;
    std::vector<String> out{std::to_string(p.SetDoc(doc)), std::to_string(p.FindElem("r")), p.GetData(),
                            p.GetAttrib("b"), p.GetDoc()};
    String name, value;
    for (size_t i = 0; p.GetNthAttrib(i, name, value); ++i) out.push_back(name + "=" + value);
    return out;
  };
  const std::vector<String> plain = read(root);
  EXPECT_EQ(plain, (std::vector<String>{"1", "1", "t&u", ">2", "<r a=\"1\" b=\">2\" c=\"x&#09;y\">t&amp;u</r>",
                                        "a=1", "b=>2", "c=x\ty"}));
  for (const String prolog :
       {"\xEF\xBB\xBF", "<?xml version='1.0'?>", "<!-- relay -->", "<!--c-->", "<!-- a > b <r x='9'> -->",
        "<?pi <r x='9'>?>", " \r\n\t", "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!--1--><?p?> <!--2-->\n"})
    EXPECT_EQ(read(prolog + root + "<!--after-->\n"), plain) << prolog;
  OFLXMLParser none;
  String name = "n", value = "v";
  EXPECT_FALSE(none.GetNthAttrib(0, name, value));
  EXPECT_TRUE(none.SetDoc("<e/>") && none.FindElem() && !none.GetNthAttrib(0, name, value));
  EXPECT_EQ(name + value, "nv");
  // Any order of indexes, and an attribute added in between.
  ASSERT_TRUE(none.SetDoc("<e a='1' b='2' c='3'/>") && none.FindElem());
  String got;
  for (const size_t i : {2, 0, 1, 1, 3}) got += none.GetNthAttrib(i, name, value) ? name + value : "-";
  ASSERT_TRUE(none.SetAttrib("d", "4"));
  for (const size_t i : {3, 2}) got += none.GetNthAttrib(i, name, value) ? name + value : "-";
  EXPECT_EQ(got, "c3a1b2b2-d4c3");
}

// Only one well-formed document with a single root element loads; whatever
// the underlying parser would let through is refused too.
TEST(XMLParserSetDoc, MalformedTextLeavesAnEmptyDocument) {
  const std::vector<String> bad = {
      "", "   ", "text only", "<a>", "<a></b>", "<a><b></a></b>", "<a x=1/>", "<a x=\"1></a>", "<1a/>", "</a>",
      "<a/", "<<a/>", "<!-- c -->", "<?xml version=\"1.0\"?>", "<a><![CDATA[x</a>", "<a>\xEF\xBB\xBF",
      // Outside the root.
      "abc<a/>", "<a/>abc", "<a/><b/>", "<a/><a/>", " x <a/>", "<a/>&amp;", "<a/><![CDATA[x]]>", "<a/>x>",
      "<a>y</a> x> ", "<a/>\"", "'<a/>",
      "<!DOCTYPE a><a/>", "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", "<a/><?xml version=\"1.0\"?>",
      " <?xml version=\"1.0\"?><a/>", "<a/><!-- - -- -->", "<a/><!-- c", "<?xml version='1.0'", "<a/><?XML x?>",
      // References.
      "<a>&foo;</a>", "<a>a & b</a>", "<a>&amp</a>", "<a>&#;</a>", "<a>&#x;</a>", "<a>&#xD800;</a>",
      "<a>&#x110000;</a>", "<a>&#99999999999;</a>", "<a>&#X41;</a>", "<a>&#12a;</a>", "<a x=\"&nbsp;\"/>",
      "<a x=\"a&b\"/>", "<a>&#xDFFF;</a>", "<a>&#xFFFE;</a>", "<a>&#xFFFF;</a>",
      // Tags and attributes.
      "<a x=\"1\" x=\"2\"/>", "<a x=\"1\"x=\"2\"/>", "<a x=\"<\"/>", "<a x/>", "<a =\"1\"/>", "<a x=\"1\"",
      "<a></a >x", "<a>]]></a>", "<r>\"q\"<a x=\"1\" x=\"2\"/></r>", "<r><a x='1'/>'<b y=\"<\"/></r>", "<a><!DOCTYPE a></a>", "<a><?xml x?></a>", "<a><?></a>", "<a><!-- -- --></a>",
      // Zero bytes.
      String("<a/>\0", 5), String("<a>x\0</a>", 9), String("\0<a/>", 5)};
  OFLXMLParser holder("<h/>");
  ASSERT_TRUE(holder.FindElem());
  for (const String& text : bad) {
    OFLXMLParser p(kDoc);
    EXPECT_FALSE(p.SetDoc(text) || p.GetError().empty()) << text;
    EXPECT_EQ(p.GetDoc() + p.GetSubDoc(), "") << text;
    EXPECT_FALSE(p.FindElem() || p.FindChildElem() || p.IntoElem()) << text;
    EXPECT_FALSE(holder.AddChildSubDoc(text) || holder.AddSubDoc(text)) << text;
    EXPECT_EQ(holder.GetDoc(), "<h/>") << text;
  }
  const std::vector<String> good = {
      "<a/>", " \r\n\t<a/> \n", "<?xml version=\"1.0\"?><a/>", "<?xml version='1.0' encoding='UTF-8'?>\n<a/>\n",
      "\xEF\xBB\xBF<a/>", "<!-- c --><?pi x?><a/><!-- d --><?pi?>", "<a>&lt;&gt;&amp;&quot;&apos;&#65;&#x1F600;</a>",
      "<a x='\"' y=\"'\" z=\">\"/>", "<a><![CDATA[<&]]]></a>", "<a>]] ></a>", "<a>&#1;&#x1F;\x01\x7F</a>",
      "<a b=\"1\" c=\"2\" d=\"3\" e=\"4\" f=\"5\" g=\"6\" h=\"7\" i=\"8\" j=\"9\"/>", "<a><?xml-stylesheet x?></a>",
      "<a:b c:d=\"1\">\xC3\xBC</a:b >", "<?xml-stylesheet x?><a/>", "<a><!----></a>",
      "<a>&#xD7FF;&#xE000;&#xFFFD;&#x10000;&#x10FFFF;</a>", "<a>&#0;&#x00;</a>",
      "<r>\"hi\" > 'x'<a x=\"1>\" y='&amp;'>\"</a></r>"};
  OFLXMLParser p;
  for (const String& text : good) EXPECT_TRUE(p.SetDoc(text) && p.GetError().empty()) << text << ": " << p.GetError();
  const std::pair<String, String> errors[] = {
      {"<a b=\"1\" c=\"2\" d=\"3\" e=\"4\" f=\"5\" g=\"6\" h=\"7\" i=\"8\" j=\"9\" c=\"0\"/>",
       "duplicate attribute at offset 57"},
      {"<a>x</a>y", "text outside the root element at offset 8"}, {"<a>x</a><b/>", "a second root element at offset 8"},
      {"<a x='1'>x</a>y", "text outside the root element at offset 14"},
      {"<a x y='1'/>", "attribute without \"=\" at offset 5"}};
  for (const auto& [text, error] : errors)
    EXPECT_EQ((std::vector<String>{std::to_string(p.SetDoc(text)), p.GetError()}), (std::vector<String>{"0", error}));
  EXPECT_FALSE(p.SetDoc(nullptr, 4) || p.SetDoc("<a/>", 0));
  EXPECT_TRUE(p.SetDoc("<a/>xyz", 4) && p.GetError().empty());  // only `length` bytes count
  EXPECT_EQ(p.GetDoc(), "<a/>");
}

TEST(XMLParserBuild, AddElemAndAddChildElemBuildADocument) {
  OFLXMLParser p, top("<a/>");
  // AddElem goes after main, or last on its level without one; AddChildElem needs a main.
  const String steps = "Bx=0/ Aroot=1root/ Bx=1root/x By=1root/y I=1y/ Az=1z/ M=1/ Fx=1x/ Aw=1w/ M=1/ Alast=1last/";
  EXPECT_EQ(Walk(p, steps), steps);
  EXPECT_EQ(p.GetDoc(), "<root><x/><w/><y/><z/><last/></root>");
  EXPECT_EQ(Walk(top, "F Ab"), "F=1a/ Ab=1b/");  // a sibling of main at the top
  EXPECT_EQ(top.GetDoc(), "<a/><b/>");
  // Names are written as given, so what is not an XML name is refused.
  EXPECT_FALSE(p.AddElem(nullptr) || p.SetAttrib(nullptr, "v"));
  for (const char* name : {"", "a b", "<x", "1x", "-x", ".x", "@", "[", "`", "{", "a/", "a=\"1\""})
    EXPECT_FALSE(p.AddElem(name) || p.AddChildElem(name) || p.SetAttrib(name, "v")) << name;
  EXPECT_EQ(p.GetTagName(), "last");
  for (const char* name : {"a", "z", "A", "Z", "_", ":", "\x80x", "\xC3\xA4", "a0.9-:"}) {
    OFLXMLParser q;
    EXPECT_TRUE(q.AddElem(name) && q.AddChildElem(name) && q.SetAttrib(name, "v") && q.SetChildAttrib(name, "v"));
    EXPECT_TRUE(OFLXMLParser().SetDoc(q.GetDoc())) << q.GetDoc();
  }
}

TEST(XMLParserBuild, SetAttribSetDataAndSubDocs) {
  OFLXMLParser p("<r a=\"1\"><c x=\"1\">t</c></r>");
  EXPECT_FALSE(p.SetAttrib("a", "2") || p.SetData("x") || p.AddChildSubDoc("<s/>"));  // no main
  ASSERT_TRUE(p.FindElem());
  EXPECT_FALSE(p.SetChildAttrib("x", "2") || p.SetChildData("x"));  // no child
  ASSERT_TRUE(p.SetAttrib("a", "2") && p.SetAttrib("b", ""));
  ASSERT_TRUE(p.FindChildElem() && p.SetChildAttrib("x", "3") && p.SetChildData("new"));
  EXPECT_EQ(p.GetDoc(), "<r a=\"2\" b=\"\"><c x=\"3\">new</c></r>");
  ASSERT_TRUE(p.SetData("lead"));  // before the child elements, which stay
  EXPECT_EQ(p.GetDoc(), "<r a=\"2\" b=\"\">lead<c x=\"3\">new</c></r>");
  ASSERT_TRUE(p.SetChildData(""));
  EXPECT_EQ(p.GetDoc(), "<r a=\"2\" b=\"\">lead<c x=\"3\"/></r>");
  // Markup goes in whole, after main or as the last child; what is not one element is refused.
  ASSERT_TRUE(p.AddChildSubDoc("<?xml version=\"1.0\"?><s k=\"v\"><t>&lt;x&gt;</t></s>"));
  EXPECT_FALSE(p.AddChildSubDoc("<s>") || p.AddChildSubDoc("") || p.AddChildSubDoc("plain text"));
  EXPECT_EQ(p.GetChildTagName() + p.GetChildAttrib("k"), "sv");
  ASSERT_TRUE(p.IntoElem());
  p.ResetMainPos();
  ASSERT_TRUE(p.FindElem("c") && p.AddSubDoc("<n>1</n>"));
  EXPECT_FALSE(p.AddSubDoc("<n>") || p.AddSubDoc("</n>"));
  EXPECT_EQ(p.GetTagName(), "n");
  EXPECT_EQ(p.GetDoc(), "<r a=\"2\" b=\"\">lead<c x=\"3\"/><n>1</n><s k=\"v\"><t>&lt;x&gt;</t></s></r>");
  OFLXMLParser empty;
  ASSERT_TRUE(empty.AddSubDoc("<only>x</only>"));
  EXPECT_EQ(empty.GetDoc() + empty.GetData(), "<only>x</only>x");
}

// Views of texts of several pieces stay valid until the document changes, also when a record is read twice.
TEST(XMLParserViews, ViewsChildTagIsAndRecords) {
  OFLXMLParser p("<r><a>1<![CDATA[2]]>3</a><b>4<![CDATA[5]]></b><Name>6</Name></r>");
  EXPECT_FALSE(p.ChildTagIs("Name"));  // no child yet
  ASSERT_TRUE(p.FindChildElem("a"));
  const std::string_view a = p.GetChildDataView(), again = p.GetChildDataView();
  ASSERT_TRUE(p.FindChildElem("b"));
  const std::string_view b = p.GetChildDataView();
  p.ResetChildPos();
  ASSERT_TRUE(p.FindChildElem("Name"));
  EXPECT_EQ((std::vector<std::string_view>{a, again, b, p.GetChildTagNameView()}),
            (std::vector<std::string_view>{"123", "123", "45", "Name"}));
  EXPECT_TRUE(p.ChildTagIs("Name") && p.ChildTagIs("NAME") && p.ChildTagIs("Name", false));
  EXPECT_FALSE(p.ChildTagIs("name", false));
  for (const char* other : {"Nam", "Names", "", "Nbme", "Na\0e"}) EXPECT_FALSE(p.ChildTagIs(other)) << other;
  EXPECT_FALSE(p.ChildTagIs(std::string_view("Name\0", 5)));

  // A record: a later element wins, one holding an element has no text, entries without an element stay.
  OFLXMLParser q(
      "<r><rec><B>b1</B><a>a1</a><skip>s</skip><A>a2<x/></A><b>b<![CDATA[2]]></b>text<c>c</c></rec><none/></r>");
  const std::initializer_list<std::string_view> tags = {"a", "b", "c", "d"}, reversed = {"d", "c", "b", "a"};
  std::string_view data[4] = {"", "", "", "kept"}, back[4], fewer[1], none[2] = {"x", "y"};
  EXPECT_FALSE(q.GetChildFieldViews(tags, data));  // no child element yet
  ASSERT_TRUE(q.FindChildElem() && q.GetChildFieldViews(tags, data) && q.GetChildFieldViews(reversed, back));
  ASSERT_TRUE(q.GetChildFieldViews(tags, fewer) && q.FindChildElem() && q.GetChildFieldViews(tags, none));
  EXPECT_EQ((std::vector<std::string_view>{data[0], data[1], data[2], data[3], back[0], back[1], back[2], back[3],
                                           fewer[0], none[0], none[1], q.GetChildTagNameView()}),
            (std::vector<std::string_view>{"", "b2", "c", "kept", "", "c", "b2", "", "", "x", "y", "none"}));
}

TEST(XMLParserWalk, ForEachChildElemIsTheFindChildElemLoop) {
  OFLXMLParser p("<r>t<a/><b><x/></b>u<c/></r>");
  std::vector<String> seen;
  p.ForEachChildElem([&](std::string_view tag) {
    seen.emplace_back(tag);
    EXPECT_EQ(p.GetChildTagNameView(), tag);
  });
  EXPECT_EQ(seen, (std::vector<String>{"a", "b", "c"}));
  EXPECT_EQ(p.GetTagName() + "/" + p.GetChildTagName(), "r/c");  // main found first, as FindChildElem does
  // The walk goes on from wherever the callback leaves the child cursor.
  seen.clear();
  p.ResetChildPos();
  p.ForEachChildElem([&](std::string_view tag) {
    seen.emplace_back(tag);
    EXPECT_TRUE(tag != "b" || (p.IntoElem() && p.FindChildElem("x") && p.OutOfElem()));
    if (tag == "b" && seen.size() == 2) p.ResetChildPos();
  });
  EXPECT_EQ(seen, (std::vector<String>{"a", "b", "a", "b", "c"}));
  OFLXMLParser empty;
  empty.ForEachChildElem([&](std::string_view) { ADD_FAILURE(); });
}

// What a parser gives for the same reads, moves and writes, in this order.
std::vector<String> Transcript(OFLXMLParser& p) {
  std::vector<String> out{p.GetDoc(), p.GetError(), Walk(p, "O F F"), p.GetSubDoc(), p.GetData()};
  while (p.FindChildElem()) out.push_back(p.GetChildTagName() + "=" + p.GetChildData() + ":" + p.GetChildSubDoc());
  out.insert(out.end(), {Walk(p, "I F C O O O R C Badded Tw Asibling"), p.GetDoc(), Walk(p, "M F U<sub>x</sub>")});
  out.push_back(p.GetDoc());
  return out;
}

// Loading a parser's child acts as loading the child's markup, and leaves the source as it was.
void ExpectLoadsAsTheMarkup(const OFLXMLParser& source) {
  const String sub = source.GetChildSubDoc();
  OFLXMLParser printed, inPlace;
  ASSERT_EQ(printed.SetDoc(sub), inPlace.SetDocFromChild(source)) << sub;
  EXPECT_EQ(Transcript(inPlace), Transcript(printed)) << sub;
  EXPECT_EQ(source.GetChildSubDoc(), sub);
}

TEST(XMLParserSubDoc, SetDocFromChildActsAsLoadingTheChildMarkup) {
  // Among them text that parsing the print drops: empty, and white space from references beside other nodes.
  const String doc =
      "<list><item n=\"1\"><a>x</a><b>y<c/></b></item><item>&#10;<a>lost beside elements</a></item>"
      "<item><a>&#32;</a><b><![CDATA[]]></b></item><item/><item>t</item><item>&#10;<![CDATA[x]]></item>"
      "<item>&#10;<c/></item><item><a><b/></a>&#10;<c/></item></list>";
  OFLXMLParser source(doc);
  int items = 0;
  for (; source.FindChildElem(); ++items) ExpectLoadsAsTheMarkup(source);
  EXPECT_EQ(items, 8);
  EXPECT_EQ(source.GetDoc(), OFLXMLParser(doc).GetDoc());
  // Sources that read another's child, that changed, that have no child.
  OFLXMLParser nested("<r><e><f><g>1</g></f></e></r>"), view;
  ASSERT_TRUE(nested.FindChildElem() && view.SetDocFromChild(nested) && view.FindChildElem());
  ExpectLoadsAsTheMarkup(view);
  ASSERT_TRUE(nested.SetChildData("  ") && nested.AddChildElem("n"));
  nested.ResetChildPos();
  ASSERT_TRUE(nested.FindChildElem());
  ExpectLoadsAsTheMarkup(nested);
  nested.ResetChildPos();
  ExpectLoadsAsTheMarkup(nested);

  // Its own child, directly or through a parser reading it.
  OFLXMLParser self("<r><e>x</e></r>"), back("<r><e><f>1</f></e></r>"), reader;
  ASSERT_TRUE(self.FindChildElem() && self.SetDocFromChild(self));
  EXPECT_EQ(self.GetDoc(), "<e>x</e>");
  ASSERT_TRUE(back.FindChildElem() && reader.SetDocFromChild(back));
  ASSERT_TRUE(reader.FindChildElem() && back.SetDocFromChild(reader));
  EXPECT_EQ(back.GetDoc(), "<f>1</f>");
}

// A reference to NUL reads as NUL wherever it stands; CDATA stays literal.
// Writing a text that holds NUL keeps it, and every other text as it was.
TEST(XMLParserNul, ReferencesToNulReadAsNulAndWrittenNulsStay) {
  const String nul("\0", 1);
  const String doc = "<r x='a&#0;\"b' y=\"&lt;&#10;\"><t>c&#x00;d<![CDATA[&#0;]]></t><e z='1'>&#0;&amp;</e></r>";
  OFLXMLParser p(doc), wrapped("<w>" + doc + "</w>");
  const auto reads = [&](OFLXMLParser& q) {
    std::vector<String> out{q.GetAttrib("x"), q.GetAttrib("y")};
    String name, value;
    for (size_t i = 0; q.GetNthAttrib(i, name, value); ++i) out.push_back(name + "=" + value);
    while (q.FindChildElem())
      out.insert(out.end(), {q.GetChildData(), String(q.GetChildDataView()), q.GetChildAttrib("z")});
    return out;
  };
  const std::vector<String> want{"a" + nul + "\"b", "<\n", "x=a" + nul + "\"b", "y=<\n", "c" + nul + "d&#0;",
                                 "c" + nul + "d&#0;", "", nul + "&", nul + "&", "1"};
  ASSERT_TRUE(p.FindElem() && wrapped.FindChildElem());
  EXPECT_EQ(reads(p), want);
  OFLXMLParser again(p.GetDoc()), child;
  ASSERT_TRUE(again.FindElem() && child.SetDocFromChild(wrapped) && child.FindElem());
  EXPECT_EQ(reads(again), want) << p.GetDoc();
  EXPECT_EQ(reads(child), want);
  p.ResetChildPos();
  ExpectSubDocReparses(p, false);
  ASSERT_TRUE(p.FindChildElem());
  ExpectSubDocReparses(p, true);

  // Writes, into a document that held no NUL before.
  OFLXMLParser w("<r a='&quot;q&apos;' b='x&#9;y'>t&lt;<c>&#13;</c></r>");
  ASSERT_TRUE(w.FindElem() && w.SetAttrib("n", "1" + nul + "\t") && w.AddChildElem("d", nul + "<"));
  ASSERT_TRUE(w.AddChildSubDoc("<s k='&#0;'>&#0;</s>") && w.SetChildAttrib("m", nul));
  for (OFLXMLParser* q : {&w, &again}) {
    if (q == &again) {
      ASSERT_TRUE(again.SetDoc(w.GetDoc()) && again.FindElem()) << w.GetDoc();
    }
    EXPECT_EQ((std::vector<String>{q->GetAttrib("a"), q->GetAttrib("b"), q->GetAttrib("n")}),
              (std::vector<String>{"\"q'", "x\ty", "1" + nul + "\t"}));
    q->ResetChildPos();
    std::vector<String> children;
    while (q->FindChildElem())
      children.push_back(q->GetChildData() + "|" + q->GetChildAttrib("k") + q->GetChildAttrib("m"));
    EXPECT_EQ(children, (std::vector<String>{"\r|", nul + "<|", nul + "|" + nul + nul}));
  }
}

TEST(XMLParserEscape, EscapeAndUnescapeText) {
  EXPECT_EQ(OFLXMLParser::EscapeText("a<b>&\"'\r\n\t") + "|" + OFLXMLParser::EscapeText("a<b>&\"'\r", 1) + "|" +
                OFLXMLParser::EscapeText(""),
            "a&lt;b&gt;&amp;&quot;&apos;&#xD;\n\t|a&lt;b&gt;&amp;\"'&#xD;|");
  EXPECT_EQ(OFLXMLParser::UnescapeText("&lt;&gt;&amp;&quot;&apos;&#65;&#x42;&#X43;&#xe4;&#9;&#x1F600;&amp;lt;"),
            "<>&\"'ABC\xC3\xA4\t\xF0\x9F\x98\x80&lt;");  // one level only
  for (const String kept : {"&", "&;", "&unknown;", "&#;", "&#x;", "&#xZZ;", "&#12a;", "a & b", "&lt", "&#x110000;",
                            "&#99999999999999;"})
    EXPECT_EQ(OFLXMLParser::UnescapeText(kept), kept);
  // Escaped in every way and read again, characters at both ends of each UTF-8 length included.
  const String all =
      "<tag a=\"1\"> & 'x' \r\n\t\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF ]]>";
  String escapedAll;
  OFLTools::AppendXMLData(escapedAll, all, true);
  for (const String& escaped : {OFLXMLParser::EscapeText(all), OFLXMLParser::EscapeText(all, 1), escapedAll})
    EXPECT_EQ(OFLXMLParser::UnescapeText(escaped), all) << escaped;
}

}  // namespace
