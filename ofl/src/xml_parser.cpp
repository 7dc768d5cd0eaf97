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

// Appends `text` with its entities and character references resolved; an "&"
// that starts no reference we know stays as it is.
void AppendUnescaped(OFL::String& out, std::string_view text) {
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
}

// The decoded text of an element: its text and CDATA children joined, or
// empty when it has a child element. Most elements hold one text node, which
// is returned where it stands; several pieces, and the texts of a document
// read `raw` (without decoding its references), are made in `scratch`.
std::string_view DataView(const pugi::xml_node& n, OFL::String& scratch, bool raw) {
  if (Null(n)) return {};
  pugi::xml_node c = FirstChildOf(n);
  if (Null(c)) return {};
  if (!raw && Null(NextSiblingOf(c))) {
    const pugi::xml_node_type t = TypeOf(c);
    return t == pugi::node_pcdata || t == pugi::node_cdata ? std::string_view(ValueOf(c)) : std::string_view();
  }
  scratch.clear();
  for (; !Null(c); c = NextSiblingOf(c)) {
    switch (TypeOf(c)) {
      case pugi::node_element:
        return {};
      case pugi::node_pcdata:
        if (raw) AppendUnescaped(scratch, ValueOf(c));
        else scratch += ValueOf(c);
        break;
      case pugi::node_cdata:
        scratch += ValueOf(c);
        break;
      default:
        break;
    }
  }
  return scratch;
}

OFL::String DataOf(const pugi::xml_node& n, bool raw) {
  OFL::String scratch;
  const std::string_view v = DataView(n, scratch, raw);
  return v.data() == scratch.data() ? std::move(scratch) : OFL::String(v);
}

// The printer writes CR raw, and a parser reading the text back would fold it
// into LF. A raw CR can only stand in text or attribute values here (parsing
// folded every CR of the source; comments and instructions are not kept), so
// it is written as a reference instead.
void EscapeCarriageReturns(OFL::String& out) {
  if (out.find('\r') != OFL::String::npos) OFL::ReplaceAll(out, "\r", "&#13;");
}

// The texts of a document read raw are markup already.
unsigned PrintFlags(bool raw) { return pugi::format_raw | (raw ? pugi::format_no_escapes : 0); }

OFL::String SubDocOf(const pugi::xml_node& n, bool raw) {
  OFL::String out;
  if (!n) return out;
  StringWriter w(out);
  n.print(w, "", PrintFlags(raw), pugi::encoding_utf8);
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

// Whether `text` holds a character reference to NUL ("&#0;", "&#x00;"). The
// parser underneath keeps texts as C strings, which cannot hold NUL, so such
// a document is read raw: its references stay as written and are resolved
// when a text is read.
bool HasNulReference(std::string_view text) {
  for (size_t i = text.find("&#"); i != std::string_view::npos; i = text.find("&#", i + 2)) {
    size_t j = i + 2;
    if (j < text.size() && text[j] == 'x') ++j;
    const size_t digits = j;
    while (j < text.size() && text[j] == '0') ++j;
    if (j > digits && j < text.size() && text[j] == ';') return true;
  }
  return false;
}

// Makes the texts of a document markup, as in a document read raw: a value
// from single quotes may hold a '"' that the printer would write bare, and a
// decoded document's texts need escaping.
struct RawTexts final : pugi::xml_tree_walker {
  explicit RawTexts(bool decoded) : decoded_(decoded) {}
  bool for_each(pugi::xml_node& n) override {
    if (n.type() == pugi::node_pcdata && decoded_) n.set_value(OFLTools::MakeXMLData(n.value()).c_str());
    for (pugi::xml_attribute a : n.attributes()) {
      OFL::String v = a.value();
      if (decoded_) v = OFLTools::MakeXMLAttributeData(v);
      else if (v.find('"') != OFL::String::npos) OFL::ReplaceAll(v, "\"", "&quot;");
      else continue;
      a.set_value(v.c_str());
    }
    return true;
  }
  bool decoded_;
};

// Parses `length` bytes at `text` (the last one a terminating zero) into
// `doc`, in place when asked and `raw` when asked (see HasNulReference),
// when they are one well-formed document with a single root element; else
// false with what is wrong in `error`.
bool LoadChecked(pugi::xml_document& doc, char* text, size_t length, bool inPlace, bool raw, OFL::String& error) {
  const std::string_view view(text, length - 1);
  const OFL::internal::WellFormed verdict = OFL::internal::CheckWellFormedQuickly(view, error);
  if (verdict == OFL::internal::WellFormed::kNo) return false;
  const unsigned options = raw ? kParseOptions & ~pugi::parse_escapes : kParseOptions;
  const pugi::xml_parse_result r = inPlace ? doc.load_buffer_inplace(text, length, options, pugi::encoding_utf8)
                                           : doc.load_buffer(text, length, options, pugi::encoding_utf8);
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
  if (!extra) {
    if (raw) {
      RawTexts quote(false);
      doc.traverse(quote);
    }
    return true;
  }
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
  bool raw = false;       // texts hold markup, resolved when read (HasNulReference)
  OFL::String error;
  // Texts of several pieces handed out as views, kept until the document
  // changes.
  mutable std::unordered_map<NodePtr, OFL::String> joined;
  // Where the last GetNthAttrib stopped, so that reading the attributes one
  // after another stays linear; forgotten when the document changes.
  mutable pugi::xml_node nthOwner;
  mutable pugi::xml_attribute nthAttrib;
  mutable size_t nthIndex = 0;

  std::string_view DataViewOf(const pugi::xml_node& n) const {
    OFL::String pieces;
    const std::string_view v = DataView(n, pieces, raw);
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
    changed = stable = plain = raw = false;
    error.clear();
    if (!joined.empty()) joined.clear();
    ForgetNthAttrib();
    if (!Null(FirstChildOf(doc))) doc.reset();
  }
  void ForgetNthAttrib() const {
    nthOwner = pugi::xml_node();
    nthAttrib = pugi::xml_attribute();
  }

  // Before a change: a parser that reads another's element copies it into
  // its own document first and moves its cursors onto the copy.
  void MakeOwn() {
    changed = true;
    joined.clear();
    ForgetNthAttrib();
    if (!scope) return;
    std::vector<size_t> pathParent = PathOf(parent), pathMain = PathOf(main), pathChild = PathOf(child);
    doc.reset();
    const pugi::xml_node root = doc.append_copy(scope);
    parent = Follow(root, pathParent, parent);
    main = Follow(root, pathMain, main);
    child = Follow(root, pathChild, child);
    SetNull(scope);
  }
  void MakeRaw() {
    if (raw) return;
    RawTexts escape(true);
    doc.traverse(escape);
    raw = true;
  }
  // Before `text` is written: one that holds NUL turns the document raw.
  void MakeRawFor(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) MakeRaw();
  }
  // A text as it is stored: as markup in a raw document.
  OFL::String Stored(const OFL::String& text, bool attribute) const {
    if (!raw) return text;
    return attribute ? OFLTools::MakeXMLAttributeData(text) : OFLTools::MakeXMLData(text);
  }
  OFL::String Read(const char* text) const { return raw ? UnescapeText(text) : OFL::String(text); }

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
  const bool nul = !plain && HasNulReference(raw);
  // The String's terminating zero is handed over too: a parse that finds the
  // zero where the text ends needs no copy of its last byte.
  if (!LoadChecked(m.doc, m.buffer.data(), m.buffer.size() + 1, true, nul, m.error)) {
    m.doc.reset();
    return false;
  }
  m.plain = plain;
  m.raw = nul;
  return true;
}

bool OFLXMLParser::SetDocFromChild(const OFLXMLParser& source) {
  const Impl& s = *source.impl_;
  Impl& m = *impl_;
  // A child of this parser's own document (through a parser reading it) goes
  // with the document, so it is printed first.
  if (this == &source || s.changed || s.raw || Null(s.child) ||
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
  if (m.scope) return SubDocOf(m.scope, false);
  String out;
  StringWriter w(out);
  m.doc.save(w, "", PrintFlags(m.raw) | pugi::format_no_declaration, pugi::encoding_utf8);
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
OFL::String OFLXMLParser::GetData() const { return DataOf(impl_->main, impl_->raw); }
OFL::String OFLXMLParser::GetChildData() const { return DataOf(impl_->child, impl_->raw); }
OFL::String OFLXMLParser::GetSubDoc() const { return SubDocOf(impl_->main, impl_->raw); }
OFL::String OFLXMLParser::GetChildSubDoc() const { return SubDocOf(impl_->child, impl_->raw); }

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
  return impl_->main && name ? impl_->Read(impl_->main.attribute(name).value()) : String();
}

OFL::String OFLXMLParser::GetChildAttrib(const char* name) const {
  return impl_->child && name ? impl_->Read(impl_->child.attribute(name).value()) : String();
}

bool OFLXMLParser::GetNthAttrib(size_t index, String& name, String& value) const {
  const Impl& m = *impl_;
  if (!m.main) return false;
  const bool onward = m.nthOwner == m.main && m.nthAttrib && index >= m.nthIndex;
  pugi::xml_attribute a = onward ? m.nthAttrib : m.main.first_attribute();
  for (size_t at = onward ? m.nthIndex : 0; a && at < index; ++at) a = a.next_attribute();
  if (!a) return false;
  m.nthOwner = m.main;
  m.nthAttrib = a;
  m.nthIndex = index;
  name = a.name();
  value = m.Read(a.value());
  return true;
}

bool OFLXMLParser::HasChildElem() const {
  return !Null(impl_->main) && !Null(NextElement(FirstChildOf(impl_->main), nullptr));
}

bool OFLXMLParser::AddElem(const char* name, const String& data) {
  Impl& m = *impl_;
  if (!IsXmlName(name)) return false;
  m.MakeOwn();
  m.MakeRawFor(data);
  pugi::xml_node level = m.Level();
  pugi::xml_node n = m.main ? level.insert_child_after(pugi::node_element, m.main)
                            : level.append_child(pugi::node_element);
  if (!n) return false;
  n.set_name(name);
  SetText(n, m.Stored(data, false));
  m.main = n;
  SetNull(m.child);
  return true;
}

bool OFLXMLParser::AddChildElem(const char* name, const String& data) {
  Impl& m = *impl_;
  if (!m.main || !IsXmlName(name)) return false;
  m.MakeOwn();
  m.MakeRawFor(data);
  pugi::xml_node n = m.main.append_child(pugi::node_element);
  if (!n) return false;
  n.set_name(name);
  SetText(n, m.Stored(data, false));
  m.child = n;
  return true;
}

bool OFLXMLParser::SetAttrib(const char* name, const String& value) {
  Impl& m = *impl_;
  if (!m.main || !IsXmlName(name)) return false;
  m.MakeOwn();
  m.MakeRawFor(value);
  pugi::xml_attribute a = m.main.attribute(name);
  if (!a) a = m.main.append_attribute(name);
  return a.set_value(m.Stored(value, true).c_str());
}

bool OFLXMLParser::SetChildAttrib(const char* name, const String& value) {
  Impl& m = *impl_;
  if (!m.child || !IsXmlName(name)) return false;
  m.MakeOwn();
  m.MakeRawFor(value);
  pugi::xml_attribute a = m.child.attribute(name);
  if (!a) a = m.child.append_attribute(name);
  return a.set_value(m.Stored(value, true).c_str());
}

bool OFLXMLParser::SetData(const String& data) {
  Impl& m = *impl_;
  if (!m.main) return false;
  m.MakeOwn();
  m.MakeRawFor(data);
  SetText(m.main, m.Stored(data, false));
  return true;
}

bool OFLXMLParser::SetChildData(const String& data) {
  Impl& m = *impl_;
  if (!m.child) return false;
  m.MakeOwn();
  m.MakeRawFor(data);
  SetText(m.child, m.Stored(data, false));
  return true;
}

namespace {

// The root element of `markup` parsed into `tmp` (raw when asked), or null
// when `markup` is not one well-formed document.
pugi::xml_node ParseFragment(const OFL::String& markup, pugi::xml_document& tmp, bool raw) {
  OFL::String copy = markup, error;
  if (!LoadChecked(tmp, copy.data(), copy.size() + 1, false, raw, error)) return {};
  return tmp.document_element();
}

}  // namespace

bool OFLXMLParser::AddSubDoc(const String& markup) {
  Impl& m = *impl_;
  pugi::xml_document tmp;
  // Markup that holds a reference to NUL turns the document raw.
  const bool raw = m.raw || HasNulReference(markup);
  pugi::xml_node src = ParseFragment(markup, tmp, raw);
  if (!src) return false;
  m.MakeOwn();
  if (raw) m.MakeRaw();
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
  // Markup that holds a reference to NUL turns the document raw.
  const bool raw = m.raw || HasNulReference(markup);
  pugi::xml_node src = ParseFragment(markup, tmp, raw);
  if (!src) return false;
  m.MakeOwn();
  if (raw) m.MakeRaw();
  pugi::xml_node n = m.main.append_copy(src);
  if (!n) return false;
  m.child = n;
  return true;
}

OFL::String OFLXMLParser::EscapeText(const String& text, int flags) {
  if (flags & kEscapeAttribute) return OFLTools::MakeXMLAttributeData(text);
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

OFL::String OFLXMLParser::UnescapeText(const String& text) {
  String out;
  out.reserve(text.size());
  AppendUnescaped(out, text);
  return out;
}
