#include "orvacmn/messages/self_compressing_message.h"

#include <string_view>
#include <utility>
#include <vector>

#include "ofl/base64.h"
#include "ofl/compression.h"
#include "ofl/format.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr int kBZip2BlockSize = 9;
constexpr int kBZip2Verbosity = 0;
constexpr int kBZip2WorkFactor = 30;

bool IsXmlBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The attribute names of the root element's start tag in document order.
// The parser gives values by name only, so the names are read from the text
// itself; the text has passed the parser's well-formedness check, and the
// scan stops at anything unexpected. Linear in the length of the prolog and
// the start tag.
std::vector<String> RootAttributeNames(std::string_view text) {
  std::vector<String> names;
  size_t i = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  for (;;) {  // the prolog: blanks, declaration, comments, processing instructions
    while (i < text.size() && IsXmlBlank(text[i])) ++i;
    if (text.substr(i).starts_with("<?")) i = text.find("?>", i + 2);
    else if (text.substr(i).starts_with("<!--")) i = text.find("-->", i + 4);
    else break;
    if (i == std::string_view::npos) return names;
    i += 2;
  }
  if (i >= text.size() || text[i] != '<') return names;
  while (i < text.size() && !IsXmlBlank(text[i]) && text[i] != '>' && text[i] != '/') ++i;
  for (;;) {
    while (i < text.size() && IsXmlBlank(text[i])) ++i;
    if (i >= text.size() || text[i] == '>' || text[i] == '/') return names;
    const size_t start = i;
    while (i < text.size() && !IsXmlBlank(text[i]) && text[i] != '=') ++i;
    const std::string_view name = text.substr(start, i - start);
    while (i < text.size() && IsXmlBlank(text[i])) ++i;
    if (i >= text.size() || text[i] != '=') return names;
    ++i;
    while (i < text.size() && IsXmlBlank(text[i])) ++i;
    if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) return names;
    const size_t close = text.find(text[i], i + 1);
    if (close == std::string_view::npos) return names;
    names.emplace_back(name);
    i = close + 1;
  }
}

}  // namespace

String SelfCompressingMessage::CompressionMethodToString(CompressionMethod method) {
  switch (method) {
    case eGZip: return "gzip";
    case eBZip2: return "bzip2";
  }
  return "ImplementationFailure";
}

bool SelfCompressingMessage::CompressionMethodFromString(const String& text, CompressionMethod& method,
                                                         String& error) {
  for (CompressionMethod m : {eGZip, eBZip2}) {
    if (OFL::EqualsNoCase(text, CompressionMethodToString(m))) {
      method = m;
      return true;
    }
  }
  error = OFLFormat("CompressionMethod [%s] not recognized", text).str();
  return false;
}

String SelfCompressingMessage::Serialize() const {
  OFL::ByteBuffer content = OnSerializeContent();
  bool compressed = false;
  if (content.size() >= kCompressionThreshold) {
    OFL::ByteBuffer packed;
    String error;
    const OFL::Compression::OFLBZip2Compression bzip2(kBZip2BlockSize, kBZip2Verbosity, kBZip2WorkFactor);
    if (bzip2.Compress(content, packed, error) && packed.size() < content.size()) {
      content = std::move(packed);
      compressed = true;
    }
  }
  const String text = OFL::EncodeBase64(content);
  const String own = compressed ? OFLFormat("compression='%s'", CompressionMethodToString(eBZip2)).str() : String();
  const String theirs = OnSerializeAttributes();
  String attributes;
  if (!own.empty() && !theirs.empty()) attributes = OFLFormat("%s %s", own, theirs).str();
  else attributes = own.empty() ? theirs : own;
  return OFLTools::MakeXMLElement(GetObjectName(), text, attributes);
}

bool SelfCompressingMessage::Decompress(const String& methodText, OFL::ByteBuffer& bytes) {
  CompressionMethod method;
  if (!CompressionMethodFromString(methodText, method, compressionError_)) return false;
  OFL::ByteBuffer plain;
  bool ok;
  if (method == eBZip2) {
    const OFL::Compression::OFLBZip2Compression bzip2(kBZip2BlockSize, kBZip2Verbosity, kBZip2WorkFactor);
    ok = bzip2.Decompress(bytes, plain, compressionError_);
  } else {
    ok = OFL::Compression::OFLGZipCompression::Decompress(bytes, plain, compressionError_);
  }
  if (ok) bytes = std::move(plain);
  return ok;
}

bool SelfCompressingMessage::Deserialize(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  if (!parser.FindElem(GetObjectName().c_str())) {
    Invalidate(OFLFormat("Could not find element [%s] in message [%s]", GetObjectName(), text));
    return IsValid();
  }
  OFL::ByteBuffer bytes;
  String error;
  if (!OFL::DecodeBase64(parser.GetDataView(), bytes, error)) {
    // Nothing of the content can be trusted: it is not handed on.
    Invalidate(OFLFormat("Decoding base64 content failed: %s", error));
    return IsValid();
  }
  for (const String& name : RootAttributeNames(text)) {
    const String value = parser.GetAttrib(name.c_str());
    if (OFL::EqualsNoCase(name, "compression")) {
      if (!Decompress(value, bytes)) Invalidate(OFLFormat("Decompression failed: %s", compressionError_));
    } else if (!OnDeserializeAttribute(name, value)) {
      Invalidate(OFLFormat("Deserializing attribute [%s] with value [%s] failed", name, value));
    }
  }
  if (!OnDeserializeContent(bytes))
    Invalidate(OFLFormat("Assigning content to message content failed: %s",
                         OFLTools::ConvertByteBufferToString(bytes)));
  return IsValid();
}

}  // namespace orvacmn
