// The generic envelopes of encoding 1: a command with options and properties
// to the server (MsgToServer), a request routed from the server to a client
// (MsgServerToClient), a client's identified message to the server
// (MsgClientToServer), a typed message from the server to the console
// (MsgServerToOvc), and the server's request to drop a connection and retry
// later (MsgDropConnection).
//
// Unpack resets only what each class names below; fields whose nodes are
// missing otherwise keep the values they held.
//
// Messages are plain values, used by one thread at a time.
#ifndef ORVACMN_MESSAGES_ENVELOPES_H_
#define ORVACMN_MESSAGES_ENVELOPES_H_

#include <cstdint>

#include "ofl/user_account.h"
#include "orvacmn/messages/msg_xml_support.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/system/client_identification.h"

namespace orvacmn {

// "MSGTS": Command, Options, then the property bag as its own "Properties"
// element. Unpack first empties all three.
class MsgToServer : public MsgXmlSupport {
 public:
  MsgToServer();
  explicit MsgToServer(const String& text);

  String Pack() const override;
  int Unpack(String text) override;

  const String& GetCommand() const { return command_; }
  void SetCommand(const String& command) { command_ = command; }
  uint32_t GetOptions() const { return options_; }
  void SetOptions(uint32_t options) { options_ = options; }
  // Whether any bit of `mask` is set; sets or clears the bits of `mask`.
  bool GetOption(uint32_t mask) const { return (options_ & mask) != 0; }
  void SetOption(uint32_t mask, bool on) { options_ = on ? (options_ | mask) : (options_ & ~mask); }
  OVO::Properties& GetProperties() { return properties_; }
  const OVO::Properties& GetProperties() const { return properties_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  String command_;
  uint32_t options_ = 0;
  OVO::Properties properties_;
};

// "MSGSTC": Request, Destination, Data. Unpack resets nothing.
class MsgServerToClient : public MsgXmlSupport {
 public:
  MsgServerToClient();
  explicit MsgServerToClient(const String& text);

  String Pack() const override;
  int Unpack(String text) override;

  String Request;
  String Destination;
  String Data;

 private:
  ORVACMN_MESSAGE_FIELDS;
};

// "MSGCTS": the client identification first, then AgentVersion, OSType,
// Options, UserAccount (the account's packed text), UserSID and Data.
// Unpack first clears the identification and sets OSType to 0.
class MsgClientToServer : public MsgXmlSupport {
 public:
  MsgClientToServer();
  explicit MsgClientToServer(const String& text);

  String Pack() const override;
  int Unpack(String text) override;

  bool GetOption(uint32_t mask) const { return (Options & mask) != 0; }
  void SetOption(uint32_t mask, bool on) { Options = on ? (Options | mask) : (Options & ~mask); }

  OVOClientIdentification ClientIdentification;
  String AgentVersion;
  int64_t OSType = 0;
  uint32_t Options = 0;
  OFLUserAccount UserAccount;
  String UserSID;
  String Data;

 private:
  ORVACMN_MESSAGE_FIELDS;
};

// "MSGSTE": MsgType, Data. MsgType starts at 0; Unpack resets nothing.
class MsgServerToOvc : public MsgXmlSupport {
 public:
  MsgServerToOvc();
  explicit MsgServerToOvc(const String& text);

  String Pack() const override;
  int Unpack(String text) override;

  uint32_t MsgType = 0;
  String Data;

 private:
  ORVACMN_MESSAGE_FIELDS;
};

// "MSGDropConnection": RetryInterval (seconds, 600) and ReasonForRequest
// ("Unspecified reason"). Unpack first restores both defaults.
class MsgDropConnection : public MsgXmlSupport {
 public:
  static constexpr uint32_t kDefaultRetryInterval = 600;
  static constexpr const char* kDefaultReason = "Unspecified reason";

  MsgDropConnection();
  MsgDropConnection(uint32_t retryInterval, const String& reason);
  explicit MsgDropConnection(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  uint32_t GetRetryInterval() const { return retryInterval_; }
  void SetRetryInterval(uint32_t seconds) { retryInterval_ = seconds; }
  const String& GetReasonForRequest() const { return reason_; }
  void SetReasonForRequest(const String& reason) { reason_ = reason; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  uint32_t retryInterval_ = kDefaultRetryInterval;
  String reason_ = kDefaultReason;
};

}  // namespace orvacmn

#endif  // ORVACMN_MESSAGES_ENVELOPES_H_
