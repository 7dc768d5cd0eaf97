#include "ofl/xml_parser.h"

#include <algorithm>
#include <cstring>
#include <pugixml.hpp>
#include <unordered_map>
#include <vector>

#include "ofl/tools.h"
#include "xml_wellformed.h"

namespace {

// Whitespace-only text is kept when it is an element's only content, so a
// value of blanks reads back; formatting whitespace between elements is not.
// parse_fragment keeps text outside the root element, so that a document
// with any is refused (see LoadChecked).
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_fragment;

struct StringWriter final : pugi::xml_writer {
  explicit StringWriter(OFL::String& out) : out_(out) {}
  void write(const void* data, size_t size) override { out_.append(static_cast<const char*>(data), size); }
  OFL::String& out_;
};

// Walking a document asks pugixml for a dozen node fields per element, and
// each of its accessors is a call into the library; that costs more than the
// parse itself. The read-only walks below therefore read pugixml's node
// record directly, where it has the layout of the builds we know: header
// (type in the low 4 bits), name, value, parent, first child, previous
// sibling (cyclic), next sibling, first attribute, each one pointer wide. The
// layout is confirmed once against the accessors; if it differs, the
// accessors are used.
struct NodeHandle : pugi::xml_node {
  static constexpr pugi::xml_node_struct* pugi::xml_node::*kRoot = &NodeHandle::_root;
};
using NodePtr = pugi::xml_node_struct*;
inline NodePtr PtrOf(const pugi::xml_node& n) { return n.*NodeHandle::kRoot; }
inline bool Null(const pugi::xml_node& n) { return PtrOf(n) == nullptr; }
inline bool Same(const pugi::xml_node& a, const pugi::xml_node& b) { return PtrOf(a) == PtrOf(b); }
inline void SetNull(pugi::xml_node& n) { n.*NodeHandle::kRoot = nullptr; }

constexpr size_t kHeaderAt = 0, kNameAt = 1, kValueAt = 2, kParentAt = 3, kFirstChildAt = 4, kPrevSiblingAt = 5,
                 kNextSiblingAt = 6, kFirstAttributeAt = 7;

template <class T>
T FieldOf(NodePtr p, size_t slot) {
  static_assert(sizeof(T) == sizeof(void*));
  T v;
  std::memcpy(&v, reinterpret_cast<const char*>(p) + slot * sizeof(void*), sizeof v);
  return v;
}

bool LayoutMatches(const pugi::xml_node& n) {
  const NodePtr p = PtrOf(n);
  const auto str = [](const char* raw, const char* api) { return raw ? raw == api : *api == '\0'; };
  if (static_cast<int>(FieldOf<uintptr_t>(p, kHeaderAt) & 15) != static_cast<int>(n.type()) ||
      !str(FieldOf<const char*>(p, kNameAt), n.name()) || !str(FieldOf<const char*>(p, kValueAt), n.value()) ||
      FieldOf<NodePtr>(p, kParentAt) != PtrOf(n.parent()) ||
      FieldOf<NodePtr>(p, kFirstChildAt) != PtrOf(n.first_child()) ||
      FieldOf<NodePtr>(p, kNextSiblingAt) != PtrOf(n.next_sibling()) ||
      FieldOf<void*>(p, kFirstAttributeAt) != static_cast<void*>(n.first_attribute().internal_object()))
    return false;
  if (!Null(n.first_child()) && FieldOf<NodePtr>(PtrOf(n.first_child()), kPrevSiblingAt) != PtrOf(n.last_child()))
    return false;
  for (pugi::xml_node c = n.first_child(); !Null(c); c = c.next_sibling())
    if (!LayoutMatches(c)) return false;
  return true;
}

bool ConfirmLayout() {
  if (sizeof(uintptr_t) != sizeof(void*)) return false;
  pugi::xml_document d;
  const char kSample[] = "<r a='1' b='2'><e>t</e>x<![CDATA[c]]><f g='3'/><h><i>j</i>k<l/></h></r>";
  if (!d.load_buffer(kSample, sizeof kSample - 1, pugi::parse_default, pugi::encoding_utf8)) return false;
  return LayoutMatches(d);
}

// Zero, so the accessors serve, until it is initialised.
const bool kDirect = ConfirmLayout();

inline pugi::xml_node_type TypeOf(const pugi::xml_node& n) {
  return kDirect ? static_cast<pugi::xml_node_type>(FieldOf<uintptr_t>(PtrOf(n), kHeaderAt) & 15) : n.type();
}
inline const char* NameOf(const pugi::xml_node& n) {
  if (!kDirect) return n.name();
  const char* s = FieldOf<const char*>(PtrOf(n), kNameAt);
  return s ? s : "";
}
inline const char* ValueOf(const pugi::xml_node& n) {
  if (!kDirect) return n.value();
  const char* s = FieldOf<const char*>(PtrOf(n), kValueAt);
  return s ? s : "";
}
inline pugi::xml_node Linked(const pugi::xml_node& n, size_t slot) {
  pugi::xml_node r = n;
  r.*NodeHandle::kRoot = FieldOf<NodePtr>(PtrOf(n), slot);
  return r;
}
inline pugi::xml_node FirstChildOf(const pugi::xml_node& n) {
  return kDirect ? Linked(n, kFirstChildAt) : n.first_child();
}
inline pugi::xml_node NextSiblingOf(const pugi::xml_node& n) {
  return kDirect ? Linked(n, kNextSiblingAt) : n.next_sibling();
}
inline pugi::xml_node ParentOf(const pugi::xml_node& n) { return kDirect ? Linked(n, kParentAt) : n.parent(); }

// Whether printing the nodes below `root` and parsing the print again gives
// them back unchanged, for a document as it was loaded. Parsing keeps no
// comments or instructions and the print writes text as it was read, except
// that a text node the print turns into nothing, or into white space beside
// other nodes (from references such as &#10;), is dropped by the second parse.
bool ReparsesUnchanged(const pugi::xml_node& root) {
  const auto blank = [](const char* v) {
    for (; *v; ++v)
      if (*v != ' ' && *v != '\t' && *v != '\n' && *v != '\r') return false;
    return true;
  };
  pugi::xml_node n = FirstChildOf(root);
  if (Null(n)) return true;
  for (;;) {
    const pugi::xml_node_type type = TypeOf(n);
    if (type == pugi::node_element) {
      const pugi::xml_node c = FirstChildOf(n);
      if (!Null(c)) {
        n = c;
        continue;
      }
    } else if (type == pugi::node_pcdata || type == pugi::node_cdata) {
      const char* v = ValueOf(n);
      if (*v == '\0') return false;
      if (type == pugi::node_pcdata && blank(v) &&
          (!Null(NextSiblingOf(n)) || !Same(FirstChildOf(ParentOf(n)), n)))
        return false;
    } else {
      return false;
    }
    while (Null(NextSiblingOf(n))) {
      n = ParentOf(n);
      if (Same(n, root)) return true;
    }
    n = NextSiblingOf(n);
  }
}

// strcmp(name, want) == 0 for the short names of elements, without a call.
inline bool SameName(const char* name, const char* want) {
  for (; *name == *want; ++name, ++want)
    if (*name == '\0') return true;
  return false;
}

bool NameMatches(const pugi::xml_node& n, const char* name) {
  return TypeOf(n) == pugi::node_element && (name == nullptr || SameName(NameOf(n), name));
}

pugi::xml_node NextElement(pugi::xml_node from, const char* name) {
  for (; !Null(from); from = NextSiblingOf(from))
    if (NameMatches(from, name)) return from;
  return from;
}

// `name` (NUL-terminated) equals `tag`, ASCII case ignored when asked.
bool NameIs(const char* name, std::string_view tag, bool ignoreCase) {
  for (const char t : tag) {
    const char c = *name++;
    if (c == t) {
      if (c == '\0') return false;
      continue;
    }
    if (!ignoreCase || c == '\0' || OFL::ToLowerAscii(c) != OFL::ToLowerAscii(t)) return false;
  }
  return *name == '\0';
}

// The decoded text of an element: its text and CDATA children joined, or
// empty when it has a child element. Most elements hold one text node, which
// is returned where it stands; several pieces are joined in `scratch`.
std::string_view DataView(const pugi::xml_node& n, OFL::String& scratch) {
  if (Null(n)) return {};
  pugi::xml_node c = FirstChildOf(n);
  if (Null(c)) return {};
  if (Null(NextSiblingOf(c))) {
    const pugi::xml_node_type t = TypeOf(c);
    return t == pugi::node_pcdata || t == pugi::node_cdata ? std::string_view(ValueOf(c)) : std::string_view();
  }
  scratch.clear();
  for (; !Null(c); c = NextSiblingOf(c)) {
    switch (TypeOf(c)) {
      case pugi::node_element:
        return {};
      case pugi::node_pcdata:
      case pugi::node_cdata:
        scratch += ValueOf(c);
        break;
      default:
        break;
    }
  }
  return scratch;
}

OFL::String DataOf(const pugi::xml_node& n) {
  OFL::String scratch;
  const std::string_view v = DataView(n, scratch);
  return v.data() == scratch.data() ? std::move(scratch) : OFL::String(v);
}

// The printer writes CR raw, and a parser reading the text back would fold it
// into LF. A raw CR can only stand in text or attribute values here (parsing
// folded every CR of the source; comments and instructions are not kept), so
// it is written as a reference instead.
void EscapeCarriageReturns(OFL::String& out) {
  if (out.find('\r') != OFL::String::npos) OFL::ReplaceAll(out, "\r", "&#13;");
}

OFL::String SubDocOf(const pugi::xml_node& n) {
  OFL::String out;
  if (!n) return out;
  StringWriter w(out);
  n.print(w, "", pugi::format_raw, pugi::encoding_utf8);
  EscapeCarriageReturns(out);
  return out;
}

// XML names we write: a letter, "_", ":" or a non-ASCII byte first, then also
// digits, "-" and ".". Anything else would make markup that cannot be read back.
bool IsXmlName(const char* n) {
  if (n == nullptr || *n == '\0') return false;
  auto start = [](unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
  };
  if (!start(static_cast<unsigned char>(*n))) return false;
  for (const char* p = n + 1; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (!start(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.') return false;
  }
  return true;
}

void SetText(pugi::xml_node n, const OFL::String& data) {
  while (pugi::xml_node c = n.first_child()) {
    if (c.type() == pugi::node_element) break;
    n.remove_child(c);
  }
  if (!data.empty()) n.prepend_child(pugi::node_pcdata).set_value(data.c_str());
}

// Parses `length` bytes at `text` (the last one a terminating zero) into
// `doc`, in place when asked, when they are one well-formed document with a
// single root element; else false with what is wrong in `error`.
bool LoadChecked(pugi::xml_document& doc, char* text, size_t length, bool inPlace, OFL::String& error) {
  const std::string_view view(text, length - 1);
  const OFL::internal::WellFormed verdict = OFL::internal::CheckWellFormedQuickly(view, error);
  if (verdict == OFL::internal::WellFormed::kNo) return false;
  const pugi::xml_parse_result r = inPlace ? doc.load_buffer_inplace(text, length, kParseOptions, pugi::encoding_utf8)
                                           : doc.load_buffer(text, length, kParseOptions, pugi::encoding_utf8);
  if (!r) {
    error = OFL::String(r.description()) + " at offset " + std::to_string(r.offset);
    return false;
  }
  // Only a text the quick check passed can hold more here. Parsing in place
  // leaves names and texts where they stood, which gives the offset.
  const pugi::xml_node root = doc.first_child();
  if (!root) {
    error = "no root element at offset 0";
    return false;
  }
  const pugi::xml_node extra = root.type() != pugi::node_element ? root : root.next_sibling();
  if (!extra) return true;
  const bool element = extra.type() == pugi::node_element;
  error = element ? "a second root element" : "text outside the root element";
  if (inPlace) error += " at offset " + std::to_string((element ? extra.name() - 1 : extra.value()) - text);
  return false;
}

}  // namespace

// The cursors stand on nodes of `doc`, or, for a parser set up by
// SetDocFromChild, on nodes of the element `scope` of another parser's
// document, which then stands in for the whole document.
struct OFLXMLParser::Impl {
  pugi::xml_document doc;
  OFL::String buffer;     // the loaded text, which the document is parsed in
  pugi::xml_node scope;   // the element read in place, or null
  pugi::xml_node parent;  // null at the top level
  pugi::xml_node main;
  pugi::xml_node child;
  bool changed = false;   // changed since it was loaded
  bool stable = false;    // `scope` prints and parses again to the same nodes
  bool plain = false;     // the loaded text has nothing that a reparse could drop
  OFL::String error;
  // Texts of several pieces handed out as views, kept until the document
  // changes.
  mutable std::unordered_map<NodePtr, OFL::String> joined;

  std::string_view DataViewOf(const pugi::xml_node& n) const {
    OFL::String pieces;
    const std::string_view v = DataView(n, pieces);
    if (v.data() != pieces.data()) return v;
    OFL::String& kept = joined.try_emplace(PtrOf(n), std::move(pieces)).first->second;
    return kept;
  }

  pugi::xml_node FirstAtLevel() const {
    if (!Null(parent)) return FirstChildOf(parent);
    return !Null(scope) ? scope : doc.first_child();
  }
  pugi::xml_node Level() const { return !Null(parent) ? parent : pugi::xml_node(doc); }

  void Clear() {
    SetNull(scope);
    SetNull(parent);
    SetNull(main);
    SetNull(child);
    changed = stable = plain = false;
    error.clear();
    if (!joined.empty()) joined.clear();
    if (!Null(FirstChildOf(doc))) doc.reset();
  }

  // Before a change: a parser that reads another's element copies it into
  // its own document first and moves its cursors onto the copy.
  void MakeOwn() {
    changed = true;
    joined.clear();
    if (!scope) return;
    std::vector<size_t> pathParent = PathOf(parent), pathMain = PathOf(main), pathChild = PathOf(child);
    doc.reset();
    const pugi::xml_node root = doc.append_copy(scope);
    parent = Follow(root, pathParent, parent);
    main = Follow(root, pathMain, main);
    child = Follow(root, pathChild, child);
    SetNull(scope);
  }
  // Positions among all siblings from below the scope element down to `n`.
  std::vector<size_t> PathOf(pugi::xml_node n) const {
    std::vector<size_t> path;
    for (; !Null(n) && !Same(n, scope); n = n.parent()) {
      size_t i = 0;
      for (pugi::xml_node s = n.previous_sibling(); s; s = s.previous_sibling()) ++i;
      path.push_back(i);
    }
    return path;
  }
  static pugi::xml_node Follow(pugi::xml_node root, const std::vector<size_t>& path, const pugi::xml_node& was) {
    if (!was) return {};
    pugi::xml_node n = root;
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
      n = n.first_child();
      for (size_t i = 0; i < *it; ++i) n = n.next_sibling();
    }
    return n;
  }
};

OFLXMLParser::OFLXMLParser() : impl_(std::make_unique<Impl>()) {}

OFLXMLParser::OFLXMLParser(const String& doc) : OFLXMLParser() { SetDoc(doc); }

OFLXMLParser::~OFLXMLParser() = default;

bool OFLXMLParser::SetDoc(const String& text) { return SetDoc(text.data(), text.size()); }

bool OFLXMLParser::SetDoc(const char* text, size_t length) {
  Impl& m = *impl_;
  if (text == nullptr || length == 0) {
    m.Clear();
    m.error = "No document element found";
    return false;
  }
  // Copied first: the text may be one of this document's own strings.
  m.buffer.assign(text, length);
  m.Clear();
  // Only character references and CDATA sections make the text nodes that a
  // reparse drops; without them every element reparses unchanged, which
  // spares SetDocFromChild a walk of each element it is given. Looked for
  // before the parse, which decodes the buffer in place.
  const std::string_view raw(m.buffer);
  const bool plain = raw.find("&#") == std::string_view::npos && raw.find("![CDATA[") == std::string_view::npos;
  // The String's terminating zero is handed over too: a parse that finds the
  // zero where the text ends needs no copy of its last byte.
  if (!LoadChecked(m.doc, m.buffer.data(), m.buffer.size() + 1, true, m.error)) {
    m.doc.reset();
    return false;
  }
  m.plain = plain;
  return true;
}

bool OFLXMLParser::SetDocFromChild(const OFLXMLParser& source) {
  const Impl& s = *source.impl_;
  Impl& m = *impl_;
  // A child of this parser's own document (through a parser reading it) goes
  // with the document, so it is printed first.
  if (this == &source || s.changed || Null(s.child) ||
      (!Null(FirstChildOf(m.doc)) && Same(s.child.root(), m.doc)))
    return SetDoc(source.GetChildSubDoc());
  // Whatever holds for an element holds for the elements inside it.
  const bool same = !Null(s.scope) ? s.stable : s.plain || ReparsesUnchanged(s.child);
  if (!same) return SetDoc(source.GetChildSubDoc());
  m.Clear();
  m.scope = s.child;
  m.stable = true;
  return true;
}

OFL::String OFLXMLParser::GetDoc() const {
  const Impl& m = *impl_;
  if (m.scope) return SubDocOf(m.scope);
  String out;
  StringWriter w(out);
  m.doc.save(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  EscapeCarriageReturns(out);
  return out;
}

OFL::String OFLXMLParser::GetError() const { return impl_->error; }

bool OFLXMLParser::FindElem(const char* name) {
  Impl& m = *impl_;
  pugi::xml_node found = m.scope;
  if (Null(m.parent) && !Null(m.scope)) {
    if (!Null(m.main) || !NameMatches(m.scope, name)) SetNull(found);
  } else {
    found = NextElement(!Null(m.main) ? NextSiblingOf(m.main) : m.FirstAtLevel(), name);
  }
  if (Null(found)) return false;
  m.main = found;
  SetNull(m.child);
  return true;
}

bool OFLXMLParser::FindChildElem(const char* name) {
  Impl& m = *impl_;
  if (Null(m.main) && !FindElem()) return false;
  pugi::xml_node start = !Null(m.child) ? NextSiblingOf(m.child) : FirstChildOf(m.main);
  pugi::xml_node found = NextElement(start, name);
  if (Null(found)) return false;
  m.child = found;
  return true;
}

void OFLXMLParser::VisitChildElems(void (*visit)(void*, std::string_view), void* fn) {
  Impl& m = *impl_;
  for (;;) {
    // FindChildElem(), inlined; `fn` may have moved any cursor.
    if (Null(m.main) && !FindElem()) return;
    pugi::xml_node found = NextElement(!Null(m.child) ? NextSiblingOf(m.child) : FirstChildOf(m.main), nullptr);
    if (Null(found)) return;
    m.child = found;
    visit(fn, NameOf(found));
  }
}

bool OFLXMLParser::IntoElem() {
  Impl& m = *impl_;
  if (Null(m.main)) return false;
  m.parent = m.main;
  m.main = m.child;
  SetNull(m.child);
  return true;
}

bool OFLXMLParser::OutOfElem() {
  Impl& m = *impl_;
  if (Null(m.parent)) return false;
  m.child = m.main;
  m.main = m.parent;
  if (Same(m.parent, m.scope)) {
    SetNull(m.parent);
  } else {
    pugi::xml_node up = ParentOf(m.parent);
    if (!Null(up) && TypeOf(up) != pugi::node_element) SetNull(up);
    m.parent = up;
  }
  return true;
}

void OFLXMLParser::ResetPos() {
  SetNull(impl_->parent);
  SetNull(impl_->main);
  SetNull(impl_->child);
}
void OFLXMLParser::ResetMainPos() {
  SetNull(impl_->main);
  SetNull(impl_->child);
}
void OFLXMLParser::ResetChildPos() { SetNull(impl_->child); }

OFL::String OFLXMLParser::GetTagName() const { return String(GetTagNameView()); }
OFL::String OFLXMLParser::GetChildTagName() const { return String(GetChildTagNameView()); }
OFL::String OFLXMLParser::GetData() const { return DataOf(impl_->main); }
OFL::String OFLXMLParser::GetChildData() const { return DataOf(impl_->child); }
OFL::String OFLXMLParser::GetSubDoc() const { return SubDocOf(impl_->main); }
OFL::String OFLXMLParser::GetChildSubDoc() const { return SubDocOf(impl_->child); }

std::string_view OFLXMLParser::GetTagNameView() const {
  return !Null(impl_->main) ? std::string_view(NameOf(impl_->main)) : std::string_view();
}
std::string_view OFLXMLParser::GetChildTagNameView() const {
  return !Null(impl_->child) ? std::string_view(NameOf(impl_->child)) : std::string_view();
}
std::string_view OFLXMLParser::GetDataView() const { return impl_->DataViewOf(impl_->main); }
std::string_view OFLXMLParser::GetChildDataView() const { return impl_->DataViewOf(impl_->child); }

bool OFLXMLParser::ChildTagIs(std::string_view tag, bool ignoreCase) const {
  return !Null(impl_->child) && NameIs(NameOf(impl_->child), tag, ignoreCase);
}

bool OFLXMLParser::GetChildFieldViews(std::span<const std::string_view> tags, std::span<std::string_view> data) const {
  const Impl& m = *impl_;
  if (Null(m.child)) return false;
  const size_t n = std::min(tags.size(), data.size());
  for (pugi::xml_node c = FirstChildOf(m.child); !Null(c); c = NextSiblingOf(c)) {
    // Only elements have names that are not empty.
    const char* name = NameOf(c);
    if (*name == '\0') continue;
    for (size_t i = 0; i < n; ++i) {
      if (!NameIs(name, tags[i], true) || TypeOf(c) != pugi::node_element) continue;
      data[i] = m.DataViewOf(c);
      break;
    }
  }
  return true;
}

OFL::String OFLXMLParser::GetAttrib(const char* name) const {
  return impl_->main && name ? String(impl_->main.attribute(name).value()) : String();
}

OFL::String OFLXMLParser::GetChildAttrib(const char* name) const {
  return impl_->child && name ? String(impl_->child.attribute(name).value()) : String();
}

bool OFLXMLParser::HasChildElem() const {
  return !Null(impl_->main) && !Null(NextElement(FirstChildOf(impl_->main), nullptr));
}

bool OFLXMLParser::AddElem(const char* name, const String& data) {
  Impl& m = *impl_;
  if (!IsXmlName(name)) return false;
  m.MakeOwn();
  pugi::xml_node level = m.Level();
  pugi::xml_node n = m.main ? level.insert_child_after(pugi::node_element, m.main)
                            : level.append_child(pugi::node_element);
  if (!n) return false;
  n.set_name(name);
  SetText(n, data);
  m.main = n;
  SetNull(m.child);
  return true;
}

bool OFLXMLParser::AddChildElem(const char* name, const String& data) {
  Impl& m = *impl_;
  if (!m.main || !IsXmlName(name)) return false;
  m.MakeOwn();
  pugi::xml_node n = m.main.append_child(pugi::node_element);
  if (!n) return false;
  n.set_name(name);
  SetText(n, data);
  m.child = n;
  return true;
}

bool OFLXMLParser::SetAttrib(const char* name, const String& value) {
  Impl& m = *impl_;
  if (!m.main || !IsXmlName(name)) return false;
  m.MakeOwn();
  pugi::xml_attribute a = m.main.attribute(name);
  if (!a) a = m.main.append_attribute(name);
  return a.set_value(value.c_str());
}

bool OFLXMLParser::SetChildAttrib(const char* name, const String& value) {
  Impl& m = *impl_;
  if (!m.child || !IsXmlName(name)) return false;
  m.MakeOwn();
  pugi::xml_attribute a = m.child.attribute(name);
  if (!a) a = m.child.append_attribute(name);
  return a.set_value(value.c_str());
}

bool OFLXMLParser::SetData(const String& data) {
  Impl& m = *impl_;
  if (!m.main) return false;
  m.MakeOwn();
  SetText(m.main, data);
  return true;
}

bool OFLXMLParser::SetChildData(const String& data) {
  Impl& m = *impl_;
  if (!m.child) return false;
  m.MakeOwn();
  SetText(m.child, data);
  return true;
}

namespace {

// The root element of `markup` parsed into `tmp`, or null when `markup` is not
// one well-formed document.
pugi::xml_node ParseFragment(const OFL::String& markup, pugi::xml_document& tmp) {
  OFL::String copy = markup, error;
  if (!LoadChecked(tmp, copy.data(), copy.size() + 1, false, error)) return {};
  return tmp.document_element();
}

}  // namespace

bool OFLXMLParser::AddSubDoc(const String& markup) {
  Impl& m = *impl_;
  pugi::xml_document tmp;
  pugi::xml_node src = ParseFragment(markup, tmp);
  if (!src) return false;
  m.MakeOwn();
  pugi::xml_node level = m.Level();
  pugi::xml_node n = m.main ? level.insert_copy_after(src, m.main) : level.append_copy(src);
  if (!n) return false;
  m.main = n;
  SetNull(m.child);
  return true;
}

bool OFLXMLParser::AddChildSubDoc(const String& markup) {
  Impl& m = *impl_;
  if (!m.main) return false;
  pugi::xml_document tmp;
  pugi::xml_node src = ParseFragment(markup, tmp);
  if (!src) return false;
  m.MakeOwn();
  pugi::xml_node n = m.main.append_copy(src);
  if (!n) return false;
  m.child = n;
  return true;
}

OFL::String OFLXMLParser::EscapeText(const String& text, int flags) {
  if (flags & 1) {
    String out;
    out.reserve(text.size());
    for (char c : text) {
      if (c == '"' || c == '\'') out += c;
      else OFLTools::AppendXMLData(out, std::string_view(&c, 1));
    }
    return out;
  }
  return OFLTools::MakeXMLData(text);
}

namespace {

void AppendUtf8(OFL::String& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes the reference starting at text[i] == '&'; returns its length, or 0
// when it is not a reference we know (then the '&' stays literal).
size_t DecodeReference(std::string_view text, size_t i, OFL::String& out) {
  const size_t semi = text.find(';', i);
  if (semi == std::string_view::npos || semi - i > 12) return 0;
  const std::string_view body = text.substr(i + 1, semi - i - 1);
  static constexpr struct { std::string_view name; char c; } kNamed[] = {
      {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
  for (const auto& e : kNamed) {
    if (body == e.name) {
      out += e.c;
      return semi - i + 1;
    }
  }
  if (body.size() < 2 || body[0] != '#') return 0;
  const bool hex = body[1] == 'x' || body[1] == 'X';
  const std::string_view digits = body.substr(hex ? 2 : 1);
  if (digits.empty()) return 0;
  uint32_t cp = 0;
  for (char c : digits) {
    uint32_t d;
    if (c >= '0' && c <= '9') d = uint32_t(c - '0');
    else if (hex && c >= 'a' && c <= 'f') d = uint32_t(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F') d = uint32_t(c - 'A' + 10);
    else return 0;
    cp = cp * (hex ? 16 : 10) + d;
    if (cp > 0x10FFFF) return 0;
  }
  AppendUtf8(out, cp);
  return semi - i + 1;
}

}  // namespace

OFL::String OFLXMLParser::UnescapeText(const String& text) {
  String out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      const size_t used = DecodeReference(text, i, out);
      if (used > 0) {
        i += used - 1;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}
