#include "orvacmn/messages/envelopes.h"

#include <string_view>

#include "ofl/tools.h"
#include "message_fields.h"

namespace orvacmn {
// MsgToServer

MsgToServer::MsgToServer() : MsgXmlSupport(MessageRootFor("MsgToServer"), kMessageSchema) {}

MsgToServer::MsgToServer(const String& text) : MsgToServer() { Unpack(text); }

template <class S, class V>
void MsgToServer::Fields(S& self, V& v) {
  v("Command", self.command_);
  v("Options", self.options_);
  v("Properties", self.properties_);
}

String MsgToServer::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgToServer::Unpack(String text) {
  command_.clear();
  properties_.Clear();
  options_ = 0;
  return msg_fields::Unpack(text, *this);
}

// MsgServerToClient

MsgServerToClient::MsgServerToClient() : MsgXmlSupport(MessageRootFor("MsgServerToClient"), kMessageSchema) {}

MsgServerToClient::MsgServerToClient(const String& text) : MsgServerToClient() { Unpack(text); }

template <class S, class V>
void MsgServerToClient::Fields(S& self, V& v) {
  v("Request", self.Request);
  v("Destination", self.Destination);
  v("Data", self.Data);
}

String MsgServerToClient::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgServerToClient::Unpack(String text) { return msg_fields::Unpack(text, *this); }

// MsgClientToServer

MsgClientToServer::MsgClientToServer() : MsgXmlSupport(MessageRootFor("MsgClientToServer"), kMessageSchema) {}

MsgClientToServer::MsgClientToServer(const String& text) : MsgClientToServer() { Unpack(text); }

template <class S, class V>
void MsgClientToServer::Fields(S& self, V& v) {
  v("ClientIdentification", self.ClientIdentification);
  v("AgentVersion", self.AgentVersion);
  v("OSType", self.OSType);
  v("Options", self.Options);
  v("UserAccount", self.UserAccount);
  v("UserSID", self.UserSID);
  v("Data", self.Data);
}

String MsgClientToServer::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgClientToServer::Unpack(String text) {
  ClientIdentification.Clear();
  OSType = 0;
  return msg_fields::Unpack(text, *this);
}

// MsgServerToOvc

MsgServerToOvc::MsgServerToOvc() : MsgXmlSupport(MessageRootFor("MsgServerToOvc"), kMessageSchema) {}

MsgServerToOvc::MsgServerToOvc(const String& text) : MsgServerToOvc() { Unpack(text); }

template <class S, class V>
void MsgServerToOvc::Fields(S& self, V& v) {
  v("MsgType", self.MsgType);
  v("Data", self.Data);
}

String MsgServerToOvc::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgServerToOvc::Unpack(String text) { return msg_fields::Unpack(text, *this); }

// MsgDropConnection

MsgDropConnection::MsgDropConnection() : MsgXmlSupport(MessageRootFor("MsgDropConnection"), kMessageSchema) {}

MsgDropConnection::MsgDropConnection(uint32_t retryInterval, const String& reason) : MsgDropConnection() {
  retryInterval_ = retryInterval;
  reason_ = reason;
}

MsgDropConnection::MsgDropConnection(const String& text) : MsgDropConnection() { Unpack(text); }

void MsgDropConnection::Clear() {
  retryInterval_ = kDefaultRetryInterval;
  reason_ = kDefaultReason;
}

template <class S, class V>
void MsgDropConnection::Fields(S& self, V& v) {
  v("RetryInterval", self.retryInterval_);
  v("ReasonForRequest", self.reason_);
}

String MsgDropConnection::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgDropConnection::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
}

}  // namespace orvacmn
