#include "ofl/xml_parser.h"

#include <cstring>
#include <pugixml.hpp>

#include "ofl/tools.h"

namespace {

// Whitespace-only text is kept when it is an element's only content, so a
// value of blanks reads back; formatting whitespace between elements is not.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;

struct StringWriter final : pugi::xml_writer {
  explicit StringWriter(OFL::String& out) : out_(out) {}
  void write(const void* data, size_t size) override { out_.append(static_cast<const char*>(data), size); }
  OFL::String& out_;
};

bool NameMatches(const pugi::xml_node& n, const char* name) {
  return n.type() == pugi::node_element && (name == nullptr || std::strcmp(n.name(), name) == 0);
}

pugi::xml_node NextElement(pugi::xml_node from, const char* name) {
  for (; from; from = from.next_sibling())
    if (NameMatches(from, name)) return from;
  return {};
}

OFL::String DataOf(const pugi::xml_node& n) {
  OFL::String out;
  if (!n) return out;
  for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
    switch (c.type()) {
      case pugi::node_element:
        return OFL::String();
      case pugi::node_pcdata:
      case pugi::node_cdata:
        out += c.value();
        break;
      default:
        break;
    }
  }
  return out;
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

}  // namespace

struct OFLXMLParser::Impl {
  pugi::xml_document doc;
  pugi::xml_node parent;  // null at the top level
  pugi::xml_node main;
  pugi::xml_node child;
  OFL::String error;

  pugi::xml_node Level() const { return parent ? parent : pugi::xml_node(doc); }
};

OFLXMLParser::OFLXMLParser() : impl_(std::make_unique<Impl>()) {}

OFLXMLParser::OFLXMLParser(const String& doc) : OFLXMLParser() { SetDoc(doc); }

OFLXMLParser::~OFLXMLParser() = default;

bool OFLXMLParser::SetDoc(const String& text) { return SetDoc(text.data(), text.size()); }

bool OFLXMLParser::SetDoc(const char* text, size_t length) {
  Impl& m = *impl_;
  m.parent = m.main = m.child = pugi::xml_node();
  m.error.clear();
  m.doc.reset();
  if (text == nullptr || length == 0) {
    m.error = "No document element found";
    return false;
  }
  const pugi::xml_parse_result r = m.doc.load_buffer(text, length, kParseOptions, pugi::encoding_utf8);
  if (!r) {
    m.error = OFL::String(r.description()) + " at offset " + std::to_string(r.offset);
    m.doc.reset();
    return false;
  }
  if (!m.doc.document_element()) {
    m.error = "No document element found";
    m.doc.reset();
    return false;
  }
  return true;
}

OFL::String OFLXMLParser::GetDoc() const {
  String out;
  StringWriter w(out);
  impl_->doc.save(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  EscapeCarriageReturns(out);
  return out;
}

OFL::String OFLXMLParser::GetError() const { return impl_->error; }

bool OFLXMLParser::FindElem(const char* name) {
  Impl& m = *impl_;
  pugi::xml_node start = m.main ? m.main.next_sibling() : m.Level().first_child();
  pugi::xml_node found = NextElement(start, name);
  if (!found) return false;
  m.main = found;
  m.child = pugi::xml_node();
  return true;
}

bool OFLXMLParser::FindChildElem(const char* name) {
  Impl& m = *impl_;
  if (!m.main && !FindElem()) return false;
  pugi::xml_node start = m.child ? m.child.next_sibling() : m.main.first_child();
  pugi::xml_node found = NextElement(start, name);
  if (!found) return false;
  m.child = found;
  return true;
}

bool OFLXMLParser::IntoElem() {
  Impl& m = *impl_;
  if (!m.main) return false;
  m.parent = m.main;
  m.main = m.child;
  m.child = pugi::xml_node();
  return true;
}

bool OFLXMLParser::OutOfElem() {
  Impl& m = *impl_;
  if (!m.parent) return false;
  m.child = m.main;
  m.main = m.parent;
  pugi::xml_node up = m.parent.parent();
  m.parent = (up && up.type() == pugi::node_element) ? up : pugi::xml_node();
  return true;
}

void OFLXMLParser::ResetPos() { impl_->parent = impl_->main = impl_->child = pugi::xml_node(); }
void OFLXMLParser::ResetMainPos() { impl_->main = impl_->child = pugi::xml_node(); }
void OFLXMLParser::ResetChildPos() { impl_->child = pugi::xml_node(); }

OFL::String OFLXMLParser::GetTagName() const { return impl_->main ? String(impl_->main.name()) : String(); }
OFL::String OFLXMLParser::GetChildTagName() const { return impl_->child ? String(impl_->child.name()) : String(); }
OFL::String OFLXMLParser::GetData() const { return DataOf(impl_->main); }
OFL::String OFLXMLParser::GetChildData() const { return DataOf(impl_->child); }
OFL::String OFLXMLParser::GetSubDoc() const { return SubDocOf(impl_->main); }
OFL::String OFLXMLParser::GetChildSubDoc() const { return SubDocOf(impl_->child); }

OFL::String OFLXMLParser::GetAttrib(const char* name) const {
  return impl_->main && name ? String(impl_->main.attribute(name).value()) : String();
}

OFL::String OFLXMLParser::GetChildAttrib(const char* name) const {
  return impl_->child && name ? String(impl_->child.attribute(name).value()) : String();
}

bool OFLXMLParser::HasChildElem() const {
  return impl_->main && NextElement(impl_->main.first_child(), nullptr);
}

bool OFLXMLParser::AddElem(const char* name, const String& data) {
  Impl& m = *impl_;
  if (!IsXmlName(name)) return false;
  pugi::xml_node level = m.Level();
  pugi::xml_node n = m.main ? level.insert_child_after(pugi::node_element, m.main)
                            : level.append_child(pugi::node_element);
  if (!n) return false;
  n.set_name(name);
  SetText(n, data);
  m.main = n;
  m.child = pugi::xml_node();
  return true;
}

bool OFLXMLParser::AddChildElem(const char* name, const String& data) {
  Impl& m = *impl_;
  if (!m.main || !IsXmlName(name)) return false;
  pugi::xml_node n = m.main.append_child(pugi::node_element);
  if (!n) return false;
  n.set_name(name);
  SetText(n, data);
  m.child = n;
  return true;
}

bool OFLXMLParser::SetAttrib(const char* name, const String& value) {
  if (!impl_->main || !IsXmlName(name)) return false;
  pugi::xml_attribute a = impl_->main.attribute(name);
  if (!a) a = impl_->main.append_attribute(name);
  return a.set_value(value.c_str());
}

bool OFLXMLParser::SetChildAttrib(const char* name, const String& value) {
  if (!impl_->child || !IsXmlName(name)) return false;
  pugi::xml_attribute a = impl_->child.attribute(name);
  if (!a) a = impl_->child.append_attribute(name);
  return a.set_value(value.c_str());
}

bool OFLXMLParser::SetData(const String& data) {
  if (!impl_->main) return false;
  SetText(impl_->main, data);
  return true;
}

bool OFLXMLParser::SetChildData(const String& data) {
  if (!impl_->child) return false;
  SetText(impl_->child, data);
  return true;
}

bool OFLXMLParser::AddSubDoc(const String& markup) {
  Impl& m = *impl_;
  pugi::xml_document tmp;
  if (!tmp.load_buffer(markup.data(), markup.size(), kParseOptions, pugi::encoding_utf8)) return false;
  pugi::xml_node src = tmp.document_element();
  if (!src) return false;
  pugi::xml_node level = m.Level();
  pugi::xml_node n = m.main ? level.insert_copy_after(src, m.main) : level.append_copy(src);
  if (!n) return false;
  m.main = n;
  m.child = pugi::xml_node();
  return true;
}

bool OFLXMLParser::AddChildSubDoc(const String& markup) {
  Impl& m = *impl_;
  if (!m.main) return false;
  pugi::xml_document tmp;
  if (!tmp.load_buffer(markup.data(), markup.size(), kParseOptions, pugi::encoding_utf8)) return false;
  pugi::xml_node src = tmp.document_element();
  if (!src) return false;
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
