// Security catalog reading. OpenSSL takes the PKCS #7 envelope apart; the
// trust list inside is walked element by element with its low-level header
// reader, in a fixed nesting depth, so the work stays linear in the input.
//
//   TrustList ::= SEQUENCE { version INTEGER OPTIONAL, subjectUsage SEQUENCE OF OID,
//     listIdentifier OCTET STRING OPTIONAL, sequenceNumber INTEGER OPTIONAL,
//     thisUpdate Time, nextUpdate Time OPTIONAL, subjectAlgorithm SEQUENCE,
//     subjects SEQUENCE OF SEQUENCE { tag OCTET STRING, attributes SET OF Attribute OPTIONAL } OPTIONAL,
//     extensions [0] EXPLICIT SEQUENCE OF Extension OPTIONAL }
//   NameValue ::= SEQUENCE { name BMPString, flags INTEGER, value OCTET STRING (UTF-16LE) }
// Name/value pairs stand in member attributes of the name/value type and, for
// the catalog itself, in extensions of that type (the value wrapping the DER).
#include "ofl/security_catalog.h"

#include <openssl/asn1.h>
#include <openssl/err.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "ofl/bstr.h"

namespace {

using OFL::String;

// Content octets of the object identifiers in use.
constexpr std::string_view kOidTrustList("\x2B\x06\x01\x04\x01\x82\x37\x0A\x01", 9);        // 1.3.6.1.4.1.311.10.1
constexpr std::string_view kOidCatalogList("\x2B\x06\x01\x04\x01\x82\x37\x0C\x01\x01", 10);  // 1.3.6.1.4.1.311.12.1.1
constexpr std::string_view kOidNameValue("\x2B\x06\x01\x04\x01\x82\x37\x0C\x02\x01", 10);    // 1.3.6.1.4.1.311.12.2.1

// Operating-system catalogs reach tens of megabytes; anything far beyond is not a catalog.
constexpr uintmax_t kMaxFileSize = uintmax_t(256) << 20;

// Reads the elements of one constructed value in order. A malformed header is
// never consumed, so the caller's next required element or end check fails.
class Reader {
 public:
  explicit Reader(std::string_view content) : rest_(content) {}

  bool AtEnd() const { return rest_.empty(); }

  // Consumes the next element when it has this class, tag and form.
  bool Take(int cls, int tag, bool constructed, std::string_view& content) {
    const auto* start = reinterpret_cast<const unsigned char*>(rest_.data());
    const unsigned char* p = start;
    long length = 0;
    int gotTag = 0, gotClass = 0;
    const int ret = ASN1_get_object(&p, &length, &gotTag, &gotClass, static_cast<long>(rest_.size()));
    // 0x80: bad header or length past the end; bit 0: indefinite length, not DER.
    if ((ret & 0x80) || (ret & 0x01) || gotClass != cls || gotTag != tag ||
        ((ret & V_ASN1_CONSTRUCTED) != 0) != constructed)
      return false;
    const size_t header = static_cast<size_t>(p - start);
    content = rest_.substr(header, static_cast<size_t>(length));
    rest_.remove_prefix(header + content.size());
    return true;
  }
  bool Take(int tag, bool constructed, std::string_view& content) {
    return Take(V_ASN1_UNIVERSAL, tag, constructed, content);
  }
  bool TakeSequence(std::string_view& content) { return Take(V_ASN1_SEQUENCE, true, content); }

 private:
  std::string_view rest_;
};

// UTF-16 text to UTF-8, ending at the first NUL (values carry a terminating one).
String FromUtf16Bytes(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    const char16_t unit = bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
    if (unit == 0) break;
    units.push_back(unit);
  }
  return OFL::FromUtf16(units);
}

// Tags are written as UTF-16LE text (a hash in hex, or a file name). Bytes that
// are not printable ASCII text in that form are given as upper-case hex.
String TagText(std::string_view bytes) {
  size_t end = bytes.size();
  while (end >= 2 && bytes[end - 1] == 0 && bytes[end - 2] == 0) end -= 2;
  bool text = bytes.size() % 2 == 0 && end > 0;
  for (size_t i = 0; text && i < end; i += 2) text = bytes[i] >= 0x20 && bytes[i] < 0x7F && bytes[i + 1] == 0;
  if (text) return FromUtf16Bytes(bytes.substr(0, end), false);
  static constexpr char kHex[] = "0123456789ABCDEF";
  String hex;
  hex.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    hex += kHex[static_cast<unsigned char>(c) >> 4];
    hex += kHex[static_cast<unsigned char>(c) & 0x0F];
  }
  return hex;
}

bool Fail(String* error, const char* text) {
  if (error) *error = text;
  return false;
}

// One NameValue from the content octets of its SEQUENCE.
bool ReadNameValue(std::string_view nameValue, OFLSecurityCatalog::AttributeList& out) {
  Reader r(nameValue);
  std::string_view name, flags, value;
  if (!r.Take(V_ASN1_BMPSTRING, false, name) || !r.Take(V_ASN1_INTEGER, false, flags) ||
      !r.Take(V_ASN1_OCTET_STRING, false, value))
    return false;
  out.emplace_back(FromUtf16Bytes(name, true), FromUtf16Bytes(value, false));
  return true;
}

bool ReadMember(std::string_view subject, OFLSecurityCatalog::Member& member) {
  Reader r(subject);
  std::string_view tag, attributes;
  if (!r.Take(V_ASN1_OCTET_STRING, false, tag)) return false;
  member.tag = TagText(tag);
  if (!r.Take(V_ASN1_SET, true, attributes)) return r.AtEnd();
  Reader list(attributes);
  while (!list.AtEnd()) {
    std::string_view attribute, type, values, nameValue;
    if (!list.TakeSequence(attribute)) return false;
    Reader a(attribute);
    if (!a.Take(V_ASN1_OBJECT, false, type) || !a.Take(V_ASN1_SET, true, values)) return false;
    if (type != kOidNameValue) continue;
    Reader v(values);
    while (!v.AtEnd())
      if (!v.TakeSequence(nameValue) || !ReadNameValue(nameValue, member.attributes)) return false;
  }
  return r.AtEnd();
}

bool ReadExtensions(std::string_view explicitTag, OFLSecurityCatalog::AttributeList& out) {
  Reader outer(explicitTag);
  std::string_view extensions;
  if (!outer.TakeSequence(extensions) || !outer.AtEnd()) return false;
  Reader list(extensions);
  while (!list.AtEnd()) {
    std::string_view extension, id, critical, value;
    if (!list.TakeSequence(extension)) return false;
    Reader e(extension);
    if (!e.Take(V_ASN1_OBJECT, false, id)) return false;
    e.Take(V_ASN1_BOOLEAN, false, critical);
    if (!e.Take(V_ASN1_OCTET_STRING, false, value)) return false;
    if (id != kOidNameValue) continue;
    Reader v(value);
    std::string_view nameValue;
    if (!v.TakeSequence(nameValue) || !ReadNameValue(nameValue, out)) return false;
  }
  return true;
}

bool ReadTrustList(std::string_view der, OFLSecurityCatalog::AttributeList& attributes,
                   std::vector<OFLSecurityCatalog::Member>& members, String* error) {
  Reader top(der);
  std::string_view body, item;
  if (!top.TakeSequence(body) || !top.AtEnd()) return Fail(error, "Damaged security catalog: no trust list");
  Reader r(body);
  r.Take(V_ASN1_INTEGER, false, item);  // version
  std::string_view usage;
  if (!r.TakeSequence(usage)) return Fail(error, "Damaged security catalog: no subject usage");
  bool catalog = false;
  for (Reader u(usage); !u.AtEnd();) {
    if (!u.Take(V_ASN1_OBJECT, false, item)) return Fail(error, "Damaged security catalog: bad subject usage");
    catalog = catalog || item == kOidCatalogList;
  }
  if (!catalog) return Fail(error, "The trust list is not a security catalog");
  r.Take(V_ASN1_OCTET_STRING, false, item);  // list identifier
  r.Take(V_ASN1_INTEGER, false, item);       // sequence number
  const auto takeTime = [&r, &item] {
    return r.Take(V_ASN1_UTCTIME, false, item) || r.Take(V_ASN1_GENERALIZEDTIME, false, item);
  };
  if (!takeTime()) return Fail(error, "Damaged security catalog: no issue time");
  takeTime();  // next update
  if (!r.TakeSequence(item)) return Fail(error, "Damaged security catalog: no member algorithm");
  std::string_view subjects;
  if (r.TakeSequence(subjects)) {
    for (Reader list(subjects); !list.AtEnd();) {
      std::string_view subject;
      members.emplace_back();
      if (!list.TakeSequence(subject) || !ReadMember(subject, members.back()))
        return Fail(error, "Damaged security catalog: bad member");
    }
  }
  std::string_view extensions;
  if (r.Take(V_ASN1_CONTEXT_SPECIFIC, 0, true, extensions) && !ReadExtensions(extensions, attributes))
    return Fail(error, "Damaged security catalog: bad catalog attributes");
  if (!r.AtEnd()) return Fail(error, "Damaged security catalog: unexpected data in the trust list");
  return true;
}

// Why bytes that do not start as DER do not: said plainly for text encodings.
const char* NotDerReason(std::string_view bytes) {
  std::string_view head = bytes.substr(0, 64);
  if (head.starts_with("\xEF\xBB\xBF")) head.remove_prefix(3);
  while (!head.empty() && (head.front() == ' ' || head.front() == '\t' || head.front() == '\r' || head.front() == '\n'))
    head.remove_prefix(1);
  if (head.starts_with("-----BEGIN")) return "PEM text is not accepted; the security catalog must be DER";
  constexpr std::string_view kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/= \t\r\n";
  if (!head.empty() && head.find_first_not_of(kBase64) == std::string_view::npos)
    return "Base64 text is not accepted; the security catalog must be DER";
  return "Not a security catalog: no DER PKCS #7 structure";
}

String ObjectOctets(const ASN1_OBJECT* object) {
  const unsigned char* data = object ? OBJ_get0_data(object) : nullptr;
  return data ? String(reinterpret_cast<const char*>(data), OBJ_length(object)) : String();
}

}  // namespace

void OFLSecurityCatalog::Clear() {
  attributes_.clear();
  members_.clear();
}

bool OFLSecurityCatalog::OpenBytes(std::string_view der, String* error) {
  Clear();
  if (der.empty()) return Fail(error, "Empty security catalog");
  if (der.front() != 0x30) return Fail(error, NotDerReason(der));

  const auto* p = reinterpret_cast<const unsigned char*>(der.data());
  const std::unique_ptr<PKCS7, decltype(&PKCS7_free)> p7(d2i_PKCS7(nullptr, &p, static_cast<long>(der.size())),
                                                          PKCS7_free);
  // OpenSSL queues its reasons per thread; they are not ours to leave behind.
  ERR_clear_error();
  if (!p7) return Fail(error, "Damaged security catalog: unreadable PKCS #7 structure");
  // Signed files may be padded with zeros; anything else after the end is foreign.
  const std::string_view rest = der.substr(static_cast<size_t>(p - reinterpret_cast<const unsigned char*>(der.data())));
  if (rest.find_first_not_of('\0') != std::string_view::npos)
    return Fail(error, "Damaged security catalog: data after the PKCS #7 structure");
  if (!PKCS7_type_is_signed(p7.get()) || !p7->d.sign || !p7->d.sign->contents)
    return Fail(error, "Not a security catalog: no PKCS #7 signed data");
  const PKCS7* content = p7->d.sign->contents;
  const String type = ObjectOctets(content->type);
  // Content types OpenSSL knows live in other members of the union; only
  // these two are kept as a raw value.
  if (type != kOidTrustList && type != kOidCatalogList)
    return Fail(error, "Not a security catalog: the signed content is not a trust list");
  const ASN1_TYPE* value = content->d.other;
  if (!value || value->type != V_ASN1_SEQUENCE || !value->value.sequence)
    return Fail(error, "Damaged security catalog: no trust list");
  const ASN1_STRING* list = value->value.sequence;
  const std::string_view listDer(reinterpret_cast<const char*>(ASN1_STRING_get0_data(list)),
                                 static_cast<size_t>(ASN1_STRING_length(list)));
  if (!ReadTrustList(listDer, attributes_, members_, error)) {
    ERR_clear_error();
    Clear();
    return false;
  }
  return true;
}

bool OFLSecurityCatalog::Open(const String& path, String* error) {
  Clear();
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) {
    if (error) *error = "Unable to open [" + path + "]: " + ec.message();
    return false;
  }
  if (size > kMaxFileSize) {
    if (error) *error = "Security catalog [" + path + "] is too large";
    return false;
  }
  String bytes(static_cast<size_t>(size), '\0');
  std::ifstream in(path, std::ios::binary);
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())) || in.gcount() != std::streamsize(size)) {
    if (error) *error = "Unable to read [" + path + "]";
    return false;
  }
  String reason;
  if (OpenBytes(bytes, &reason)) return true;
  if (error) *error = reason + " [" + path + "]";
  return false;
}

bool OFLSecurityCatalog::FindAttribute(const AttributeList& list, std::string_view name, String& value) {
  for (const auto& [n, v] : list) {
    if (OFL::EqualsNoCase(n, name)) {
      value = v;
      return true;
    }
  }
  return false;
}
