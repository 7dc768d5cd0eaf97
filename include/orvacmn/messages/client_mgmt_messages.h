// The messages between an agent and its server's client management: the
// agent's request, the server's message to the agent (under the request's
// root "ClientToClientMgmtRequest") and the response, each a type or status
// attribute on the root and a content text (encoding 2); and the request of
// client management to the job scheduler (encoding 1).
//
// A type or status text is read without regard to case; one outside its
// table makes the message invalid with the empty reason, and the content is
// taken all the same. A value outside its table is written
// "ImplementationFailure", which no table reads back.
//
// Messages are plain values, used by one thread at a time.
#ifndef ORVACMN_MESSAGES_CLIENT_MGMT_MESSAGES_H_
#define ORVACMN_MESSAGES_CLIENT_MGMT_MESSAGES_H_

#include <cstdint>
#include <string_view>

#include "orvacmn/messages/basic_message.h"
#include "orvacmn/messages/msg_xml_support.h"

namespace orvacmn {

namespace client_mgmt {

enum RequestType : uint32_t {
  eAgentUpdateFinished, eAnnounce, eBulkedPostMessage, eConfirmJobStep, eConfirmUserSettings, eConnect, eDelayJob,
  eDenyJob, eDownloadQueue, eDownloadStarting, eInfoShutdownJob, eJobState, eJobStepStatetext, eLogMsg,
  eLogOnStateChanged, eMiniInventory, eGetSoftwareHashes, eQueryCertificate, eQueryGatewayPublicKey,
  eQueryUserAssignment, eQueryUserJobAssignment, eSetCustomState, eSetCustomVar, eSetShutdownJob, eStartJobTarget,
  eStartShutdownJob, eStoreBitLockerSecrets, eTriggerUpdateClientConfiguration, eUpdateNetworkConfiguration,
  eSaveMalwareProtectionStatus,
  eNoRequestType  // no valid type: the default
};

enum ServerMessageType : uint32_t {
  eAskForUserJobsToAssign, eAUTWhitelist, eCancelDownloads, eCheckForPendingBootClientSteps, eDropConnection,
  eEnergyManagemetLastDate, eInfoWindow, eJobStepPacket, eReboot, eRemoteDontAsk, eRemoteDontAskNOCONF,
  eRemoteLogon, eRequestAgentInfo, eRequestConnection, eShutdownJobsStarted, eShutdownJobsState,
  eStartRemoteServer, eStopRemoteServer, eTerminateJob, eTriggerSelfUpdate, eUnlockInputDevices,
  eUpdateConfiguration,
  eNoServerMessageType  // no valid type: the default
};

enum ResponseStatus : uint32_t { eOK = 0, eImplementationFailure = 1 };

// The shape of the three messages: a value from a closed table in an
// attribute of the root ("type", or "status" for the response), and the
// content as the root's text. A text outside the table reads as the
// invalid value and invalidates.
template <class Value>
class TableMessage : public BasicMessage {
 public:
  // The value's text; "ImplementationFailure" outside the table.
  static std::string_view ToString(Value value);
  // False, `value` untouched, for a text outside the table (case ignored).
  static bool FromString(std::string_view text, Value& value);

  String Serialize() const override;
  bool Deserialize(const String& text) override;

  const String& GetContent() const { return content_; }

 protected:
  TableMessage(std::string_view rootName, Value value, const String& content)
      : BasicMessage(rootName), value_(value), content_(content) {}

  Value value_;
  String content_;
};

}  // namespace client_mgmt

// "ClientToClientMgmtRequest": what an agent asks of client management.
class ClientToClientMgmtRequest : public client_mgmt::TableMessage<client_mgmt::RequestType> {
 public:
  using MessageType = client_mgmt::RequestType;
  using enum client_mgmt::RequestType;
  static constexpr MessageType eNoType = eNoRequestType;

  ClientToClientMgmtRequest(MessageType type, const String& content);
  static ClientToClientMgmtRequest From(const String& text);

  // "CTSMsg#Announce" and so on.
  static std::string_view TypeToString(MessageType type) { return ToString(type); }
  static bool TypeFromString(std::string_view text, MessageType& type) { return FromString(text, type); }
  MessageType GetType() const { return value_; }

 private:
  ClientToClientMgmtRequest();
};

// The server's message to an agent, under the root "ClientToClientMgmtRequest".
class ClientMgmtToClientMessage : public client_mgmt::TableMessage<client_mgmt::ServerMessageType> {
 public:
  using MessageType = client_mgmt::ServerMessageType;
  using enum client_mgmt::ServerMessageType;
  static constexpr MessageType eNoType = eNoServerMessageType;

  ClientMgmtToClientMessage(MessageType type, const String& content);
  static ClientMgmtToClientMessage From(const String& text);

  // "STCMsg#Reboot" and so on.
  static std::string_view TypeToString(MessageType type) { return ToString(type); }
  static bool TypeFromString(std::string_view text, MessageType& type) { return FromString(text, type); }
  MessageType GetType() const { return value_; }

 private:
  ClientMgmtToClientMessage();
};

// "ClientToClientMgmtResponse": the status of a request ("OK" is the only
// valid one) and its answer.
class ClientToClientMgmtResponse : public client_mgmt::TableMessage<client_mgmt::ResponseStatus> {
 public:
  using StatusCode = client_mgmt::ResponseStatus;
  using enum client_mgmt::ResponseStatus;

  ClientToClientMgmtResponse();
  ClientToClientMgmtResponse(StatusCode status, const String& content);
  static ClientToClientMgmtResponse From(const String& text);

  static std::string_view StatusToString(StatusCode status) { return ToString(status); }
  static bool StatusFromString(std::string_view text, StatusCode& status) { return FromString(text, status); }
  StatusCode GetStatus() const { return value_; }
};

namespace Messages {

// "MSGClientMgmtToScheduler": client management asks the job scheduler for
// something about a client. Built from a text only by Deserialize, which
// never fails: IsValidMessage() tells whether the text was one.
class MsgClientMgmtToScheduler : public MsgXmlSupport {
 public:
  // Values but 0 (none) are assigned by the two programs.
  enum RequestType : int32_t { eNone = 0 };

  MsgClientMgmtToScheduler(const String& clientGUID, RequestType requestType, const String& requestData);
  static MsgClientMgmtToScheduler Deserialize(const String& text);
  static std::string_view GetTypeName();

  String Pack() const override;
  // Clears first; 0 without the root.
  int Unpack(String text) override;
  void Clear();

  // Read or built, with a request type.
  bool IsValidMessage() const { return valid_ && requestType_ != eNone; }
  const String& GetClientGUID() const { return clientGUID_; }
  RequestType GetRequestType() const { return requestType_; }
  const String& GetRequestData() const { return requestData_; }

 private:
  MsgClientMgmtToScheduler();
  ORVACMN_MESSAGE_FIELDS;

  String clientGUID_;
  RequestType requestType_ = eNone;
  String requestData_;
  bool valid_ = true;
};

}  // namespace Messages

}  // namespace orvacmn

#endif  // ORVACMN_MESSAGES_CLIENT_MGMT_MESSAGES_H_
