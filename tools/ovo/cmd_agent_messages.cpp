// The agent registration, configuration, announce, update and rollout
// messages in the `ovo message CLASS` table.
//
// MessagesToAgent::GetFileChecksumResponse is only ever received, so the
// library gives it no serializer; the tool writes what it read in the same
// form (the status as its wire digit) so that the message can be checked by a
// round trip like the others.
#include <memory>
#include <string>

#include "message_classes.h"
#include "ofl/tools.h"
#include "orvacmn/messages/agent_messages.h"
#include "orvacmn/messages/agent_update_messages.h"

namespace {

using namespace orvacmn;
using MessagesToAgent::GetFileChecksumResponse;

using ovo::Xml;
template <class M>
ovo::XmlMessageFactory XmlFrom() {
  return [] { return std::make_unique<M>(M::From(String())); };
}
using ovo::Basic;

class FileChecksumText : public BasicMessage {
 public:
  explicit FileChecksumText(const std::string& text)
      : BasicMessage(GetFileChecksumResponse::ClassName()), response_(GetFileChecksumResponse::From(text)) {
    if (!response_.IsValid()) Invalidate("no <FileChecksumResponse> element, or a status other than 1, 2 or 3");
  }

  String Serialize() const override {
    const GetFileChecksumResponse::FileChecksumData& r = response_.Result();
    String out;
    OFLTools::AppendXMLTag(out, GetObjectName());
    OFLTools::AppendXMLNode(out, "Status", std::string_view(GetFileChecksumResponse::StatusToDigit(r.Status)));
    OFLTools::AppendXMLNode(out, "Checksum", std::string_view(r.Checksum));
    OFLTools::AppendXMLNode(out, "ErrorMessage", std::string_view(r.ErrorMessage));
    OFLTools::AppendXMLTag(out, GetObjectName(), true);
    return out;
  }
  bool Deserialize(const String& text) override {
    response_ = GetFileChecksumResponse::From(text);
    if (!response_.IsValid()) Invalidate(String());
    return IsValid();
  }

 private:
  GetFileChecksumResponse response_;
};

const ovo::MessageClass kAgentConfiguration("MsgDAgentConfiguration", Xml<MsgDAgentConfiguration>());
const ovo::MessageClass kClientState("MsgDClientState", Xml<MsgDClientState>());
const ovo::MessageClass kRegistration("MsgDRegistration", Xml<MsgDRegistration>());
const ovo::MessageClass kBootClientToServer("MsgBootClientToServer", Xml<MsgBootClientToServer>());
const ovo::MessageClass kClientAnnounce("MsgClientAnnounce", Xml<MsgClientAnnounce>());
const ovo::MessageClass kCertificateRequest("MsgCertificateRequest", Xml<MsgCertificateRequest>());
const ovo::MessageClass kCertificateResponse("MsgCertificateResponse", Xml<MsgCertificateResponse>());
const ovo::MessageClass kBitLockerSecretsRequest("MsgBitLockerSecretsRequest", Xml<MsgBitLockerSecretsRequest>());
const ovo::MessageClass kToTempOFLRX("MsgToTempOFLRX", XmlFrom<MsgToTempOFLRX>());
const ovo::MessageClass kFromTempOFLRX("MsgFromTempOFLRX", Xml<MsgFromTempOFLRX>());
const ovo::MessageClass kAnnounceOrLogOn("MsgClientAnnounceOrLogOnStateChanged",
                                         Basic<MsgClientAnnounceOrLogOnStateChanged>());
const ovo::MessageClass kAgentUpdateRequest("MessagesToAgent::AgentUpdateRequest",
                                            Basic<MessagesToAgent::AgentUpdateRequest>());
const ovo::MessageClass kAgentUpdateResponse("MessagesToAgent::AgentUpdateResponse",
                                             Basic<MessagesToAgent::AgentUpdateResponse>());
const ovo::MessageClass kHasRunningRequest("MessagesToAgentDeploy::HasRunningAgentUpdateRequest",
                                           Basic<MessagesToAgentDeploy::HasRunningAgentUpdateRequest>());
const ovo::MessageClass kHasRunningResponse("MessagesToAgentDeploy::HasRunningAgentUpdateResponse",
                                            Basic<MessagesToAgentDeploy::HasRunningAgentUpdateResponse>());
const ovo::MessageClass kTriggerRequest("MessagesToAgentDeploy::TriggerAgentUpdateRequest",
                                        Basic<MessagesToAgentDeploy::TriggerAgentUpdateRequest>());
const ovo::MessageClass kTriggerResponse("MessagesToAgentDeploy::TriggerAgentUpdateResponse",
                                         Basic<MessagesToAgentDeploy::TriggerAgentUpdateResponse>());
const ovo::MessageClass kFileChecksumResponse("MessagesToAgent::GetFileChecksumResponse",
                                              ovo::BasicMessageFactory([](const std::string& text) {
                                                return std::make_unique<FileChecksumText>(text);
                                              }));

}  // namespace
