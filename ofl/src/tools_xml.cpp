// The XML-building half of OFLTools.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
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
  out += '<';
  out += '/';
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

namespace {

// Per byte: kAlways for what is always written as a reference (& < > " '
// and the control characters other than tab and LF), kHigh for what is
// written as a reference when all non-ASCII is (DEL and above), kBlank for
// tab and LF, written as references in attribute values.
constexpr uint8_t kAlways = 1, kHigh = 2, kBlank = 4;
constexpr auto kEscapeTable = [] {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 0x20; ++c) t[c] = kAlways;
  t['\t'] = t['\n'] = kBlank;
  t['&'] = t['<'] = t['>'] = t['"'] = t['\''] = kAlways;
  for (int c = 0x7F; c < 0x100; ++c) t[c] = kHigh;
  return t;
}();

// First byte from `p` on whose class is in `mask`, or `end`.
const unsigned char* FindEscaped(const unsigned char* p, const unsigned char* end, uint8_t mask) {
  for (; end - p >= 4; p += 4) {
    if (kEscapeTable[p[0]] & mask) return p;
    if (kEscapeTable[p[1]] & mask) return p + 1;
    if (kEscapeTable[p[2]] & mask) return p + 2;
    if (kEscapeTable[p[3]] & mask) return p + 3;
  }
  for (; p != end; ++p)
    if (kEscapeTable[*p] & mask) return p;
  return end;
}

const char* EntityOf(unsigned char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\'': return "&apos;";
    default: return nullptr;
  }
}

// Appends `text` with every byte whose class is in `mask` written as an
// entity or character reference.
void AppendEscaped(OFL::String& out, std::string_view text, uint8_t mask) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  const unsigned char* hit = FindEscaped(p, end, mask);
  if (hit == end) {  // the usual case: nothing to escape
    out.append(text);
    return;
  }
  out.reserve(out.size() + text.size() + 16);
  for (;;) {
    out.append(reinterpret_cast<const char*>(p), static_cast<size_t>(hit - p));
    if (hit == end) return;
    const unsigned char c = *hit;
    size_t used = 1;
    if (const char* entity = EntityOf(c)) {
      out.append(entity);
    } else if (c < 0x20) {
      // CR must be a reference or parsers fold CR LF into LF (and any white
      // space of an attribute value into a blank).
      AppendCharRef(out, c);
    } else {
      uint32_t cp = c;
      const size_t i = static_cast<size_t>(hit - reinterpret_cast<const unsigned char*>(text.data()));
      const size_t len = c >= 0x80 ? DecodeUtf8(text, i, cp) : 1;
      if (len == 0) {
        out += static_cast<char>(c);  // not UTF-8: keep the byte as it is
      } else {
        AppendCharRef(out, cp);
        used = len;
      }
    }
    p = hit + used;
    hit = FindEscaped(p, end, mask);
  }
}

}  // namespace

void OFLTools::AppendXMLData(String& out, std::string_view text, bool escapeAll) {
  AppendEscaped(out, text, escapeAll ? (kAlways | kHigh) : kAlways);
}

void OFLTools::AppendXMLAttributeData(String& out, std::string_view text) {
  AppendEscaped(out, text, kAlways | kBlank);
}

OFL::String OFLTools::MakeXMLAttributeData(std::string_view text) {
  String out;
  out.reserve(text.size() + 8);
  AppendXMLAttributeData(out, text);
  return out;
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

OFL::String OFLTools::MakeXMLNumberNode(std::string_view tag, long long value, std::string_view attrib) {
  return NumberNode(tag, value, attrib);
}
OFL::String OFLTools::MakeXMLNumberNode(std::string_view tag, unsigned long long value, std::string_view attrib) {
  return NumberNode(tag, value, attrib);
}
OFL::String OFLTools::MakeXMLNode(std::string_view tag, double value, std::string_view attrib) {
  return NumberNode(tag, value, attrib);
}
OFL::String OFLTools::MakeXMLNode(std::string_view tag, char value, std::string_view attrib) {
  return MakeXMLNode(tag, std::string_view(&value, 1), attrib, true, false);
}

void OFLTools::AppendXMLNode(String& out, std::string_view tag, std::string_view value) {
  // Objects pack their fields one by one into a String that starts empty: a
  // first growth to a useful size saves reallocating for every field.
  const size_t need = out.size() + 2 * tag.size() + 5 + value.size();
  if (need > out.capacity()) out.reserve(std::max<size_t>(need, 128));
  AppendOpen(out, tag, {});
  AppendXMLData(out, value);
  AppendClose(out, tag);
}

namespace {
template <class T>
void AppendNumberNode(OFL::String& out, std::string_view tag, T value) {
  AppendOpen(out, tag, {});
  AppendNumber(out, value);
  AppendClose(out, tag);
}
}  // namespace

void OFLTools::AppendXMLNumberNode(String& out, std::string_view tag, long long value) {
  AppendNumberNode(out, tag, value);
}
void OFLTools::AppendXMLNumberNode(String& out, std::string_view tag, unsigned long long value) {
  AppendNumberNode(out, tag, value);
}

OFL::String OFLTools::MakeXMLElement(std::string_view tag, std::string_view inner, std::string_view attrib) {
  String out;
  out.reserve(2 * tag.size() + attrib.size() + inner.size() + 8);
  AppendOpen(out, tag, attrib);
  out.append(inner);
  AppendClose(out, tag);
  return out;
}
