// The catalogue of message classes: the root element name of each class's
// wire text and the encoding it travels in, keyed by the class name as
// written in the code ("MsgToServer", "MessagesToAgent::AgentUpdateRequest").
//
// Two pairs share a root name (a request and its answer); the receiver knows
// from the channel which class to build. A class takes its root name with
// MessageRootFor("MsgToServer"), which does not compile for a class name that
// is not catalogued. Static data, only read: any thread may use it.
#ifndef ORVACMN_MESSAGES_MESSAGE_NAMES_H_
#define ORVACMN_MESSAGES_MESSAGE_NAMES_H_

#include <cstdint>
#include <string_view>

namespace orvacmn {

// The schema number of every message class of encoding 1.
constexpr uint32_t kMessageSchema = 0x5001;

enum class MessageEncoding {
  eXml,           // MsgXmlSupport: Pack / Unpack
  eBasic,         // BasicMessage: Serialize / Deserialize with validity
  eLengthPacked,  // a length-packed list of Strings; the root name is not written
  eNone,          // carries a root name without one of the message bases
};

// The string views refer to literals, so data() is NUL-terminated.
struct MessageCatalogueEntry {
  std::string_view className;
  std::string_view rootName;
  MessageEncoding encoding;
};

inline constexpr MessageCatalogueEntry kMessageCatalogue[] = {
    {"MsgToServer", "MSGTS", MessageEncoding::eXml},
    {"MsgServerToClient", "MSGSTC", MessageEncoding::eXml},
    {"MsgClientToServer", "MSGCTS", MessageEncoding::eXml},
    {"MsgServerToOvc", "MSGSTE", MessageEncoding::eXml},
    {"MsgDropConnection", "MSGDropConnection", MessageEncoding::eXml},
    {"MsgDJobStepPacket", "MSGDJobStepPacket", MessageEncoding::eXml},
    {"MsgDJobState", "MSGDJobState", MessageEncoding::eXml},
    {"MsgDConfirmJobStep", "MSGDConfirmJobStep", MessageEncoding::eXml},
    {"MsgDJobStepStateText", "MSGDJobStepStatetext", MessageEncoding::eXml},
    {"MsgDModuleState", "MSGDModuleState", MessageEncoding::eXml},
    {"MsgSSAJobStepPacket", "MSGSSAJobStepPacket", MessageEncoding::eXml},
    {"MsgSSAJobStepConfirmation", "MSGSSAJobStepConfirmation", MessageEncoding::eXml},
    {"MsgSSAJobStepTarget", "MSGSSAJobStepTarget", MessageEncoding::eXml},
    {"MsgSSAUserInformation", "MSGSSAUserInformation", MessageEncoding::eXml},
    {"MsgSSAUserInformationData", "MSGSSAUserInformationData", MessageEncoding::eXml},
    {"MsgDAgentConfiguration", "MSGDAgentConfiguration", MessageEncoding::eXml},
    {"MsgDClientState", "MSGDClientState", MessageEncoding::eXml},
    {"MsgDRegistration", "MSGDRegistration", MessageEncoding::eLengthPacked},
    {"MsgBootClientToServer", "MSGBTS", MessageEncoding::eXml},
    {"MsgClientAnnounce", "ClientAnnounce", MessageEncoding::eXml},
    {"MsgCertificateRequest", "MsgCertificateRequest", MessageEncoding::eXml},
    {"MsgCertificateResponse", "MsgCertificateResponse", MessageEncoding::eXml},
    {"MsgBitLockerSecretsRequest", "MsgBitLockerSecretsRequest", MessageEncoding::eXml},
    {"MsgToTempOFLRX", "MSGToTempOFLRX", MessageEncoding::eXml},
    {"MsgFromTempOFLRX", "MSGToTempOFLRX", MessageEncoding::eXml},
    {"MsgAuthenticatedRequest", "MSGAuthenticatedRequest", MessageEncoding::eXml},
    {"MsgAuthenticatedResponse", "MSGAuthenticatedResponse", MessageEncoding::eXml},
    {"MsgClientKioskTokenRequest", "MsgClientKioskTokenRequest", MessageEncoding::eXml},
    {"MsgKioskToken", "MsgKioskToken", MessageEncoding::eXml},
    {"Messages::MsgClientMgmtToScheduler", "MSGClientMgmtToScheduler", MessageEncoding::eXml},
    {"RemoteControlRequestData", "ovRemoteControlRequestData", MessageEncoding::eXml},
    {"RemoteControlAnswer", "ovRemoteControlRequestAnswer", MessageEncoding::eXml},
    {"InternetRequest", "InternetRequest", MessageEncoding::eBasic},
    {"InternetResponse", "InternetResponse", MessageEncoding::eBasic},
    {"MsgClientAnnounceOrLogOnStateChanged", "MsgClientAnnounceOrLogOnStateChanged", MessageEncoding::eBasic},
    {"MessagesToAgent::AgentUpdateRequest", "AgentUpdateRequest", MessageEncoding::eBasic},
    {"MessagesToAgent::AgentUpdateResponse", "AgentUpdateResponse", MessageEncoding::eBasic},
    {"MessagesToAgentDeploy::HasRunningAgentUpdateRequest", "ToAgentDeploy_HasRunningAgentUpdateRequest",
     MessageEncoding::eBasic},
    {"MessagesToAgentDeploy::HasRunningAgentUpdateResponse", "ToAgentDeploy_HasRunningAgentUpdateResponse",
     MessageEncoding::eBasic},
    {"MessagesToAgentDeploy::TriggerAgentUpdateRequest", "ToAgentDeploy_TriggerAgentUpdateRequest",
     MessageEncoding::eBasic},
    {"MessagesToAgentDeploy::TriggerAgentUpdateResponse", "ToAgentDeploy_TriggerAgentUpdateResponse",
     MessageEncoding::eBasic},
    {"MessagesToAgent::GetFileChecksumResponse", "FileChecksumResponse", MessageEncoding::eNone},
    {"ClientToClientMgmtRequest", "ClientToClientMgmtRequest", MessageEncoding::eBasic},
    {"ClientMgmtToClientMessage", "ClientToClientMgmtRequest", MessageEncoding::eBasic},
    {"ClientToClientMgmtResponse", "ClientToClientMgmtResponse", MessageEncoding::eBasic},
};

// The root name of a catalogued class, at compile time.
consteval std::string_view MessageRootFor(std::string_view className) {
  for (const MessageCatalogueEntry& e : kMessageCatalogue)
    if (e.className == className) return e.rootName;
  throw "message class is not catalogued";
}

// The entry of a class by its exact class name, or nullptr.
const MessageCatalogueEntry* FindMessageCatalogueEntry(std::string_view className);

}  // namespace orvacmn

#endif  // ORVACMN_MESSAGES_MESSAGE_NAMES_H_
