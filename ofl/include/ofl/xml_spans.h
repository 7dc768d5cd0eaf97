// Where the parts of an XML document's root element stand in its text.
//
// OFLXMLParser decodes what it reads and prints what it hands out, so markup
// taken from it is equivalent to the source but not always the same bytes
// (entities, quotes, empty elements). A reader that must give back elements
// it does not interpret exactly as they came splits the source text with
// SplitRootElement instead, and reads the values it needs with the parser.
//
// Pure functions of their input; any thread.
#ifndef OFL_XML_SPANS_H_
#define OFL_XML_SPANS_H_

#include <string_view>
#include <vector>

namespace OFL::Xml {

struct RootSpans {
  struct Child {
    // Everything between the previous child (or the start tag) and this
    // child: white space, comments, instructions, text.
    std::string_view leading;
    // The child element, start tag to end tag.
    std::string_view element;
  };
  // The root's start tag with its attributes, "<" to ">" ("/>" when the
  // root is an empty-element tag; `children`, `trailing` and `endTag` are
  // then empty).
  std::string_view startTag;
  std::vector<Child> children;
  // Between the last child (or the start tag) and the end tag.
  std::string_view trailing;
  // "</name>" as written, blanks before ">" included.
  std::string_view endTag;

  bool IsEmptyElementTag() const { return endTag.empty(); }
};

// Splits a text that OFLXMLParser::SetDoc accepts (one well-formed document
// with a single root element, optionally after a byte order mark, an XML
// declaration, comments and instructions). False when the text does not
// have that shape; `out` is then unspecified. The views point into `doc`.
// Linear in the length of the text.
bool SplitRootElement(std::string_view doc, RootSpans& out);

}  // namespace OFL::Xml

#endif  // OFL_XML_SPANS_H_
