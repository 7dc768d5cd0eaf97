// InternetRequest and InternetResponse: self-compressing messages that carry
// any bytes between a client and a server over the internet gateway. The
// response adds a status, written as the root attribute status='...'.
//
// A received request takes no attribute but "compression"; a received
// response also takes "status" with one of the three status texts (case
// ignored). Anything else makes the message invalid, its content still taken.
//
// Messages are plain values, used by one thread at a time.
#ifndef ORVACMN_MESSAGES_INTERNET_MESSAGES_H_
#define ORVACMN_MESSAGES_INTERNET_MESSAGES_H_

#include "ofl/byte_buffer.h"
#include "orvacmn/messages/self_compressing_message.h"

namespace orvacmn {

class InternetRequest : public SelfCompressingMessage {
 public:
  explicit InternetRequest(const OFL::ByteBuffer& content);
  // The text's bytes, without terminator.
  explicit InternetRequest(const String& content);

  static InternetRequest From(const String& text);

  const OFL::ByteBuffer& Content() const { return content_; }

 protected:
  OFL::ByteBuffer OnSerializeContent() const override { return content_; }
  bool OnDeserializeContent(const OFL::ByteBuffer& content) override;
  String OnSerializeAttributes() const override { return String(); }
  bool OnDeserializeAttribute(const String& name, const String& value) override;

 private:
  InternetRequest();

  OFL::ByteBuffer content_;
};

class InternetResponse : public SelfCompressingMessage {
 public:
  // eImplementationFailure is the invalid value: an unknown received status.
  enum StatusCode { eOK = 0, eAuthenticationFailure = 1, eAuthorizationFailure = 2, eImplementationFailure = 3 };

  // "OK", "AuthenticationFailure", "AuthorizationFailure"; any other value
  // gives "ImplementationFailure".
  static String StatusToString(StatusCode status);
  // One of the three valid texts (case ignored); false for any other.
  static bool StatusFromString(const String& text, StatusCode& status);

  // The empty content with status OK.
  InternetResponse();
  InternetResponse(const OFL::ByteBuffer& content, StatusCode status);
  InternetResponse(const String& content, StatusCode status);
  // A null pointer is the empty content.
  InternetResponse(const char* content, StatusCode status);

  static InternetResponse From(const String& text);

  StatusCode Status() const { return status_; }
  const OFL::ByteBuffer& Content() const { return content_; }
  // The content bytes as a String of the same length.
  String ContentAsCString() const;

 protected:
  OFL::ByteBuffer OnSerializeContent() const override { return content_; }
  bool OnDeserializeContent(const OFL::ByteBuffer& content) override;
  String OnSerializeAttributes() const override;
  bool OnDeserializeAttribute(const String& name, const String& value) override;

 private:
  OFL::ByteBuffer content_;
  StatusCode status_ = eOK;
};

}  // namespace orvacmn

#endif  // ORVACMN_MESSAGES_INTERNET_MESSAGES_H_
