#include "orvacmn/messages/remote_control_messages.h"

#include "message_fields.h"

namespace orvacmn {

// RemoteControlRequestData

RemoteControlRequestData::RemoteControlRequestData()
    : MsgXmlSupport(MessageRootFor("RemoteControlRequestData"), kMessageSchema) {}

RemoteControlRequestData::RemoteControlRequestData(int32_t remoteViewerId, const String& remoteServerHostName,
                                                   const String& username, const String& password,
                                                   const String& remoteViewerAddress, const String& clientTabId,
                                                   const String& additionalData)
    : RemoteControlRequestData() {
  RemoteViewerId = remoteViewerId;
  RemoteServerHostName = remoteServerHostName;
  Username = username;
  Password = password;
  RemoteViewerAddress = remoteViewerAddress;
  ClientTabId = clientTabId;
  AdditionalData = additionalData;
}

RemoteControlRequestData::RemoteControlRequestData(const String& text) : RemoteControlRequestData() { Unpack(text); }

void RemoteControlRequestData::Clear() { *this = RemoteControlRequestData(); }

template <class S, class V>
void RemoteControlRequestData::Fields(S& self, V& v) {
  v("RemoteViewerId", self.RemoteViewerId);
  v("RemoteServerHostName", self.RemoteServerHostName);
  v("Username", self.Username);
  v("Password", self.Password);
  v("RemoteViewerAddress", self.RemoteViewerAddress);
  v("ClientTabId", self.ClientTabId);
  v("AdditionalData", self.AdditionalData);
  v("UserDisplayName", self.UserDisplayName);
  v("UserPicture", self.UserPicture);
}

String RemoteControlRequestData::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int RemoteControlRequestData::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
}

// RemoteControlAnswer

RemoteControlAnswer::RemoteControlAnswer() : MsgXmlSupport(MessageRootFor("RemoteControlAnswer"), kMessageSchema) {}

RemoteControlAnswer::RemoteControlAnswer(const String& message, const String& clientTabId, const String& clientId,
                                         const String& ip, const String& hostname)
    : RemoteControlAnswer() {
  Message = message;
  ClientTabId = clientTabId;
  ClientId = clientId;
  IP = ip;
  Hostname = hostname;
}

RemoteControlAnswer::RemoteControlAnswer(const String& message, const String& clientTabId, const String& clientId)
    : RemoteControlAnswer(message, clientTabId, clientId, String(), String()) {}

RemoteControlAnswer::RemoteControlAnswer(const String& text) : RemoteControlAnswer() { Unpack(text); }

template <class S, class V>
void RemoteControlAnswer::Fields(S& self, V& v) {
  v("Message", self.Message);
  v("ClientTabId", self.ClientTabId);
  v("ClientId", self.ClientId);
  v("IP", self.IP);
  v("Hostname", self.Hostname);
}

String RemoteControlAnswer::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int RemoteControlAnswer::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
}

}  // namespace orvacmn
