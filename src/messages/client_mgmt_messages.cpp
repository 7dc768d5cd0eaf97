#include "orvacmn/messages/client_mgmt_messages.h"

#include <string_view>

#include "ofl/format.h"
#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "message_fields.h"

namespace orvacmn {
namespace {

constexpr std::string_view kImplementationFailure = "ImplementationFailure";

// Indexed by ClientToClientMgmtRequest::MessageType.
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
static_assert(std::size(kRequestTypes) == ClientToClientMgmtRequest::eNoType);

// Indexed by ClientMgmtToClientMessage::MessageType.
constexpr std::string_view kServerMessageTypes[] = {
    "STCMsg#AskForUserJobsToAssign", "STCMsg#AUTWhitelist", "STCMsg#CancelDownloads",
    "STCMsg#CheckForPendingBootClientSteps", "STCMsg#DropConnection", "STCMsg#EnergyManagemetLastDate",
    "STCMsg#InfoWindow", "STCMsg#JobStepPacket", "STCMsg#Reboot", "STCMsg#RemoteDontAsk",
    "STCMsg#RemoteDontAskNOCONF", "STCMsg#RemoteLogon", "STCMsg#RequestAgentInfo", "STCMsg#RequestConnection",
    "STCMsg#ShutdownJobsStarted", "STCMsg#ShutdownJobsState", "STCMsg#StartRemoteServer",
    "STCMsg#StopRemoteServer", "STCMsg#TerminateJob", "STCMsg#TriggerSelfUpdate", "STCMsg#UnlockInputDevices",
    "STCMsg#UpdateConfiguration"};
static_assert(std::size(kServerMessageTypes) == ClientMgmtToClientMessage::eNoType);

// Indexed by ClientToClientMgmtResponse::StatusCode; only the valid ones.
constexpr std::string_view kResponseStatuses[] = {"OK"};

// The root element with `attribute`='`value`' and the content as its text.
String SerializeTyped(const BasicMessage& m, const char* attribute, std::string_view value, const String& content) {
  return OFLTools::MakeXMLElement(m.GetObjectName(), OFLTools::MakeXMLData(content),
                                  OFLFormat("%s='%s'", attribute, String(value)).str());
}

// Reads a table value through `from`; a text outside the table sets
// `invalid` and gives false.
template <class E>
auto ReadOr(E& value, bool (*from)(std::string_view, E&), E invalid) {
  return [&value, from, invalid](const String& text) {
    if (from(text, value)) return true;
    value = invalid;
    return false;
  };
}

// Reads the root's `attribute` through `convert` and its text into
// `content`; a missing root or a text that does not convert invalidates.
template <class Convert>
bool DeserializeTyped(BasicMessage& m, const String& text, const char* attribute, Convert convert,
                      String& content) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  if (!parser.FindElem(m.GetObjectName().c_str())) {
    m.Invalidate(String());
    return false;
  }
  if (!convert(parser.GetAttrib(attribute))) m.Invalidate(String());
  content = parser.GetData();
  return m.IsValid();
}

}  // namespace

// ClientToClientMgmtRequest

ClientToClientMgmtRequest::ClientToClientMgmtRequest()
    : BasicMessage(MessageRootFor("ClientToClientMgmtRequest")) {}

ClientToClientMgmtRequest::ClientToClientMgmtRequest(MessageType type, const String& content)
    : ClientToClientMgmtRequest() {
  type_ = type;
  content_ = content;
}

ClientToClientMgmtRequest ClientToClientMgmtRequest::From(const String& text) {
  ClientToClientMgmtRequest m;
  m.Deserialize(text);
  return m;
}

std::string_view ClientToClientMgmtRequest::TypeToString(MessageType type) {
  return msg_fields::NameOf(kRequestTypes, type, kImplementationFailure);
}

bool ClientToClientMgmtRequest::TypeFromString(std::string_view text, MessageType& type) {
  return msg_fields::ValueOf(kRequestTypes, text, type);
}

String ClientToClientMgmtRequest::Serialize() const {
  return SerializeTyped(*this, "type", TypeToString(type_), content_);
}

bool ClientToClientMgmtRequest::Deserialize(const String& text) {
  return DeserializeTyped(
      *this, text, "type", ReadOr(type_, &TypeFromString, eNoType), content_);
}

// ClientMgmtToClientMessage

ClientMgmtToClientMessage::ClientMgmtToClientMessage()
    : BasicMessage(MessageRootFor("ClientMgmtToClientMessage")) {}

ClientMgmtToClientMessage::ClientMgmtToClientMessage(MessageType type, const String& content)
    : ClientMgmtToClientMessage() {
  type_ = type;
  content_ = content;
}

ClientMgmtToClientMessage ClientMgmtToClientMessage::From(const String& text) {
  ClientMgmtToClientMessage m;
  m.Deserialize(text);
  return m;
}

std::string_view ClientMgmtToClientMessage::TypeToString(MessageType type) {
  return msg_fields::NameOf(kServerMessageTypes, type, kImplementationFailure);
}

bool ClientMgmtToClientMessage::TypeFromString(std::string_view text, MessageType& type) {
  return msg_fields::ValueOf(kServerMessageTypes, text, type);
}

String ClientMgmtToClientMessage::Serialize() const {
  return SerializeTyped(*this, "type", TypeToString(type_), content_);
}

bool ClientMgmtToClientMessage::Deserialize(const String& text) {
  return DeserializeTyped(
      *this, text, "type", ReadOr(type_, &TypeFromString, eNoType), content_);
}

// ClientToClientMgmtResponse

ClientToClientMgmtResponse::ClientToClientMgmtResponse()
    : BasicMessage(MessageRootFor("ClientToClientMgmtResponse")) {}

ClientToClientMgmtResponse::ClientToClientMgmtResponse(StatusCode status, const String& content)
    : ClientToClientMgmtResponse() {
  status_ = status;
  content_ = content;
}

ClientToClientMgmtResponse ClientToClientMgmtResponse::From(const String& text) {
  ClientToClientMgmtResponse m;
  m.Deserialize(text);
  return m;
}

std::string_view ClientToClientMgmtResponse::StatusToString(StatusCode status) {
  return msg_fields::NameOf(kResponseStatuses, status, kImplementationFailure);
}

bool ClientToClientMgmtResponse::StatusFromString(std::string_view text, StatusCode& status) {
  return msg_fields::ValueOf(kResponseStatuses, text, status);
}

String ClientToClientMgmtResponse::Serialize() const {
  return SerializeTyped(*this, "status", StatusToString(status_), content_);
}

bool ClientToClientMgmtResponse::Deserialize(const String& text) {
  return DeserializeTyped(
      *this, text, "status",
ReadOr(status_, &StatusFromString, eImplementationFailure), content_);
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
