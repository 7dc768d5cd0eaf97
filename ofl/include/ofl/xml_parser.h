// OFLXMLParser: an XML document walked with three cursors.
//
// The cursors are the parent element, the main element (a child of the
// parent, or a root element when there is no parent) and the child element
// (a child of main). FindElem moves main among its siblings, FindChildElem
// moves child among main's children, IntoElem and OutOfElem shift the three
// cursors one level down or up. Element names are matched exactly; callers
// that want case-insensitive tags compare GetChildTagName themselves.
//
// Texts are decoded on read (entities and character references resolved) and
// escaped on write. Parsing keeps a text that is all white space when it is
// the element's only content, so such values read back unchanged. The parser
// underneath holds texts as C strings: a document with a reference to NUL
// (or a written text holding NUL) keeps its texts as markup, decoded as each
// one is read, so that NUL reads back too.
#ifndef OFL_XML_PARSER_H_
#define OFL_XML_PARSER_H_

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>
#include <type_traits>

#include "ofl/string.h"

class OFLXMLParser {
 public:
  using String = OFL::String;

  OFLXMLParser();
  explicit OFLXMLParser(const String& doc);
  ~OFLXMLParser();
  OFLXMLParser(const OFLXMLParser&) = delete;
  OFLXMLParser& operator=(const OFLXMLParser&) = delete;

  // Loads a document and resets the cursors. Returns false (and leaves an
  // empty document) for any text that is not one well-formed XML document
  // with a single root element: text or a second element outside the root,
  // undefined entities, a bare "&", duplicate attributes and the like. An XML
  // declaration, comments, processing instructions and white space around the
  // root are fine; document type declarations are refused, and control
  // characters are accepted raw or as references, NUL as a reference only
  // ("&#0;", the form in which String values holding NUL are written).
  bool SetDoc(const String& text);
  bool SetDoc(const char* text, size_t length);
  // The same as SetDoc(source.GetChildSubDoc()). While source's document is
  // as it was loaded, this parser reads source's child element where it is
  // instead of printing and parsing it again, unless that would differ (text
  // nodes that parsing the print drops: empty ones, and white space from
  // references beside other nodes). A change made through this parser then
  // goes to a copy of its own. Source must stay alive and unchanged while
  // this parser reads from it.
  bool SetDocFromChild(const OFLXMLParser& source);
  // The whole document, printed without declaration or indentation.
  String GetDoc() const;
  // Parser's description of the last SetDoc failure; empty after success.
  String GetError() const;

  // Moves main to the next element on its level (named `name`, or any element
  // for null). Clears the child cursor. True if found; else main stays.
  bool FindElem(const char* name = nullptr);
  // Moves child to the next child of main (named `name`, or any for null).
  // Without a main element, first moves main to the first element of its
  // level. True if found; else child stays.
  bool FindChildElem(const char* name = nullptr);
  // Parent becomes main, main becomes child, child is cleared. False (and
  // nothing moves) when there is no main element.
  bool IntoElem();
  // Reverses IntoElem. False at the top level.
  bool OutOfElem();
  // Back to the state right after SetDoc.
  void ResetPos();
  // Clears main and child, so FindElem starts again at the first element.
  void ResetMainPos();
  // Clears child, so FindChildElem starts again at main's first child.
  void ResetChildPos();

  String GetTagName() const;
  String GetChildTagName() const;
  // Decoded text of the element; empty when it has child elements.
  String GetData() const;
  String GetChildData() const;
  // Complete markup of the element (start tag, content, end tag).
  String GetSubDoc() const;
  String GetChildSubDoc() const;
  String GetAttrib(const char* name) const;
  String GetChildAttrib(const char* name) const;
  // The name and value of main's attribute at `index` (0 for the first) in
  // document order; false when main has fewer attributes.
  bool GetNthAttrib(size_t index, String& name, String& value) const;
  bool HasChildElem() const;

  // Non-copying forms of the getters above. A view stays valid until the
  // document changes or another one is loaded.
  std::string_view GetTagNameView() const;
  std::string_view GetChildTagNameView() const;
  std::string_view GetDataView() const;
  std::string_view GetChildDataView() const;
  // True when there is a child element and its tag is `tag` (ASCII case
  // ignored when asked).
  bool ChildTagIs(std::string_view tag, bool ignoreCase = true) const;
  // Reads a record: for each child element of the child element whose tag is
  // one of `tags` (ASCII case ignored), sets the matching entry of `data` to
  // a view of its data (as GetChildData); a later such element wins, entries
  // without one are left as they are. False when there is no child element.
  // Tags beyond the length of `data` are not looked for.
  bool GetChildFieldViews(std::span<const std::string_view> tags, std::span<std::string_view> data) const;

  // The loop `while (FindChildElem()) fn(GetChildTagNameView());` in one
  // call. `fn` may move the cursors; the walk goes on from the child cursor
  // wherever fn leaves it, as the loop would.
  template <class Fn>
  void ForEachChildElem(Fn&& fn) {
    using F = std::remove_reference_t<Fn>;
    VisitChildElems([](void* f, std::string_view tag) { (*static_cast<F*>(f))(tag); },
                    const_cast<void*>(static_cast<const void*>(&fn)));
  }

  // Appends an element after main (or as the last root when the document is
  // empty) holding `data` as text, and makes it main.
  bool AddElem(const char* name, const String& data = String());
  // Appends an element as the last child of main and makes it child.
  bool AddChildElem(const char* name, const String& data = String());
  bool SetAttrib(const char* name, const String& value);
  bool SetChildAttrib(const char* name, const String& value);
  bool SetData(const String& data);
  bool SetChildData(const String& data);
  // Parses `markup` (one element, well-formed as for SetDoc) and appends it
  // like AddElem / AddChildElem.
  bool AddSubDoc(const String& markup);
  bool AddChildSubDoc(const String& markup);

  // Escapes & < > " ' and CR for element text. With flag 1, " and ' are left
  // as they are (element text only); with kEscapeAttribute, tab and LF are
  // written as references as well, as an attribute value needs them.
  static constexpr int kEscapeAttribute = 256;
  static String EscapeText(const String& text, int flags = 0);
  // Resolves the five predefined entities and character references.
  static String UnescapeText(const String& text);

 private:
  struct Impl;
  void VisitChildElems(void (*visit)(void*, std::string_view), void* fn);

  std::unique_ptr<Impl> impl_;
};

#endif  // OFL_XML_PARSER_H_
