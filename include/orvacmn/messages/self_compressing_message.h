// SelfCompressingMessage: an encoding-2 message whose binary content travels
// as the base64 text of its root element, bzip2-compressed from 512 bytes on
// when that makes it strictly shorter (the attribute compression='bzip2').
// On receipt bzip2 and gzip are accepted, the method name compared without
// regard to case. Subclasses give the content and their own root attributes
// through the four On* operations.
//
// Decompression stops at the foundation layer's default limit
// (OFL::Compression::SetDefaultDecompressionLimit); a text that would expand
// beyond it makes the message invalid with a reason that says so.
//
// Messages are plain values, used by one thread at a time.
#ifndef ORVACMN_MESSAGES_SELF_COMPRESSING_MESSAGE_H_
#define ORVACMN_MESSAGES_SELF_COMPRESSING_MESSAGE_H_

#include <cstddef>

#include "ofl/byte_buffer.h"
#include "orvacmn/messages/basic_message.h"

namespace orvacmn {

class SelfCompressingMessage : public BasicMessage {
 public:
  enum CompressionMethod { eGZip = 0, eBZip2 = 1 };
  // Contents of this many bytes or more are offered to bzip2.
  static constexpr size_t kCompressionThreshold = 512;

  // "gzip", "bzip2"; "ImplementationFailure" for any other value.
  static String CompressionMethodToString(CompressionMethod method);
  // Reads a method name (case ignored); false with "CompressionMethod [%s]
  // not recognized" in `error` for any other text.
  static bool CompressionMethodFromString(const String& text, CompressionMethod& method, String& error);

  String Serialize() const override;
  bool Deserialize(const String& text) override;

  // The text of the last compression-method or decompression failure of
  // Deserialize; empty when there was none.
  const String& GetCompressionError() const { return compressionError_; }

 protected:
  using BasicMessage::BasicMessage;

  virtual OFL::ByteBuffer OnSerializeContent() const = 0;
  virtual bool OnDeserializeContent(const OFL::ByteBuffer& content) = 0;
  // Attribute text for the root element ("name='value'"), empty for none.
  virtual String OnSerializeAttributes() const = 0;
  virtual bool OnDeserializeAttribute(const String& name, const String& value) = 0;

 private:
  // Decompresses `bytes` in place with the method named by `methodText`;
  // false with the reason in compressionError_.
  bool Decompress(const String& methodText, OFL::ByteBuffer& bytes);

  String compressionError_;
};

}  // namespace orvacmn

#endif  // ORVACMN_MESSAGES_SELF_COMPRESSING_MESSAGE_H_
