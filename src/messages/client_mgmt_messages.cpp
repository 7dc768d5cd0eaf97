#include "orvacmn/messages/client_mgmt_messages.h"

#include <string_view>

#include "ofl/format.h"
#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "message_fields.h"

namespace orvacmn {
namespace {

// Indexed by client_mgmt::RequestType.
constexpr std::string_view kRequestTypes[] = {
    "CTSMsg#AgentUpdateFinished", "CTSMsg#Announce", "CTSMsg#BulkedPostMessage", "CTSMsg#ConfirmJobStep",
    "CTSMsg#ConfirmUserSettings", "CTSMsg#Connect", "CTSMsg#DelayJob", "CTSMsg#DenyJob", "CTSMsg#DownloadQueue",
    "CTSMsg#DownloadStarting", "CTSMsg#InfoShutdownJob", "CTSMsg#JobState", "CTSMsg#JobStepStatetext",
    "CTSMsg#LogMsg", "CTSMsg#LogOnStateChanged", "CTSMsg#MiniInventory", "CTSMsg#GetSoftwareHashes",
    "CTSMsg#QueryCertificate", "CTSMsg#QueryGatewayPublicKey", "CTSMsg#QueryUserAssignment",
    "CTSMsg#QueryUserJobAssignment", "CTSMsg#SetCustomState", "CTSMsg#SetCustomVar", "CTSMsg#SetShutdownJob",
    "CTSMsg#StartJobTarget", "CTSMsg#StartShutdownJob", "CTSMsg#StoreBitLockerSecrets",
    "CTSMsg#TriggerUpdateClientConfiguration", "CTSMsg#UpdateNetworkConfiguration",
    "CTSMsg#SaveMalwareProtectionStatus"};
static_assert(std::size(kRequestTypes) == client_mgmt::eNoRequestType);

// Indexed by client_mgmt::ServerMessageType.
constexpr std::string_view kServerMessageTypes[] = {
    "STCMsg#AskForUserJobsToAssign", "STCMsg#AUTWhitelist", "STCMsg#CancelDownloads",
    "STCMsg#CheckForPendingBootClientSteps", "STCMsg#DropConnection", "STCMsg#EnergyManagemetLastDate",
    "STCMsg#InfoWindow", "STCMsg#JobStepPacket", "STCMsg#Reboot", "STCMsg#RemoteDontAsk",
    "STCMsg#RemoteDontAskNOCONF", "STCMsg#RemoteLogon", "STCMsg#RequestAgentInfo", "STCMsg#RequestConnection",
    "STCMsg#ShutdownJobsStarted", "STCMsg#ShutdownJobsState", "STCMsg#StartRemoteServer",
    "STCMsg#StopRemoteServer", "STCMsg#TerminateJob", "STCMsg#TriggerSelfUpdate", "STCMsg#UnlockInputDevices",
    "STCMsg#UpdateConfiguration"};
static_assert(std::size(kServerMessageTypes) == client_mgmt::eNoServerMessageType);

// Indexed by client_mgmt::ResponseStatus; only the valid ones.
constexpr std::string_view kResponseStatuses[] = {"OK"};

// Each message's table, the attribute that carries its value and the value
// a text outside the table reads as.
template <class Value>
struct Table;
template <>
struct Table<client_mgmt::RequestType> {
  static constexpr const auto& kNames = kRequestTypes;
  static constexpr char kAttribute[] = "type";
  static constexpr auto kInvalid = client_mgmt::eNoRequestType;
};
template <>
struct Table<client_mgmt::ServerMessageType> {
  static constexpr const auto& kNames = kServerMessageTypes;
  static constexpr char kAttribute[] = "type";
  static constexpr auto kInvalid = client_mgmt::eNoServerMessageType;
};
template <>
struct Table<client_mgmt::ResponseStatus> {
  static constexpr const auto& kNames = kResponseStatuses;
  static constexpr char kAttribute[] = "status";
  static constexpr auto kInvalid = client_mgmt::eImplementationFailure;
};

}  // namespace

namespace client_mgmt {

template <class Value>
std::string_view TableMessage<Value>::ToString(Value value) {
  return msg_fields::NameOf(Table<Value>::kNames, value, "ImplementationFailure");
}

template <class Value>
bool TableMessage<Value>::FromString(std::string_view text, Value& value) {
  return msg_fields::ValueOf(Table<Value>::kNames, text, value);
}

template <class Value>
String TableMessage<Value>::Serialize() const {
  const String attribute = OFLFormat("%s='%s'", Table<Value>::kAttribute, String(ToString(value_))).str();
  return OFLTools::MakeXMLElement(GetObjectName(), OFLTools::MakeXMLData(content_), attribute);
}

// The content is taken even when the value is refused.
template <class Value>
bool TableMessage<Value>::Deserialize(const String& text) {
  OFLXMLParser parser;
  if (!LoadRoot(parser, text)) return false;
  if (!FromString(parser.GetAttrib(Table<Value>::kAttribute), value_)) {
    value_ = Table<Value>::kInvalid;
    Invalidate(String());
  }
  content_ = parser.GetData();
  return IsValid();
}

template class TableMessage<RequestType>;
template class TableMessage<ServerMessageType>;
template class TableMessage<ResponseStatus>;

}  // namespace client_mgmt

ClientToClientMgmtRequest::ClientToClientMgmtRequest(MessageType type, const String& content)
    : TableMessage(MessageRootFor("ClientToClientMgmtRequest"), type, content) {}

ClientToClientMgmtRequest::ClientToClientMgmtRequest() : ClientToClientMgmtRequest(eNoType, String()) {}

ClientToClientMgmtRequest ClientToClientMgmtRequest::From(const String& text) {
  ClientToClientMgmtRequest m;
  m.Deserialize(text);
  return m;
}

ClientMgmtToClientMessage::ClientMgmtToClientMessage(MessageType type, const String& content)
    : TableMessage(MessageRootFor("ClientMgmtToClientMessage"), type, content) {}

ClientMgmtToClientMessage::ClientMgmtToClientMessage() : ClientMgmtToClientMessage(eNoType, String()) {}

ClientMgmtToClientMessage ClientMgmtToClientMessage::From(const String& text) {
  ClientMgmtToClientMessage m;
  m.Deserialize(text);
  return m;
}

ClientToClientMgmtResponse::ClientToClientMgmtResponse(StatusCode status, const String& content)
    : TableMessage(MessageRootFor("ClientToClientMgmtResponse"), status, content) {}

ClientToClientMgmtResponse::ClientToClientMgmtResponse() : ClientToClientMgmtResponse(eOK, String()) {}

ClientToClientMgmtResponse ClientToClientMgmtResponse::From(const String& text) {
  ClientToClientMgmtResponse m;
  m.Deserialize(text);
  return m;
}

namespace Messages {

// MsgClientMgmtToScheduler

MsgClientMgmtToScheduler::MsgClientMgmtToScheduler()
    : MsgXmlSupport(MessageRootFor("Messages::MsgClientMgmtToScheduler"), kMessageSchema) {}

MsgClientMgmtToScheduler::MsgClientMgmtToScheduler(const String& clientGUID, RequestType requestType,
                                                   const String& requestData)
    : MsgClientMgmtToScheduler() {
  clientGUID_ = clientGUID;
  requestType_ = requestType;
  requestData_ = requestData;
}

MsgClientMgmtToScheduler MsgClientMgmtToScheduler::Deserialize(const String& text) {
  MsgClientMgmtToScheduler m;
  m.valid_ = m.Unpack(text) == 1;
  return m;
}

std::string_view MsgClientMgmtToScheduler::GetTypeName() {
  return MessageRootFor("Messages::MsgClientMgmtToScheduler");
}

void MsgClientMgmtToScheduler::Clear() {
  clientGUID_.clear();
  requestType_ = eNone;
  requestData_.clear();
}

template <class S, class V>
void MsgClientMgmtToScheduler::Fields(S& self, V& v) {
  v("ClientGUID", self.clientGUID_);
  v("RequestType", self.requestType_);
  v("RequestData", self.requestData_);
}

String MsgClientMgmtToScheduler::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgClientMgmtToScheduler::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
}

}  // namespace Messages

}  // namespace orvacmn
