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

// "ClientToClientMgmtRequest": what an agent asks of client management.
class ClientToClientMgmtRequest : public BasicMessage {
 public:
  enum MessageType : uint32_t {
    eAgentUpdateFinished, eAnnounce, eBulkedPostMessage, eConfirmJobStep, eConfirmUserSettings, eConnect,
    eDelayJob, eDenyJob, eDownloadQueue, eDownloadStarting, eInfoShutdownJob, eJobState, eJobStepStatetext,
    eLogMsg, eLogOnStateChanged, eMiniInventory, eGetSoftwareHashes, eQueryCertificate, eQueryGatewayPublicKey,
    eQueryUserAssignment, eQueryUserJobAssignment, eSetCustomState, eSetCustomVar, eSetShutdownJob,
    eStartJobTarget, eStartShutdownJob, eStoreBitLockerSecrets, eTriggerUpdateClientConfiguration,
    eUpdateNetworkConfiguration, eSaveMalwareProtectionStatus,
    eNoType  // no valid type: the default
  };

  ClientToClientMgmtRequest(MessageType type, const String& content);
  static ClientToClientMgmtRequest From(const String& text);

  // "CTSMsg#Announce" and so on; "ImplementationFailure" outside the table.
  static std::string_view TypeToString(MessageType type);
  // False, `type` untouched, for a text outside the table (case ignored).
  static bool TypeFromString(std::string_view text, MessageType& type);

  String Serialize() const override;
  bool Deserialize(const String& text) override;

  MessageType GetType() const { return type_; }
  const String& GetContent() const { return content_; }

 private:
  ClientToClientMgmtRequest();

  MessageType type_ = eNoType;
  String content_;
};

// The server's message to an agent, under the root "ClientToClientMgmtRequest".
class ClientMgmtToClientMessage : public BasicMessage {
 public:
  enum MessageType : uint32_t {
    eAskForUserJobsToAssign, eAUTWhitelist, eCancelDownloads, eCheckForPendingBootClientSteps, eDropConnection,
    eEnergyManagemetLastDate, eInfoWindow, eJobStepPacket, eReboot, eRemoteDontAsk, eRemoteDontAskNOCONF,
    eRemoteLogon, eRequestAgentInfo, eRequestConnection, eShutdownJobsStarted, eShutdownJobsState,
    eStartRemoteServer, eStopRemoteServer, eTerminateJob, eTriggerSelfUpdate, eUnlockInputDevices,
    eUpdateConfiguration,
    eNoType  // no valid type: the default
  };

  ClientMgmtToClientMessage(MessageType type, const String& content);
  static ClientMgmtToClientMessage From(const String& text);

  // "STCMsg#Reboot" and so on; "ImplementationFailure" outside the table.
  static std::string_view TypeToString(MessageType type);
  static bool TypeFromString(std::string_view text, MessageType& type);

  String Serialize() const override;
  bool Deserialize(const String& text) override;

  MessageType GetType() const { return type_; }
  const String& GetContent() const { return content_; }

 private:
  ClientMgmtToClientMessage();

  MessageType type_ = eNoType;
  String content_;
};

// "ClientToClientMgmtResponse": the status of a request and its answer.
class ClientToClientMgmtResponse : public BasicMessage {
 public:
  enum StatusCode : uint32_t { eOK = 0, eImplementationFailure = 1 };

  ClientToClientMgmtResponse();
  ClientToClientMgmtResponse(StatusCode status, const String& content);
  static ClientToClientMgmtResponse From(const String& text);

  // "OK"; "ImplementationFailure" for any other value.
  static std::string_view StatusToString(StatusCode status);
  // True with eOK only for "OK" (case ignored).
  static bool StatusFromString(std::string_view text, StatusCode& status);

  String Serialize() const override;
  bool Deserialize(const String& text) override;

  StatusCode GetStatus() const { return status_; }
  const String& GetContent() const { return content_; }

 private:
  StatusCode status_ = eOK;
  String content_;
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
