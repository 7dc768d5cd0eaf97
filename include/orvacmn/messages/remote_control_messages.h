// The request for a remote-control session on a client and the client's
// answer (encoding 1). Both read strictly: Unpack clears first and returns 0
// for a text without the root of its name.
//
// Messages are plain values, used by one thread at a time.
#ifndef ORVACMN_MESSAGES_REMOTE_CONTROL_MESSAGES_H_
#define ORVACMN_MESSAGES_REMOTE_CONTROL_MESSAGES_H_

#include <cstdint>

#include "orvacmn/messages/msg_xml_support.h"

namespace orvacmn {

// "ovRemoteControlRequestData": who asks, from where, as whom. The password
// travels as plain element text: callers protect the channel.
class RemoteControlRequestData : public MsgXmlSupport {
 public:
  RemoteControlRequestData();
  RemoteControlRequestData(int32_t remoteViewerId, const String& remoteServerHostName, const String& username,
                           const String& password, const String& remoteViewerAddress, const String& clientTabId,
                           const String& additionalData);
  explicit RemoteControlRequestData(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  int32_t RemoteViewerId = 0;
  String RemoteServerHostName;
  String Username;
  String Password;
  String RemoteViewerAddress;
  String ClientTabId;
  String AdditionalData;
  String UserDisplayName;
  String UserPicture;

 private:
  ORVACMN_MESSAGE_FIELDS;
};

// "ovRemoteControlRequestAnswer": the client's answer to a request.
class RemoteControlAnswer : public MsgXmlSupport {
 public:
  RemoteControlAnswer();
  RemoteControlAnswer(const String& message, const String& clientTabId, const String& clientId, const String& ip,
                      const String& hostname);
  // IP and Hostname empty.
  RemoteControlAnswer(const String& message, const String& clientTabId, const String& clientId);
  explicit RemoteControlAnswer(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear() { *this = RemoteControlAnswer(); }

  String Message;
  String ClientTabId;
  String ClientId;
  String IP;
  String Hostname;

 private:
  ORVACMN_MESSAGE_FIELDS;
};

}  // namespace orvacmn

#endif  // ORVACMN_MESSAGES_REMOTE_CONTROL_MESSAGES_H_
