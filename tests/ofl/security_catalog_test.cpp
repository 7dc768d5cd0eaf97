// Catalogs built here (DER writer for the trust list, OpenSSL for the envelope): what a full one gives, refusal of
// damaged and foreign input; files are read in tests/tools/catalog.sh. ORVACMN_WRITE_CATALOG=FILE writes the full one.
#include "ofl/security_catalog.h"
#include "ofl/bstr.h"

#include <gtest/gtest.h>
#include <openssl/asn1.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <utility>

namespace {

using Attrs = OFLSecurityCatalog::AttributeList;
using S = std::string;

S Der(int tag, const S& c) {  // contents below 64 KiB
  const size_t n = c.size();
  const S length = n < 0x80 ? S(1, char(n)) : n < 0x100 ? S{'\x81', char(n)} : S{'\x82', char(n >> 8), char(n)};
  return char(tag) + length + c;
}
S Seq(const S& c) { return Der(0x30, c); }
const S kNameValueOid = Der(6, "\x2B\x06\x01\x04\x01\x82\x37\x0C\x02\x01");
S Wide(const S& text, bool bigEndian) {  // NUL-terminated UTF-16
  S out;
  for (char16_t u : OFL::ToUtf16(text) + u'\0') out += bigEndian ? S{char(u >> 8), char(u)} : S{char(u), char(u >> 8)};
  return out;
}
S NameValue(const S& name, const S& value) {
  return Seq(Der(30, Wide(name, true)) + Der(2, "\x10\x01\x01\x01") + Der(4, Wide(value, false)));
}
S Member(const S& tag, const Attrs& attrs) {
  S set;
  for (const auto& [n, v] : attrs) set += Seq(kNameValueOid + Der(0x31, NameValue(n, v)));
  return Seq(Der(4, Wide(tag, false)) + Der(0x31, set));
}
S TrustList(const Attrs& catalog, const S& members, const S& usage = "\x2B\x06\x01\x04\x01\x82\x37\x0C\x01\x01") {
  S ext;
  for (const auto& [n, v] : catalog) ext += Seq(kNameValueOid + Der(4, NameValue(n, v)));
  return Seq(Der(2, "\x01") + Seq(Der(6, usage)) + Der(4, S(16, '\x5A')) + Der(23, "240101120000Z") +
             Seq(Der(6, "\x2B\x06\x01\x04\x01\x82\x37\x0C\x01\x02") + Der(5, "")) + Seq(members) +
             Der(0xA0, Seq(ext)));
}
// Signed data without signers around `content` of type `oid` (a trust list by default).
S Envelope(const S& content, const char* oid = "1.3.6.1.4.1.311.10.1") {
  PKCS7 *p7 = PKCS7_new(), *inner = PKCS7_new();
  PKCS7_set_type(p7, NID_pkcs7_signed);
  const auto* p = reinterpret_cast<const unsigned char*>(content.data());
  if (S(oid) == "1.2.840.113549.1.7.1") {
    // Plain data has its own member of the content union: an octet string.
    PKCS7_set_type(inner, NID_pkcs7_data);
    ASN1_OCTET_STRING_set(inner->d.data, p, int(content.size()));
  } else {
    inner->type = OBJ_txt2obj(oid, 1);
    inner->d.other = d2i_ASN1_TYPE(nullptr, &p, long(content.size()));
  }
  PKCS7_set_content(p7, inner);
  unsigned char* out = nullptr;
  const int n = i2d_PKCS7(p7, &out);
  S der(reinterpret_cast<char*>(out), size_t(n > 0 ? n : 0));
  OPENSSL_free(out);
  PKCS7_free(p7);
  return der;
}

const Attrs kCatalogAttrs = {{"OSAttr", "2:6.1,2:10.0"}, {"OS", "XPX86,VistaX64,_v100"}, {"Name", "Gr\u00FC\u00DF"}};
const Attrs kInf = {{"File", "sample.inf"}, {"OSAttr", "2:10.0"}};
const S kHash = "0A1B2C3D4E5F60718293A4B5C6D7E8F901234567";
const S kMembers = Member(kHash, kInf) + Member("sample.sys", {{"File", "sample.sys"}}) + Seq(Der(4, "\x01\xFF"));
const S kFull = Envelope(TrustList(kCatalogAttrs, kMembers));

TEST(SecurityCatalog, ReadsCatalogAndMemberAttributesInOrder) {
  if (const char* path = std::getenv("ORVACMN_WRITE_CATALOG")) std::ofstream(path, std::ios::binary) << kFull;
  OFLSecurityCatalog cat;
  ASSERT_TRUE(cat.OpenBytes(kFull + S(7, '\0')));  // zero padding after the envelope is allowed
  EXPECT_EQ(cat.GetAttributes(), kCatalogAttrs);
  const std::pair<S, Attrs> members[] = {{kHash, kInf}, {"sample.sys", {{"File", "sample.sys"}}}, {"01FF", {}}};
  ASSERT_EQ(cat.GetMembers().size(), std::size(members));  // the last tag is not text: hex
  for (size_t i = 0; i < std::size(members); ++i)
    EXPECT_TRUE(cat.GetMembers()[i].tag == members[i].first && cat.GetMembers()[i].attributes == members[i].second);
  S value;
  EXPECT_TRUE(OFLSecurityCatalog::FindAttribute(cat.GetAttributes(), "osattr", value) && value == "2:6.1,2:10.0");
  EXPECT_FALSE(OFLSecurityCatalog::FindAttribute(cat.GetAttributes(), "OSAttr2", value));
}

TEST(SecurityCatalog, DamagedOrForeignInputIsRefusedAndLeavesNothing) {
  std::mt19937 rng(7);
  S noise;
  while (noise.size() < 3000) noise += char(rng());
  const std::pair<S, const char*> bad[] = {
      {"", "Empty security catalog"}, {noise, "Not a security catalog: no DER"},
      {"0" + noise, "Damaged security catalog: unreadable PKCS #7"}, {kFull + "x", "Damaged security catalog: data"},
      {"-----BEGIN PKCS7-----\nMIIB\n", "PEM text is not accepted"}, {"MIIBxjCCAc", "Base64 text is not accepted"},
      {Envelope("\x04\x01x", "1.2.840.113549.1.7.1"), "Not a security catalog: the signed content"},
      {Envelope(TrustList(kCatalogAttrs, kMembers, "\x2B\x06\x01\x05\x05\x07\x03\x01")), "The trust list is not"},
      {Envelope(TrustList({}, Seq(Der(4, "t") + Der(0x31, Seq(kNameValueOid + Der(0x31, Seq(Der(30, "")))))))),
       "Damaged security catalog: bad member"},  // name/value without flags and value
      {Envelope(TrustList({}, S("\x30\x80\x04\x01t\x00\x00", 7))), "Damaged security catalog: bad member"},  // not DER
  };
  for (const auto& [der, reason] : bad) {
    OFLSecurityCatalog cat;
    ASSERT_TRUE(cat.OpenBytes(kFull));
    S error;
    EXPECT_FALSE(cat.OpenBytes(der, &error)) << reason;
    EXPECT_TRUE(error.starts_with(reason)) << error;
    EXPECT_TRUE(cat.GetAttributes().empty() && cat.GetMembers().empty()) << reason;
  }
  for (size_t n = 0; n < kFull.size(); ++n) EXPECT_FALSE(OFLSecurityCatalog().OpenBytes(kFull.substr(0, n))) << n;
}

}  // namespace
