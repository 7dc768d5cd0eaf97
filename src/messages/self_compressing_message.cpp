#include "orvacmn/messages/self_compressing_message.h"

#include <utility>

#include "ofl/base64.h"
#include "ofl/compression.h"
#include "ofl/format.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr int kBZip2BlockSize = 9;
constexpr int kBZip2Verbosity = 0;
constexpr int kBZip2WorkFactor = 30;

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
  // Decoding has no failure: a text that is not base64 gives the bytes read
  // up to its first character outside the alphabet.
  OFL::ByteBuffer bytes = OFL::DecodeBase64(parser.GetDataView());
  String name, value;
  for (size_t i = 0; parser.GetNthAttrib(i, name, value); ++i) {
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
