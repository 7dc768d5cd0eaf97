// The client-management, authenticated, kiosk-token and remote-control
// messages in the `ovo message CLASS` table.
#include <memory>
#include <string>

#include "message_classes.h"
#include "orvacmn/messages/authenticated_messages.h"
#include "orvacmn/messages/client_mgmt_messages.h"
#include "orvacmn/messages/remote_control_messages.h"

namespace {

using namespace orvacmn;
using Messages::MsgClientMgmtToScheduler;

using ovo::Xml;
using ovo::Basic;

const ovo::MessageClass kRequest("ClientToClientMgmtRequest", Basic<ClientToClientMgmtRequest>());
const ovo::MessageClass kServerMessage("ClientMgmtToClientMessage", Basic<ClientMgmtToClientMessage>());
const ovo::MessageClass kResponse("ClientToClientMgmtResponse", Basic<ClientToClientMgmtResponse>());
const ovo::MessageClass kAuthenticatedRequest("MsgAuthenticatedRequest", Xml<MsgAuthenticatedRequest>());
const ovo::MessageClass kAuthenticatedResponse("MsgAuthenticatedResponse", Xml<MsgAuthenticatedResponse>());
const ovo::MessageClass kKioskTokenRequest("MsgClientKioskTokenRequest", Xml<MsgClientKioskTokenRequest>());
const ovo::MessageClass kKioskToken("MsgKioskToken", Xml<MsgKioskToken>());
const ovo::MessageClass kToScheduler("Messages::MsgClientMgmtToScheduler", ovo::XmlMessageFactory([] {
                                       return std::make_unique<MsgClientMgmtToScheduler>(
                                           MsgClientMgmtToScheduler::Deserialize(String()));
                                     }));
const ovo::MessageClass kRemoteControlRequest("RemoteControlRequestData", Xml<RemoteControlRequestData>());
const ovo::MessageClass kRemoteControlAnswer("RemoteControlAnswer", Xml<RemoteControlAnswer>());

}  // namespace
