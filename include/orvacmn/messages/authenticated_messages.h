// The authenticated request envelope and its response, and the exchange by
// which a client module asks for a kiosk token (encoding 1). The kiosk
// messages name the module by its name; a received name that is not one
// makes Unpack throw std::invalid_argument (see ClientModules).
//
// Messages are plain values, used by one thread at a time; the module table
// is static and only read.
#ifndef ORVACMN_MESSAGES_AUTHENTICATED_MESSAGES_H_
#define ORVACMN_MESSAGES_AUTHENTICATED_MESSAGES_H_

#include <cstdint>
#include <string_view>

#include "ofl/logic.h"
#include "orvacmn/messages/msg_xml_support.h"

namespace orvacmn {

namespace Messages::ClientToServer {
// Values are assigned by the programs that exchange the messages.
enum AuthenticatedMessageType : uint32_t {};
}  // namespace Messages::ClientToServer

// "MSGAuthenticatedRequest": a message with the identification of the
// client that sends it. Unpack resets nothing: fields whose nodes are
// missing keep their values.
class MsgAuthenticatedRequest : public MsgXmlSupport {
 public:
  using MessageType = Messages::ClientToServer::AuthenticatedMessageType;

  MsgAuthenticatedRequest();
  MsgAuthenticatedRequest(const String& clientIdentification, MessageType type, const String& data);
  explicit MsgAuthenticatedRequest(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  operator String() const { return Pack(); }

  const String& GetClientIdentification() const { return clientIdentification_; }
  MessageType GetMsgType() const { return msgType_; }
  const String& GetData() const { return data_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  String clientIdentification_;
  MessageType msgType_ = MessageType{};
  String data_;
};

// "MSGAuthenticatedResponse": whether the request arrived and was
// authenticated, and the answer. Unpack clears first; the constructor from a
// text keeps whether it was read in IsValid().
class MsgAuthenticatedResponse : public MsgXmlSupport {
 public:
  MsgAuthenticatedResponse();
  MsgAuthenticatedResponse(OFL::Logic::Ternary receivedAndAuthenticated, const String& data);
  explicit MsgAuthenticatedResponse(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  OFL::Logic::Ternary ReceivedAndAuthenticated() const { return receivedAndAuthenticated_; }
  const String& GetData() const { return data_; }
  bool IsValid() const { return valid_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  OFL::Logic::Ternary receivedAndAuthenticated_ = OFL::Logic::Ternary{};
  String data_;
  bool valid_ = true;
};

// The client modules that ask for kiosk tokens, and their names.
namespace ClientModules {

enum Module : uint32_t { eUnknown = 0, eTrayNotifier = 1, eOVACmd = 2 };

// "Unknown", "TrayNotifier", "OVACmd"; and back, the name exactly as written.
// Any other value or text throws std::invalid_argument("Invalid module key.
// This is an implementation error.").
String ModuleToString(Module module);
Module StringToModule(std::string_view text);

}  // namespace ClientModules

// "MsgClientKioskTokenRequest": a module asks for its kiosk token. Unpack
// clears first and throws for a module name that is not one.
class MsgClientKioskTokenRequest : public MsgXmlSupport {
 public:
  MsgClientKioskTokenRequest();
  explicit MsgClientKioskTokenRequest(ClientModules::Module module);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear() { module_ = ClientModules::eUnknown; }

  ClientModules::Module GetClientModule() const { return module_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  ClientModules::Module module_ = ClientModules::eUnknown;
};

// "MsgKioskToken": the token for a module. Unpack clears first and throws
// for a module name that is not one.
class MsgKioskToken : public MsgXmlSupport {
 public:
  MsgKioskToken();
  MsgKioskToken(const String& kioskToken, ClientModules::Module module);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  const String& GetKioskToken() const { return kioskToken_; }
  ClientModules::Module GetClientModule() const { return module_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  String kioskToken_;
  ClientModules::Module module_ = ClientModules::eUnknown;
};

}  // namespace orvacmn

#endif  // ORVACMN_MESSAGES_AUTHENTICATED_MESSAGES_H_
