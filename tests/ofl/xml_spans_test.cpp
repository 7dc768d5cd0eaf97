// The source spans of a document's root element, and the compressed GUID text.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "ofl/xml_spans.h"

namespace {

using OFL::String;
using OFL::Xml::RootSpans;
using OFL::Xml::SplitRootElement;

TEST(XmlSpans, SplitsTheRootIntoItsTagsAndEachChildWithTheTextBeforeIt) {
  const String doc =
      "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- c --><R a='x>y' b=\"/\">\n  <!-- <no/> -->"
      "<A x='1'><B>t&amp;</B><![CDATA[<C>]]><?p <q?><D/></A>text<E/>\n<?pi?>\n</R >\n<!-- after -->\n";
  RootSpans s;
  ASSERT_TRUE(SplitRootElement(doc, s));
  EXPECT_EQ(s.startTag, "<R a='x>y' b=\"/\">");
  ASSERT_EQ(s.children.size(), 2u);
  EXPECT_EQ(s.children[0].leading, "\n  <!-- <no/> -->");
  EXPECT_EQ(s.children[0].element, "<A x='1'><B>t&amp;</B><![CDATA[<C>]]><?p <q?><D/></A>");
  EXPECT_EQ(s.children[1].leading, "text");
  EXPECT_EQ(s.children[1].element, "<E/>");
  EXPECT_EQ(s.trailing, "\n<?pi?>\n");
  EXPECT_EQ(s.endTag, "</R >");
  EXPECT_FALSE(s.IsEmptyElementTag());

  ASSERT_TRUE(SplitRootElement("<R x='1' />", s));
  EXPECT_TRUE(s.IsEmptyElementTag());
  EXPECT_EQ(s.startTag, "<R x='1' />");
  EXPECT_TRUE(s.children.empty() && s.trailing.empty());

  ASSERT_TRUE(SplitRootElement("<R><R><R/></R></R>", s));
  ASSERT_EQ(s.children.size(), 1u);
  EXPECT_EQ(s.children[0].element, "<R><R/></R>");
}

TEST(XmlSpans, RefusesTextsOfAnotherShape) {
  RootSpans s;
  for (const char* text : {"", "  ", "text", "<R>", "<R><A></R>", "<R></R><S/>", "<R></R>x", "<!DOCTYPE R><R/>",
                           "<R><!DOCTYPE x></R>", "<R a='1></R>", "<!-- open <R/>", "<?pi <R/>", "</R>",
                           "<R><!-- open</R>", "<R><![CDATA[x</R>", "<R><A a='></R>"})
    EXPECT_FALSE(SplitRootElement(text, s)) << text;
}

TEST(XmlSpans, EveryChildThatTheParserWalksHasItsSpan) {
  // "<!-->" opens a comment that ends only at the next "-->".
  for (const String doc : {"<R><A><A/></A><!--x--><B a=\"&lt;\"/>t<C><![CDATA[</C>]]></C></R>",
                           "<!-->\n<X/>--><R><!--><Y/>--><A/><!---->t<B/></R>"}) {
    RootSpans s;
    ASSERT_TRUE(SplitRootElement(doc, s)) << doc;
    OFLXMLParser p(doc);
    ASSERT_TRUE(p.FindElem());
    size_t n = 0;
    while (p.FindChildElem()) {
      ASSERT_LT(n, s.children.size());
      EXPECT_EQ(s.children[n].element.substr(1, 1), p.GetChildTagName()) << n;
      ++n;
    }
    EXPECT_EQ(n, s.children.size()) << doc;
  }
}

TEST(Guid, CompressedTextIsBase32OfTheBytesUniqueAndFoldSafe) {
  EXPECT_EQ(OFL::Tools::GuidToCompressedString("E1CE0953-CDAA-4609-B962-9B1F75B23CEE"), "4HHASU6NVJDATOLCTMPXLMR45Y");
  EXPECT_EQ(OFL::Tools::GuidToCompressedString("{e1ce0953-cdaa-4609-b962-9b1f75b23cee}"),
            "4HHASU6NVJDATOLCTMPXLMR45Y");
  EXPECT_EQ(OFL::Tools::GuidToCompressedString("00000000-0000-0000-0000-000000000000"), String(26, 'A'));
  EXPECT_EQ(OFL::Tools::GuidToCompressedString("FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF"), String(25, '7') + "4");
  for (const char* bad : {"", "E1CE0953CDAA4609B9629B1F75B23CEE", "E1CE0953-CDAA-4609-B962-9B1F75B23CEG", "{x}"})
    EXPECT_EQ(OFL::Tools::GuidToCompressedString(bad), "") << bad;
  // Unique per GUID, also once folded to lower case, as databases fold names.
  std::set<String> seen;
  for (int i = 0; i < 2000; ++i) {
    const String text = OFL::ToLower(OFL::Tools::GuidToCompressedString(OFL::Tools::GenerateGuid()));
    ASSERT_EQ(text.size(), 26u);
    ASSERT_EQ(text.find_first_not_of("abcdefghijklmnopqrstuvwxyz234567"), String::npos) << text;
    ASSERT_TRUE(seen.insert(text).second);
  }
  // A GUID differing in one bit anywhere gives another text.
  const String base = "00000000-0000-0000-0000-000000000000";
  for (size_t i = 0; i < base.size(); ++i) {
    if (base[i] == '-') continue;
    String g = base;
    g[i] = '1';
    EXPECT_TRUE(seen.insert(OFL::Tools::GuidToCompressedString(g)).second) << g;
  }
}

}  // namespace
