#include "orvacmn/messages/internet_messages.h"

#include "ofl/format.h"
#include "ofl/tools.h"

namespace orvacmn {

// InternetRequest

InternetRequest::InternetRequest() : SelfCompressingMessage(MessageRootFor("InternetRequest")) {}

InternetRequest::InternetRequest(const OFL::ByteBuffer& content) : InternetRequest() { content_ = content; }

InternetRequest::InternetRequest(const String& content) : InternetRequest() {
  content_ = OFLTools::ConvertCStringToByteBuffer(content);
}

InternetRequest InternetRequest::From(const String& text) {
  InternetRequest message;
  message.Deserialize(text);
  return message;
}

bool InternetRequest::OnDeserializeContent(const OFL::ByteBuffer& content) {
  content_ = content;
  return true;
}

bool InternetRequest::OnDeserializeAttribute(const String&, const String&) { return false; }

// InternetResponse

String InternetResponse::StatusToString(StatusCode status) {
  switch (status) {
    case eOK: return "OK";
    case eAuthenticationFailure: return "AuthenticationFailure";
    case eAuthorizationFailure: return "AuthorizationFailure";
    case eImplementationFailure: break;
  }
  return "ImplementationFailure";
}

bool InternetResponse::StatusFromString(const String& text, StatusCode& status) {
  for (StatusCode s : {eOK, eAuthenticationFailure, eAuthorizationFailure}) {
    if (OFL::EqualsNoCase(text, StatusToString(s))) {
      status = s;
      return true;
    }
  }
  return false;
}

InternetResponse::InternetResponse() : SelfCompressingMessage(MessageRootFor("InternetResponse")) {}

InternetResponse::InternetResponse(const OFL::ByteBuffer& content, StatusCode status) : InternetResponse() {
  content_ = content;
  status_ = status;
}

InternetResponse::InternetResponse(const String& content, StatusCode status)
    : InternetResponse(OFLTools::ConvertCStringToByteBuffer(content), status) {}

InternetResponse::InternetResponse(const char* content, StatusCode status)
    : InternetResponse(OFLTools::ConvertCStringToByteBuffer(content ? content : ""), status) {}

InternetResponse InternetResponse::From(const String& text) {
  InternetResponse message;
  message.Deserialize(text);
  return message;
}

String InternetResponse::ContentAsCString() const { return OFLTools::ConvertByteBufferToString(content_); }

bool InternetResponse::OnDeserializeContent(const OFL::ByteBuffer& content) {
  content_ = content;
  return true;
}

String InternetResponse::OnSerializeAttributes() const {
  return OFLFormat("status='%s'", StatusToString(status_)).str();
}

bool InternetResponse::OnDeserializeAttribute(const String& name, const String& value) {
  if (!OFL::EqualsNoCase(name, "status")) return false;
  if (StatusFromString(value, status_)) return true;
  status_ = eImplementationFailure;
  return false;
}

}  // namespace orvacmn
