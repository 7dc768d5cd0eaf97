// Arbitrary text as one of the agent messages, chosen by the first byte: reading never fails otherwise, an XML
// message that reads its text packs to one that reads back to itself, and a valid validating message serializes to a
// text that reads back valid and serializes the same again.
#include <stdexcept>
#include <string>

#include "orvacmn/messages/agent_messages.h"
#include "orvacmn/messages/agent_update_messages.h"
#include "orvacmn/messages/authenticated_messages.h"
#include "orvacmn/messages/client_mgmt_messages.h"
#include "orvacmn/messages/remote_control_messages.h"

#include "check.h"

using namespace orvacmn;

namespace {

template <class M>
void Xml(const std::string& text) {
  M first, again;
  if (first.Unpack(text) == 1) CheckRepack(first, again);
}

// For the classes built only through From.
template <class M>
void XmlFrom(const std::string& text) {
  M first = M::From(text), again = M::From(std::string());
  if (first.IsValid()) CheckRepack(first, again);
}

// The kiosk messages throw std::invalid_argument for a module name that is
// not one, and only that.
template <class M>
void XmlModule(const std::string& text) {
  try {
    Xml<M>(text);
  } catch (const std::invalid_argument&) {
  }
}

template <class M>
void Basic(const std::string& text) {
  const M first = M::From(text);
  Check(first.IsValid() || first.InvalidationReason().empty(), "reason without a cause");
  if (!first.IsValid()) return;
  const std::string serialized = first.Serialize();
  const M again = M::From(serialized);
  Check(again.IsValid() && again.Serialize() == serialized, "serialized text does not read back to itself");
}

}  // namespace

FUZZ_TEXT(input) {
  if (input.empty()) return;
  const std::string text = input.substr(1);
  switch (static_cast<unsigned char>(input[0]) % 27) {
    case 0: Xml<MsgDAgentConfiguration>(text); break;
    case 1: Xml<MsgDClientState>(text); break;
    case 2: Xml<MsgDRegistration>(text); break;
    case 3: {
      Xml<MsgBootClientToServer>(text);
      MsgBootClientToServer fromList, again;
      fromList.UnpackTokenizer(text);
      // A list entry may hold NUL, which no XML text can carry.
      const std::string fields = fromList.MAC + fromList.UniqueIdentifier + fromList.Data;
      if (fields.find('\0') == std::string::npos) CheckRepack(fromList, again);
      break;
    }
    case 4: Xml<MsgClientAnnounce>(text); break;
    case 5: Xml<MsgCertificateRequest>(text); break;
    case 6: Xml<MsgCertificateResponse>(text); break;
    case 7: Xml<MsgBitLockerSecretsRequest>(text); break;
    case 8: XmlFrom<MsgToTempOFLRX>(text); break;
    case 9: Xml<MsgFromTempOFLRX>(text); break;
    case 10: Basic<MsgClientAnnounceOrLogOnStateChanged>(text); break;
    case 11: Basic<MessagesToAgent::AgentUpdateRequest>(text); break;
    case 12: Basic<MessagesToAgent::AgentUpdateResponse>(text); break;
    case 13: Basic<MessagesToAgentDeploy::HasRunningAgentUpdateRequest>(text); break;
    case 14: Basic<MessagesToAgentDeploy::HasRunningAgentUpdateResponse>(text); break;
    case 15: {
      Basic<MessagesToAgentDeploy::TriggerAgentUpdateRequest>(text);
      Basic<MessagesToAgentDeploy::TriggerAgentUpdateResponse>(text);
      break;
    }
    case 16: {
      const auto r = MessagesToAgent::GetFileChecksumResponse::From(text);
      const auto status = r.Result().Status;
      Check(status == MessagesToAgent::GetFileChecksumResponse::eSuccess ||
                status == MessagesToAgent::GetFileChecksumResponse::eUnknown ||
                status == MessagesToAgent::GetFileChecksumResponse::eFailure,
            "status outside its three values");
      break;
    }
    case 17: Basic<ClientToClientMgmtRequest>(text); break;
    case 18: Basic<ClientMgmtToClientMessage>(text); break;
    case 19: Basic<ClientToClientMgmtResponse>(text); break;
    case 20: Xml<MsgAuthenticatedRequest>(text); break;
    case 21: Xml<MsgAuthenticatedResponse>(text); break;
    case 22: XmlModule<MsgClientKioskTokenRequest>(text); break;
    case 23: XmlModule<MsgKioskToken>(text); break;
    case 24: {
      const auto m = Messages::MsgClientMgmtToScheduler::Deserialize(text);
      auto again = Messages::MsgClientMgmtToScheduler::Deserialize(std::string());
      if (m.IsValidMessage()) CheckRepack(m, again);
      break;
    }
    case 25: Xml<RemoteControlRequestData>(text); break;
    case 26: Xml<RemoteControlAnswer>(text); break;
  }
}
