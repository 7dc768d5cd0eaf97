// The XML-building half of OFLTools.
#include <charconv>
#include <cstdio>

#include "ofl/tools.h"

namespace {

// Length of the UTF-8 sequence starting at s[i] and its code point; 0 when the
// bytes there are not a valid sequence.
size_t DecodeUtf8(std::string_view s, size_t i, uint32_t& cp) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  size_t len;
  if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1F; }
  else if (c >= 0xE0 && c <= 0xEF) { len = 3; cp = c & 0x0F; }
  else if (c >= 0xF0 && c <= 0xF4) { len = 4; cp = c & 0x07; }
  else return 0;
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const unsigned char cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (cc & 0x3F);
  }
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return len;
}

void AppendCharRef(OFL::String& out, uint32_t cp) {
  char buf[16];
  const int n = std::snprintf(buf, sizeof buf, "&#x%X;", cp);
  out.append(buf, static_cast<size_t>(n));
}

template <class T>
void AppendNumber(OFL::String& out, T value) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

void AppendOpen(OFL::String& out, std::string_view tag, std::string_view attrib) {
  out += '<';
  out.append(tag);
  if (!attrib.empty()) {
    out += ' ';
    out.append(attrib);
  }
  out += '>';
}

void AppendClose(OFL::String& out, std::string_view tag) {
  out.append("</", 2);
  out.append(tag);
  out += '>';
}

template <class T>
OFL::String NumberNode(std::string_view tag, T value, std::string_view attrib) {
  OFL::String out;
  out.reserve(2 * tag.size() + attrib.size() + 26);
  AppendOpen(out, tag, attrib);
  AppendNumber(out, value);
  AppendClose(out, tag);
  return out;
}

}  // namespace

OFL::String OFLTools::MakeXMLTag(std::string_view name, bool closing) {
  String out;
  AppendXMLTag(out, name, closing);
  return out;
}

void OFLTools::AppendXMLTag(String& out, std::string_view name, bool closing) {
  if (closing) AppendClose(out, name);
  else AppendOpen(out, name, {});
}

void OFLTools::AppendXMLData(String& out, std::string_view text, bool escapeAll) {
  size_t run = 0;  // start of the pending run of plain bytes
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const char* entity = nullptr;
    switch (c) {
      case '&': entity = "&amp;"; break;
      case '<': entity = "&lt;"; break;
      case '>': entity = "&gt;"; break;
      case '"': entity = "&quot;"; break;
      case '\'': entity = "&apos;"; break;
      default: break;
    }
    const bool control = c < 0x20 && c != '\t' && c != '\n';
    const bool high = escapeAll && c >= 0x7F;
    if (!entity && !control && !high) continue;
    out.append(text.data() + run, i - run);
    if (entity) {
      out.append(entity);
    } else if (control) {
      // CR must be a reference or parsers fold CR LF into LF.
      AppendCharRef(out, c);
    } else {
      uint32_t cp = c;
      const size_t len = c >= 0x80 ? DecodeUtf8(text, i, cp) : 1;
      if (len == 0) {
        out += static_cast<char>(c);  // not UTF-8: keep the byte as it is
      } else {
        AppendCharRef(out, cp);
        i += len - 1;
      }
    }
    run = i + 1;
  }
  out.append(text.data() + run, text.size() - run);
}

OFL::String OFLTools::MakeXMLData(std::string_view text) {
  String out;
  out.reserve(text.size() + 8);
  AppendXMLData(out, text);
  return out;
}

OFL::String OFLTools::MakeXMLNode(std::string_view tag, std::string_view value, std::string_view attrib,
                                  bool escape, bool escapeAll) {
  String out;
  out.reserve(2 * tag.size() + attrib.size() + value.size() + 8);
  AppendOpen(out, tag, attrib);
  if (escape || escapeAll) AppendXMLData(out, value, escapeAll);
  else out.append(value);
  AppendClose(out, tag);
  return out;
}

OFL::String OFLTools::MakeXMLNode(std::string_view tag, const char* value, std::string_view attrib,
                                  bool escape, bool escapeAll) {
  return MakeXMLNode(tag, std::string_view(value ? value : ""), attrib, escape, escapeAll);
}

OFL::String OFLTools::MakeXMLNode(std::string_view tag, const String& value, std::string_view attrib,
                                  bool escape, bool escapeAll) {
  return MakeXMLNode(tag, std::string_view(value), attrib, escape, escapeAll);
}

OFL::String OFLTools::MakeXMLNode(std::string_view tag, int32_t value, std::string_view attrib) {
  return NumberNode(tag, value, attrib);
}
OFL::String OFLTools::MakeXMLNode(std::string_view tag, uint32_t value, std::string_view attrib) {
  return NumberNode(tag, value, attrib);
}
OFL::String OFLTools::MakeXMLNode(std::string_view tag, int64_t value, std::string_view attrib) {
  return NumberNode(tag, value, attrib);
}
OFL::String OFLTools::MakeXMLNode(std::string_view tag, uint64_t value, std::string_view attrib) {
  return NumberNode(tag, value, attrib);
}
OFL::String OFLTools::MakeXMLNode(std::string_view tag, double value, std::string_view attrib) {
  // Shortest text that reads back to the same double.
  return NumberNode(tag, value, attrib);
}
OFL::String OFLTools::MakeXMLNode(std::string_view tag, char value, std::string_view attrib) {
  return MakeXMLNode(tag, std::string_view(&value, 1), attrib, true, false);
}

void OFLTools::AppendXMLNode(String& out, std::string_view tag, std::string_view value) {
  AppendOpen(out, tag, {});
  AppendXMLData(out, value);
  AppendClose(out, tag);
}

void OFLTools::AppendXMLNode(String& out, std::string_view tag, int64_t value) {
  AppendOpen(out, tag, {});
  AppendNumber(out, value);
  AppendClose(out, tag);
}

OFL::String OFLTools::MakeXMLElement(std::string_view tag, std::string_view inner, std::string_view attrib) {
  String out;
  out.reserve(2 * tag.size() + attrib.size() + inner.size() + 8);
  AppendOpen(out, tag, attrib);
  out.append(inner);
  AppendClose(out, tag);
  return out;
}
