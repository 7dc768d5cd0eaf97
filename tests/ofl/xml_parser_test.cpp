#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ofl/xml_parser.h"

namespace {

using OFL::String;

const String kDoc =
    "<root id=\"r\">\n"
    "  <a n=\"1\">alpha</a>\n"
    "  <b n=\"2\"><c>gamma</c><d>delta</d><c>gamma2</c></b>\n"
    "  <a n=\"3\">alpha2</a>\n"
    "  <e/>\n"
    "</root>\n";

const String kB = "<b n=\"2\"><c>gamma</c><d>delta</d><c>gamma2</c></b>";

// The markup of the main (or child) element must parse on its own to an
// element with the same name, attributes and text.
void ExpectSubDocReparses(const OFLXMLParser& p, bool child) {
  const String sub = child ? p.GetChildSubDoc() : p.GetSubDoc();
  OFLXMLParser again;
  ASSERT_TRUE(again.SetDoc(sub)) << sub << ": " << again.GetError();
  ASSERT_TRUE(again.FindElem());
  EXPECT_EQ(again.GetTagName(), child ? p.GetChildTagName() : p.GetTagName());
  EXPECT_EQ(again.GetData(), child ? p.GetChildData() : p.GetData());
  EXPECT_EQ(again.GetSubDoc(), sub);
}

TEST(XMLParserFind, FindElemWalksSiblingsWithAndWithoutNames) {
  OFLXMLParser p(kDoc);
  EXPECT_EQ(p.GetTagName(), "");
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetTagName(), "root");
  EXPECT_FALSE(p.FindElem());  // a single root
  EXPECT_EQ(p.GetTagName(), "root");
  ASSERT_TRUE(p.IntoElem());
  EXPECT_EQ(p.GetTagName(), "");
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetTagName(), "a");
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetTagName(), "b");
  ASSERT_TRUE(p.FindElem("a"));
  EXPECT_EQ(p.GetAttrib("n"), "3");
  EXPECT_FALSE(p.FindElem("a"));
  EXPECT_EQ(p.GetAttrib("n"), "3");  // main stays where it was
  ASSERT_TRUE(p.FindElem("e"));
  EXPECT_FALSE(p.FindElem());
  EXPECT_EQ(p.GetTagName(), "e");
  EXPECT_FALSE(p.FindElem("missing"));
}

TEST(XMLParserFind, NamesMatchExactly) {
  OFLXMLParser p("<Root><Item/><item/></Root>");
  EXPECT_FALSE(p.FindElem("root"));
  ASSERT_TRUE(p.FindElem("Root"));
  EXPECT_FALSE(p.FindChildElem("ITEM"));
  ASSERT_TRUE(p.FindChildElem("item"));
  EXPECT_EQ(p.GetChildTagName(), "item");
}

TEST(XMLParserFind, FindChildElemWalksChildrenOfMain) {
  OFLXMLParser p(kDoc);
  ASSERT_TRUE(p.FindElem());
  ASSERT_TRUE(p.IntoElem());
  ASSERT_TRUE(p.FindElem("b"));
  EXPECT_EQ(p.GetChildTagName(), "");
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_EQ(p.GetChildData(), "gamma");
  ASSERT_TRUE(p.FindChildElem("c"));  // skips d
  EXPECT_EQ(p.GetChildData(), "gamma2");
  EXPECT_FALSE(p.FindChildElem());
  EXPECT_EQ(p.GetChildData(), "gamma2");  // child stays
  p.ResetChildPos();
  EXPECT_EQ(p.GetChildTagName(), "");
  ASSERT_TRUE(p.FindChildElem("d"));
  EXPECT_EQ(p.GetChildData(), "delta");
  EXPECT_EQ(p.GetTagName(), "b");
  // Moving main clears the child.
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetTagName(), "a");
  EXPECT_EQ(p.GetChildTagName(), "");
  EXPECT_FALSE(p.FindChildElem());  // a has no child elements
}

TEST(XMLParserFind, FindChildElemWithoutMainFirstFindsMain) {
  OFLXMLParser p(kDoc);
  ASSERT_TRUE(p.FindChildElem("b"));
  EXPECT_EQ(p.GetTagName(), "root");
  EXPECT_EQ(p.GetChildAttrib("n"), "2");

  OFLXMLParser empty;
  EXPECT_FALSE(empty.FindChildElem());
  EXPECT_EQ(empty.GetTagName(), "");
}

TEST(XMLParserMove, IntoAndOutOfEveryLevel) {
  OFLXMLParser p(kDoc);
  EXPECT_FALSE(p.IntoElem());  // no main
  EXPECT_FALSE(p.OutOfElem());  // already at the top
  ASSERT_TRUE(p.FindElem("root"));
  ASSERT_TRUE(p.FindChildElem("b"));
  ASSERT_TRUE(p.IntoElem());  // b is main now
  EXPECT_EQ(p.GetTagName(), "b");
  EXPECT_EQ(p.GetChildTagName(), "");
  ASSERT_TRUE(p.FindChildElem("d"));
  ASSERT_TRUE(p.IntoElem());  // d is main, parent b
  EXPECT_EQ(p.GetTagName(), "d");
  EXPECT_EQ(p.GetData(), "delta");
  EXPECT_FALSE(p.FindElem("d"));  // no later d below b
  ASSERT_TRUE(p.IntoElem());  // inside d: no main
  EXPECT_EQ(p.GetTagName(), "");
  EXPECT_FALSE(p.FindElem());
  EXPECT_FALSE(p.IntoElem());

  ASSERT_TRUE(p.OutOfElem());  // d is main again
  EXPECT_EQ(p.GetTagName(), "d");
  EXPECT_EQ(p.GetChildTagName(), "");
  ASSERT_TRUE(p.OutOfElem());  // b is main, d the child
  EXPECT_EQ(p.GetTagName(), "b");
  EXPECT_EQ(p.GetChildTagName(), "d");
  ASSERT_TRUE(p.FindChildElem());  // continues after d
  EXPECT_EQ(p.GetChildData(), "gamma2");
  ASSERT_TRUE(p.OutOfElem());  // root is main, b the child
  EXPECT_EQ(p.GetTagName(), "root");
  EXPECT_EQ(p.GetChildTagName(), "b");
  ASSERT_TRUE(p.FindChildElem("a"));
  EXPECT_EQ(p.GetChildAttrib("n"), "3");
  EXPECT_FALSE(p.OutOfElem());
  EXPECT_EQ(p.GetTagName(), "root");
}

TEST(XMLParserMove, ResetsClearTheRightCursors) {
  OFLXMLParser p(kDoc);
  ASSERT_TRUE(p.FindElem());
  ASSERT_TRUE(p.IntoElem());
  ASSERT_TRUE(p.FindElem("b"));
  ASSERT_TRUE(p.FindChildElem("d"));

  p.ResetChildPos();
  EXPECT_EQ(p.GetTagName(), "b");
  EXPECT_EQ(p.GetChildTagName(), "");

  p.ResetMainPos();  // stays inside root
  EXPECT_EQ(p.GetTagName(), "");
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetTagName(), "a");
  EXPECT_EQ(p.GetAttrib("n"), "1");

  p.ResetPos();
  EXPECT_EQ(p.GetTagName(), "");
  EXPECT_FALSE(p.OutOfElem());
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetTagName(), "root");
}

TEST(XMLParserRead, DataAttributesAndTags) {
  OFLXMLParser p(kDoc);
  EXPECT_EQ(p.GetData(), "");
  EXPECT_EQ(p.GetAttrib("id"), "");
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetData(), "");  // has child elements
  EXPECT_TRUE(p.HasChildElem());
  EXPECT_EQ(p.GetAttrib("id"), "r");
  EXPECT_EQ(p.GetAttrib("ID"), "");
  EXPECT_EQ(p.GetAttrib("missing"), "");
  EXPECT_EQ(p.GetAttrib(nullptr), "");
  EXPECT_EQ(p.GetChildAttrib("n"), "");
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_EQ(p.GetChildData(), "alpha");
  EXPECT_EQ(p.GetChildAttrib("n"), "1");
  EXPECT_EQ(p.GetChildAttrib(nullptr), "");
  ASSERT_TRUE(p.FindChildElem("e"));
  EXPECT_EQ(p.GetChildData(), "");
  ASSERT_TRUE(p.IntoElem());
  EXPECT_FALSE(p.HasChildElem());
}

TEST(XMLParserRead, TextIsDecoded) {
  OFLXMLParser p(
      "<a x=\"&lt;&amp;&quot;&apos;&#65;\" y='say \"hi\"'>&lt;tag&gt; &amp; &#65;&#x42;&#xE4;&#x20AC;"
      "<![CDATA[<raw> & ]]></a>");
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetData(), "<tag> & AB\xC3\xA4\xE2\x82\xAC<raw> & ");
  EXPECT_EQ(p.GetAttrib("x"), "<&\"'A");
  EXPECT_EQ(p.GetAttrib("y"), "say \"hi\"");
  ExpectSubDocReparses(p, false);
}

TEST(XMLParserRead, WhiteSpaceOnlyTextIsKept) {
  for (const String value : {" ", "  ", "\t", "\n", " \t\n "}) {
    OFLXMLParser p("<r><v>" + value + "</v></r>");
    ASSERT_TRUE(p.FindChildElem("v"));
    EXPECT_EQ(p.GetChildData(), value);
    ExpectSubDocReparses(p, true);
  }
  OFLXMLParser p("<r> x \n</r>");
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetData(), " x \n");
}

TEST(XMLParserRead, LineEndsInSourceAreNormalised) {
  OFLXMLParser p("<r>a\r\nb\rc&#13;</r>");
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetData(), "a\nb\nc\r");
  ExpectSubDocReparses(p, false);
}

TEST(XMLParserRead, SubDocIsCompleteMarkupAndReparses) {
  OFLXMLParser p(kDoc);
  ASSERT_TRUE(p.FindChildElem("b"));
  EXPECT_EQ(p.GetChildSubDoc(), kB);
  ExpectSubDocReparses(p, true);
  ASSERT_TRUE(p.IntoElem());
  EXPECT_EQ(p.GetSubDoc(), kB);
  ExpectSubDocReparses(p, false);
  ASSERT_TRUE(p.FindChildElem("d"));
  EXPECT_EQ(p.GetChildSubDoc(), "<d>delta</d>");
  ASSERT_TRUE(p.OutOfElem());
  ASSERT_TRUE(p.FindChildElem("e"));
  EXPECT_EQ(p.GetChildSubDoc(), "<e/>");
  ExpectSubDocReparses(p, true);

  OFLXMLParser whole(kDoc);
  EXPECT_EQ(whole.GetSubDoc(), "");
  EXPECT_EQ(whole.GetChildSubDoc(), "");
  EXPECT_EQ(whole.GetDoc(), "<root id=\"r\"><a n=\"1\">alpha</a>" + kB + "<a n=\"3\">alpha2</a><e/></root>");
}

TEST(XMLParserRead, DeclarationsCommentsAndInstructionsAreDropped) {
  OFLXMLParser p("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- c --><?pi x?>\n<a>x<!--y-->z</a>\n");
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetData(), "xz");
  EXPECT_EQ(p.GetDoc(), "<a>xz</a>");
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
      " <?xml version=\"1.0\"?><a/>", "<a/><!-- - -- -->", "<a/><!-- c",
      // References.
      "<a>&foo;</a>", "<a>a & b</a>", "<a>&amp</a>", "<a>&#;</a>", "<a>&#x;</a>", "<a>&#0;</a>", "<a>&#xD800;</a>",
      "<a>&#x110000;</a>", "<a>&#99999999999;</a>", "<a>&#X41;</a>", "<a>&#12a;</a>", "<a x=\"&nbsp;\"/>",
      "<a x=\"a&b\"/>",
      // Tags and attributes.
      "<a x=\"1\" x=\"2\"/>", "<a x=\"1\"x=\"2\"/>", "<a x=\"<\"/>", "<a x/>", "<a =\"1\"/>", "<a x=\"1\"",
      "<a></a >x", "<a>]]></a>", "<a><!DOCTYPE a></a>", "<a><?xml x?></a>", "<a><?></a>", "<a><!-- -- --></a>",
      // Zero bytes.
      String("<a/>\0", 5), String("<a>x\0</a>", 9), String("\0<a/>", 5)};
  for (const String& text : bad) {
    OFLXMLParser p(kDoc);
    EXPECT_FALSE(p.SetDoc(text)) << text;
    EXPECT_EQ(p.GetDoc(), "") << text;
    EXPECT_FALSE(p.GetError().empty()) << text;
    EXPECT_FALSE(p.FindElem()) << text;
    EXPECT_FALSE(p.FindChildElem()) << text;
    EXPECT_FALSE(p.IntoElem()) << text;
    EXPECT_EQ(p.GetSubDoc(), "") << text;
    OFLXMLParser holder("<h/>");
    ASSERT_TRUE(holder.FindElem());
    EXPECT_FALSE(holder.AddChildSubDoc(text)) << text;
    EXPECT_FALSE(holder.AddSubDoc(text)) << text;
    EXPECT_EQ(holder.GetDoc(), "<h/>") << text;
  }
  const std::vector<String> good = {
      "<a/>", " \r\n\t<a/> \n", "<?xml version=\"1.0\"?><a/>", "<?xml version='1.0' encoding='UTF-8'?>\n<a/>\n",
      "\xEF\xBB\xBF<a/>", "<!-- c --><?pi x?><a/><!-- d --><?pi?>", "<a>&lt;&gt;&amp;&quot;&apos;&#65;&#x1F600;</a>",
      "<a x='\"' y=\"'\" z=\">\"/>", "<a><![CDATA[<&]]]></a>", "<a>]] ></a>", "<a>&#1;&#x1F;\x01\x7F</a>",
      "<a b=\"1\" c=\"2\" d=\"3\" e=\"4\" f=\"5\" g=\"6\" h=\"7\" i=\"8\" j=\"9\"/>", "<a><?xml-stylesheet x?></a>",
      "<a:b c:d=\"1\">\xC3\xBC</a:b >", "<?xml-stylesheet x?><a/>"};
  for (const String& text : good) {
    OFLXMLParser p;
    EXPECT_TRUE(p.SetDoc(text)) << text << ": " << p.GetError();
    EXPECT_TRUE(p.GetError().empty()) << text;
  }
  OFLXMLParser p;
  EXPECT_FALSE(p.SetDoc("<a b=\"1\" c=\"2\" d=\"3\" e=\"4\" f=\"5\" g=\"6\" h=\"7\" i=\"8\" j=\"9\" c=\"0\"/>"));
  EXPECT_EQ(p.GetError(), "duplicate attribute at offset 57");
  EXPECT_FALSE(p.SetDoc("<a>x</a>y"));
  EXPECT_EQ(p.GetError(), "text outside the root element at offset 8");
  EXPECT_FALSE(p.SetDoc("<a>x</a><b/>"));
  EXPECT_EQ(p.GetError(), "a second root element at offset 8");
  EXPECT_FALSE(p.SetDoc("<a x='1'>x</a>y"));
  EXPECT_EQ(p.GetError(), "text outside the root element at offset 14");
  EXPECT_FALSE(p.SetDoc(nullptr, 4));
  EXPECT_FALSE(p.SetDoc("<a/>", 0));
  EXPECT_TRUE(p.SetDoc("<a/>xyz", 4));  // only `length` bytes count
  EXPECT_TRUE(p.GetError().empty());
  EXPECT_EQ(p.GetDoc(), "<a/>");
}

TEST(XMLParserSetDoc, SetDocResetsTheCursors) {
  OFLXMLParser p(kDoc);
  ASSERT_TRUE(p.FindElem());
  ASSERT_TRUE(p.IntoElem());
  ASSERT_TRUE(p.FindElem("b"));
  ASSERT_TRUE(p.SetDoc("<x><y/></x>"));
  EXPECT_EQ(p.GetTagName(), "");
  EXPECT_FALSE(p.OutOfElem());
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetTagName(), "x");
}

TEST(XMLParserBuild, AddElemAndAddChildElemBuildADocument) {
  OFLXMLParser p;
  EXPECT_FALSE(p.AddChildElem("x"));  // no main
  ASSERT_TRUE(p.AddElem("root"));
  EXPECT_EQ(p.GetDoc(), "<root/>");
  EXPECT_EQ(p.GetTagName(), "root");
  ASSERT_TRUE(p.AddChildElem("x", "1"));
  ASSERT_TRUE(p.AddChildElem("y", "2"));
  EXPECT_EQ(p.GetChildTagName(), "y");
  EXPECT_EQ(p.GetChildData(), "2");
  EXPECT_EQ(p.GetDoc(), "<root><x>1</x><y>2</y></root>");

  ASSERT_TRUE(p.IntoElem());  // y is main
  ASSERT_TRUE(p.AddElem("z", "3"));  // after y
  EXPECT_EQ(p.GetTagName(), "z");
  p.ResetMainPos();
  ASSERT_TRUE(p.FindElem("x"));
  ASSERT_TRUE(p.AddElem("w"));  // right after x, not at the end
  EXPECT_EQ(p.GetDoc(), "<root><x>1</x><w/><y>2</y><z>3</z></root>");
  p.ResetMainPos();
  ASSERT_TRUE(p.AddElem("last"));  // no main: the last child of the level
  EXPECT_EQ(p.GetDoc(), "<root><x>1</x><w/><y>2</y><z>3</z><last/></root>");

  EXPECT_FALSE(p.AddElem(nullptr));
  EXPECT_FALSE(p.AddElem(""));
  EXPECT_FALSE(p.AddChildElem(""));
  EXPECT_EQ(p.GetTagName(), "last");
}

TEST(XMLParserBuild, AddElemAtTheTopAddsASiblingOfMain) {
  OFLXMLParser p("<a/>");
  ASSERT_TRUE(p.FindElem());
  ASSERT_TRUE(p.AddElem("b"));
  EXPECT_EQ(p.GetDoc(), "<a/><b/>");
}

TEST(XMLParserBuild, AddedTextReadsBackExactly) {
  const String value = "  <a href=\"x\">&amp;'quoted'</a>\r\n\ttab \xC3\xA4 ]]> ";
  OFLXMLParser p;
  ASSERT_TRUE(p.AddElem("root", value));
  ASSERT_TRUE(p.AddChildElem("c", value));
  ASSERT_TRUE(p.SetAttrib("v", value));
  ASSERT_TRUE(p.SetChildAttrib("v", value));
  EXPECT_EQ(p.GetData(), "");  // root has a child element now
  EXPECT_EQ(p.GetChildData(), value);
  EXPECT_EQ(p.GetAttrib("v"), value);
  EXPECT_EQ(p.GetChildAttrib("v"), value);
  ExpectSubDocReparses(p, true);

  OFLXMLParser again(p.GetDoc());
  ASSERT_TRUE(again.FindChildElem("c"));
  EXPECT_EQ(again.GetChildData(), value);
  EXPECT_EQ(again.GetAttrib("v"), value);
  EXPECT_EQ(again.GetChildAttrib("v"), value);
}

TEST(XMLParserBuild, SetAttribReplacesAndSetDataKeepsChildren) {
  OFLXMLParser p("<r a=\"1\"><c x=\"1\">t</c></r>");
  EXPECT_FALSE(p.SetAttrib("a", "2"));  // no main
  EXPECT_FALSE(p.SetData("x"));
  ASSERT_TRUE(p.FindElem());
  EXPECT_FALSE(p.SetChildAttrib("x", "2"));  // no child
  EXPECT_FALSE(p.SetChildData("x"));
  ASSERT_TRUE(p.SetAttrib("a", "2"));
  ASSERT_TRUE(p.SetAttrib("b", ""));
  EXPECT_FALSE(p.SetAttrib("", "v"));
  EXPECT_FALSE(p.SetAttrib(nullptr, "v"));
  ASSERT_TRUE(p.FindChildElem());
  ASSERT_TRUE(p.SetChildAttrib("x", "3"));
  ASSERT_TRUE(p.SetChildData("new"));
  EXPECT_EQ(p.GetDoc(), "<r a=\"2\" b=\"\"><c x=\"3\">new</c></r>");
  ASSERT_TRUE(p.SetData("lead"));
  EXPECT_EQ(p.GetDoc(), "<r a=\"2\" b=\"\">lead<c x=\"3\">new</c></r>");
  ASSERT_TRUE(p.SetChildData(""));
  EXPECT_EQ(p.GetDoc(), "<r a=\"2\" b=\"\">lead<c x=\"3\"/></r>");
}

TEST(XMLParserBuild, AddSubDocAndAddChildSubDoc) {
  OFLXMLParser p("<r><a/><z/></r>");
  EXPECT_FALSE(p.AddChildSubDoc("<s/>"));  // no main
  ASSERT_TRUE(p.FindElem());
  ASSERT_TRUE(p.AddChildSubDoc("<?xml version=\"1.0\"?><s k=\"v\"><t>&lt;x&gt;</t></s>"));
  EXPECT_EQ(p.GetChildTagName(), "s");
  EXPECT_EQ(p.GetChildAttrib("k"), "v");
  EXPECT_FALSE(p.AddChildSubDoc("<s>"));
  EXPECT_FALSE(p.AddChildSubDoc(""));
  EXPECT_FALSE(p.AddChildSubDoc("plain text"));
  EXPECT_EQ(p.GetChildTagName(), "s");
  EXPECT_EQ(p.GetDoc(), "<r><a/><z/><s k=\"v\"><t>&lt;x&gt;</t></s></r>");

  ASSERT_TRUE(p.IntoElem());  // s is main
  p.ResetMainPos();
  ASSERT_TRUE(p.FindElem("a"));
  ASSERT_TRUE(p.AddSubDoc("<n>1</n>"));  // after a
  EXPECT_EQ(p.GetTagName(), "n");
  EXPECT_FALSE(p.AddSubDoc("<n>"));
  EXPECT_FALSE(p.AddSubDoc("</n>"));
  EXPECT_EQ(p.GetTagName(), "n");
  EXPECT_EQ(p.GetDoc(), "<r><a/><n>1</n><z/><s k=\"v\"><t>&lt;x&gt;</t></s></r>");

  OFLXMLParser empty;
  ASSERT_TRUE(empty.AddSubDoc("<only>x</only>"));
  EXPECT_EQ(empty.GetDoc(), "<only>x</only>");
  EXPECT_EQ(empty.GetData(), "x");
}

TEST(XMLParserBuild, CopiedSubDocsKeepTheirText) {
  OFLXMLParser src("<r><v>  </v><w>a&#13;&#10;b</w></r>");
  ASSERT_TRUE(src.FindChildElem("v"));
  const String v = src.GetChildSubDoc();
  ASSERT_TRUE(src.FindChildElem("w"));
  const String w = src.GetChildSubDoc();

  OFLXMLParser dst;
  ASSERT_TRUE(dst.AddElem("copy"));
  ASSERT_TRUE(dst.AddChildSubDoc(v));
  EXPECT_EQ(dst.GetChildData(), "  ");
  ASSERT_TRUE(dst.AddChildSubDoc(w));
  EXPECT_EQ(dst.GetChildData(), "a\r\nb");
  OFLXMLParser again(dst.GetDoc());
  ASSERT_TRUE(again.FindChildElem("w"));
  EXPECT_EQ(again.GetChildData(), "a\r\nb");
}

// Names are written as they are given, so a name that is not an XML name
// would make the document unreadable. They should be refused.
TEST(XMLParserBuild, NamesThatAreNotXmlNamesAreRefused) {
  OFLXMLParser p;
  ASSERT_TRUE(p.AddElem("root"));
  EXPECT_FALSE(p.AddElem("a b"));
  EXPECT_FALSE(p.AddChildElem("<x"));
  EXPECT_FALSE(p.AddChildElem("1x"));
  EXPECT_FALSE(p.SetAttrib("a=\"1\"", "v"));
  EXPECT_FALSE(p.SetAttrib("x y", "v"));
  OFLXMLParser again;
  EXPECT_TRUE(again.SetDoc(p.GetDoc())) << p.GetDoc();
}

TEST(XMLParserViews, ViewsMatchTheCopyingGetters) {
  OFLXMLParser p(
      "<r><a>plain</a><b>x<![CDATA[<y>]]>&amp;z</b><c><d/>t</c><e/><f>  </f><g>&#x41;<![CDATA[]]></g></r>");
  EXPECT_EQ(p.GetTagNameView(), "");
  EXPECT_EQ(p.GetChildDataView(), "");
  ASSERT_TRUE(p.FindElem());
  EXPECT_EQ(p.GetTagNameView(), "r");
  EXPECT_EQ(p.GetDataView(), p.GetData());
  while (p.FindChildElem()) {
    EXPECT_EQ(p.GetChildTagNameView(), p.GetChildTagName());
    EXPECT_EQ(p.GetChildDataView(), p.GetChildData()) << p.GetChildTagName();
  }
  p.ResetChildPos();
  ASSERT_TRUE(p.FindChildElem("b"));
  EXPECT_EQ(p.GetChildDataView(), "x<y>&z");
}

TEST(XMLParserViews, ViewsLastUntilTheDocumentChanges) {
  OFLXMLParser p("<r><a>1<![CDATA[2]]>3</a><b>4<![CDATA[5]]></b><c>6</c></r>");
  ASSERT_TRUE(p.FindChildElem("a"));
  const std::string_view a = p.GetChildDataView();
  const std::string_view again = p.GetChildDataView();
  ASSERT_TRUE(p.FindChildElem("b"));
  const std::string_view b = p.GetChildDataView();
  std::string_view fields[2];
  p.ResetChildPos();
  ASSERT_TRUE(p.FindChildElem("c"));
  const std::string_view tag = p.GetChildTagNameView();
  EXPECT_EQ(a, "123");
  EXPECT_EQ(again, "123");
  EXPECT_EQ(b, "45");
  EXPECT_EQ(tag, "c");
  // Reading the same record twice gives views that both stay valid.
  OFLXMLParser q("<r><e><x>1<![CDATA[2]]></x><y>3<![CDATA[4]]></y></e></r>");
  ASSERT_TRUE(q.FindChildElem());
  ASSERT_TRUE(q.GetChildFieldViews(std::initializer_list<std::string_view>{"x", "y"}, fields));
  std::string_view second[2];
  ASSERT_TRUE(q.GetChildFieldViews(std::initializer_list<std::string_view>{"y", "x"}, second));
  EXPECT_EQ(fields[0], "12");
  EXPECT_EQ(fields[1], "34");
  EXPECT_EQ(second[0], "34");
  EXPECT_EQ(second[1], "12");
}

TEST(XMLParserViews, ChildTagIs) {
  OFLXMLParser p("<r><Name/></r>");
  EXPECT_FALSE(p.ChildTagIs("Name"));  // no child yet
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_TRUE(p.ChildTagIs("Name"));
  EXPECT_TRUE(p.ChildTagIs("NAME"));
  EXPECT_TRUE(p.ChildTagIs("Name", false));
  EXPECT_FALSE(p.ChildTagIs("name", false));
  for (const char* other : {"Nam", "Names", "", "Nbme", "Na\0e"}) EXPECT_FALSE(p.ChildTagIs(other)) << other;
  EXPECT_FALSE(p.ChildTagIs(std::string_view("Name\0", 5)));
}

TEST(XMLParserViews, GetChildFieldViewsReadsARecord) {
  OFLXMLParser p(
      "<r><rec><B>b1</B><a>a1</a><skip>s</skip><A>a2<x/></A><b>b<![CDATA[2]]></b>text<c>c</c></rec><none/></r>");
  const std::initializer_list<std::string_view> tags = {"a", "b", "c", "d"};
  std::string_view data[4] = {"", "", "", "kept"};
  EXPECT_FALSE(p.GetChildFieldViews(tags, data));  // no child element yet
  ASSERT_TRUE(p.FindChildElem());
  ASSERT_TRUE(p.GetChildFieldViews(tags, data));
  EXPECT_EQ(data[0], "");  // the last "a" holds an element, so no text
  EXPECT_EQ(data[1], "b2");
  EXPECT_EQ(data[2], "c");
  EXPECT_EQ(data[3], "kept");
  std::string_view fewer[1];
  ASSERT_TRUE(p.GetChildFieldViews(tags, fewer));  // only as many tags as places
  EXPECT_EQ(fewer[0], "");
  ASSERT_TRUE(p.FindChildElem());
  std::string_view none[2] = {"x", "y"};
  ASSERT_TRUE(p.GetChildFieldViews(tags, none));
  EXPECT_EQ(none[0], "x");
  EXPECT_EQ(none[1], "y");
  EXPECT_EQ(p.GetChildTagName(), "none");  // the cursors stay
}

TEST(XMLParserWalk, ForEachChildElemIsTheFindChildElemLoop) {
  OFLXMLParser p("<r>t<a/><b><x/></b>u<c/></r>");
  std::vector<String> seen;
  p.ForEachChildElem([&](std::string_view tag) {
    seen.emplace_back(tag);
    EXPECT_EQ(p.GetChildTagNameView(), tag);
  });
  EXPECT_EQ(seen, (std::vector<String>{"a", "b", "c"}));
  EXPECT_EQ(p.GetTagName(), "r");  // main found first, as FindChildElem does
  EXPECT_EQ(p.GetChildTagName(), "c");

  // The walk goes on from wherever the callback leaves the child cursor.
  seen.clear();
  bool restarted = false;
  p.ResetChildPos();
  p.ForEachChildElem([&](std::string_view tag) {
    seen.emplace_back(tag);
    if (tag == "b") {
      ASSERT_TRUE(p.IntoElem());
      EXPECT_TRUE(p.FindChildElem("x"));
      ASSERT_TRUE(p.OutOfElem());
      if (!restarted) {
        restarted = true;
        p.ResetChildPos();
      }
    }
  });
  EXPECT_EQ(seen, (std::vector<String>{"a", "b", "a", "b", "c"}));
  OFLXMLParser empty;
  empty.ForEachChildElem([&](std::string_view) { ADD_FAILURE(); });
}

// Runs the same reads, moves and writes on two parsers and notes what each
// gives.
String Transcript(OFLXMLParser& p) {
  String out = p.GetDoc() + "|" + p.GetError() + "|";
  const auto note = [&](bool ok) {
    out += ok ? '1' : '0';
    out.append(p.GetTagName()).append("/").append(p.GetChildTagName()).append(";");
  };
  note(p.OutOfElem());
  note(p.FindElem());
  note(p.FindElem());
  out += p.GetSubDoc() + "|" + p.GetData() + "|" + p.GetAttrib("k") + "|";
  while (p.FindChildElem()) out += p.GetChildTagName() + "=" + p.GetChildData() + ":" + p.GetChildSubDoc() + ";";
  note(p.IntoElem());
  note(p.FindElem());
  note(p.FindChildElem());
  note(p.OutOfElem());
  note(p.OutOfElem());
  note(p.OutOfElem());
  p.ResetPos();
  note(p.FindChildElem());
  note(p.AddChildElem("added", "v"));
  note(p.SetAttrib("k", "w"));
  note(p.AddElem("sibling", "s"));
  out += p.GetDoc() + "|";
  p.ResetMainPos();
  note(p.FindElem());
  note(p.AddChildSubDoc("<sub>x</sub>"));
  out += p.GetDoc();
  return out;
}

TEST(XMLParserSubDoc, SetDocFromChildActsAsLoadingTheChildMarkup) {
  const String doc =
      "<list><item k=\"1\"><a>x</a><b>y<c/></b></item><item>&#10;<a>lost beside elements</a></item>"
      "<item><a>&#32;</a><b><![CDATA[]]></b></item><item/><item>t</item></list>";
  OFLXMLParser source(doc);
  int items = 0;
  while (source.FindChildElem()) {
    ++items;
    OFLXMLParser printed, inPlace;
    const String sub = source.GetChildSubDoc();
    ASSERT_EQ(printed.SetDoc(sub), inPlace.SetDocFromChild(source));
    EXPECT_EQ(Transcript(inPlace), Transcript(printed)) << sub;
    // The reads in place left the source as it was.
    EXPECT_EQ(source.GetChildSubDoc(), sub);
  }
  EXPECT_EQ(items, 5);
  EXPECT_EQ(source.GetDoc(), OFLXMLParser(doc).GetDoc());

  // Text that parsing the print drops is dropped here too.
  ASSERT_TRUE(source.SetDoc("<r><e>&#10;<![CDATA[x]]></e></r>"));
  ASSERT_TRUE(source.FindChildElem());
  EXPECT_EQ(source.GetChildData(), "\nx");
  OFLXMLParser child;
  ASSERT_TRUE(child.SetDocFromChild(source));
  ASSERT_TRUE(child.FindElem());
  EXPECT_EQ(child.GetData(), "x");
}

TEST(XMLParserSubDoc, SetDocFromChildOfViewsChangedParsersAndItself) {
  OFLXMLParser source("<r><e><f><g>1</g></f></e></r>");
  ASSERT_TRUE(source.FindChildElem());
  OFLXMLParser view, viewOfView;
  ASSERT_TRUE(view.SetDocFromChild(source));
  ASSERT_TRUE(view.FindChildElem());
  ASSERT_TRUE(viewOfView.SetDocFromChild(view));
  EXPECT_EQ(viewOfView.GetDoc(), "<f><g>1</g></f>");
  ASSERT_TRUE(viewOfView.FindChildElem());
  EXPECT_EQ(viewOfView.GetChildData(), "1");

  // A changed source is printed as it stands.
  ASSERT_TRUE(source.SetChildData("  "));
  ASSERT_TRUE(source.AddChildElem("n"));
  source.ResetChildPos();
  ASSERT_TRUE(source.FindChildElem());
  OFLXMLParser fromChanged, printed;
  ASSERT_TRUE(fromChanged.SetDocFromChild(source));
  ASSERT_TRUE(printed.SetDoc(source.GetChildSubDoc()));
  EXPECT_EQ(fromChanged.GetDoc(), printed.GetDoc());

  // No child: no document, as for empty markup.
  OFLXMLParser none;
  source.ResetChildPos();
  EXPECT_FALSE(none.SetDocFromChild(source));
  EXPECT_FALSE(none.GetError().empty());
  EXPECT_TRUE(none.GetDoc().empty());

  // Its own child, directly or through a parser reading it.
  OFLXMLParser self("<r><e>x</e></r>");
  ASSERT_TRUE(self.FindChildElem());
  ASSERT_TRUE(self.SetDocFromChild(self));
  EXPECT_EQ(self.GetDoc(), "<e>x</e>");
  OFLXMLParser back("<r><e><f>1</f></e></r>"), reader;
  ASSERT_TRUE(back.FindChildElem());
  ASSERT_TRUE(reader.SetDocFromChild(back));
  ASSERT_TRUE(reader.FindChildElem());
  ASSERT_TRUE(back.SetDocFromChild(reader));
  EXPECT_EQ(back.GetDoc(), "<f>1</f>");
}

TEST(XMLParserEscape, EscapeAndUnescapeText) {
  EXPECT_EQ(OFLXMLParser::EscapeText("a<b>&\"'\r\n\t"), "a&lt;b&gt;&amp;&quot;&apos;&#xD;\n\t");
  EXPECT_EQ(OFLXMLParser::EscapeText("a<b>&\"'\r", 1), "a&lt;b&gt;&amp;\"'&#xD;");
  EXPECT_EQ(OFLXMLParser::EscapeText(""), "");
  EXPECT_EQ(OFLXMLParser::UnescapeText("&lt;&gt;&amp;&quot;&apos;&#65;&#x42;&#X43;&#xe4;"), "<>&\"'ABC\xC3\xA4");
  EXPECT_EQ(OFLXMLParser::UnescapeText("&amp;lt;"), "&lt;");  // one level only
  for (const String kept : {"&", "&;", "&unknown;", "&#;", "&#x;", "&#xZZ;", "&#12a;", "a & b", "&lt", "&#x110000;",
                            "&#99999999999999;"})
    EXPECT_EQ(OFLXMLParser::UnescapeText(kept), kept);
  const String all = "<tag a=\"1\"> & 'x' \r\n\t\xC3\xA4 ]]>";
  EXPECT_EQ(OFLXMLParser::UnescapeText(OFLXMLParser::EscapeText(all)), all);
  EXPECT_EQ(OFLXMLParser::UnescapeText(OFLXMLParser::EscapeText(all, 1)), all);
}

}  // namespace
