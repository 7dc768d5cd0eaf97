// Client-management, authenticated, kiosk and remote-control messages: the
// type and status tables and their failures, which fields each unpack keeps,
// the module names that throw; and, for the messages of many fields of one
// type, that every member travels under its own node.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>

#include "orvacmn/messages/agent_messages.h"
#include "orvacmn/messages/agent_update_messages.h"
#include "orvacmn/messages/authenticated_messages.h"
#include "orvacmn/messages/client_mgmt_messages.h"
#include "orvacmn/messages/job_step_messages.h"
#include "orvacmn/messages/remote_control_messages.h"

namespace {

using namespace orvacmn;
using Request = ClientToClientMgmtRequest;
using Response = ClientToClientMgmtResponse;
using Messages::MsgClientMgmtToScheduler;

TEST(ClientToClientMgmtRequest, TypeTextsReadBackInAnyCase) {
  const String text = Request(Request::eGetSoftwareHashes, "a<b").Serialize();
  EXPECT_EQ(text, "<ClientToClientMgmtRequest type='CTSMsg#GetSoftwareHashes'>a&lt;b</ClientToClientMgmtRequest>");
  for (const String& t : {text, String("<ClientToClientMgmtRequest type='ctsmsg#getsoftwarehashes'>a&lt;b"
                                       "</ClientToClientMgmtRequest>")}) {
    const Request back = Request::From(t);
    EXPECT_TRUE(back.IsValid()) << t;
    EXPECT_EQ(back.GetType(), 16u);
    EXPECT_EQ(back.GetContent(), "a<b");
  }
  for (uint32_t v = 0; v < Request::eNoType; ++v) {
    const Request back = Request::From(Request(Request::MessageType(v), "c").Serialize());
    EXPECT_TRUE(back.IsValid() && back.GetType() == v) << v;
  }
  EXPECT_EQ(Request::TypeToString(Request::eSaveMalwareProtectionStatus), "CTSMsg#SaveMalwareProtectionStatus");
}

TEST(ClientToClientMgmtRequest, DefaultAndForeignTypesAreImplementationFailures) {
  const Request none = Request::From(String());
  EXPECT_FALSE(none.IsValid());
  EXPECT_EQ(none.InvalidationReason(), "");
  EXPECT_EQ(none.Serialize(), "<ClientToClientMgmtRequest type='ImplementationFailure'></ClientToClientMgmtRequest>");
  EXPECT_EQ(Request::From(none.Serialize()).GetType(), Request::eNoType);

  // The server's message shares the root: its type is not a request type.
  const String server = ClientMgmtToClientMessage(ClientMgmtToClientMessage::eReboot, "now").Serialize();
  EXPECT_EQ(server, "<ClientToClientMgmtRequest type='STCMsg#Reboot'>now</ClientToClientMgmtRequest>");
  const Request asRequest = Request::From(server);
  EXPECT_FALSE(asRequest.IsValid());
  EXPECT_EQ(asRequest.InvalidationReason(), "");
  EXPECT_EQ(asRequest.GetType(), Request::eNoType);
  EXPECT_EQ(asRequest.GetContent(), "now");
  const ClientMgmtToClientMessage back = ClientMgmtToClientMessage::From(server);
  EXPECT_TRUE(back.IsValid());
  EXPECT_EQ(back.GetType(), ClientMgmtToClientMessage::eReboot);
  EXPECT_FALSE(ClientMgmtToClientMessage::From("<ClientToClientMgmtRequest>x</ClientToClientMgmtRequest>").IsValid());
  EXPECT_EQ(ClientMgmtToClientMessage::TypeToString(ClientMgmtToClientMessage::eNoType), "ImplementationFailure");
  EXPECT_EQ(ClientMgmtToClientMessage::TypeToString(ClientMgmtToClientMessage::eUpdateConfiguration),
            "STCMsg#UpdateConfiguration");
}

TEST(ClientToClientMgmtResponse, OnlyOkIsAStatus) {
  Response r;
  EXPECT_EQ(r.Serialize(), "<ClientToClientMgmtResponse status='OK'></ClientToClientMgmtResponse>");
  const Response ok = Response::From("<ClientToClientMgmtResponse status='ok'>x&amp;y</ClientToClientMgmtResponse>");
  EXPECT_TRUE(ok.IsValid());
  EXPECT_EQ(ok.GetContent(), "x&y");
  const Response failed =
      Response::From("<ClientToClientMgmtResponse status='Failed'>why</ClientToClientMgmtResponse>");
  EXPECT_FALSE(failed.IsValid());
  EXPECT_EQ(failed.InvalidationReason(), "");
  EXPECT_EQ(failed.GetStatus(), Response::eImplementationFailure);
  EXPECT_EQ(failed.GetContent(), "why");
  EXPECT_EQ(failed.Serialize(),
            "<ClientToClientMgmtResponse status='ImplementationFailure'>why</ClientToClientMgmtResponse>");
  EXPECT_FALSE(Response::From("<Other status='OK'/>").IsValid());
}

TEST(MsgClientMgmtToScheduler, ValidOnlyWithRootAndRequestType) {
  const MsgClientMgmtToScheduler m("{G}", MsgClientMgmtToScheduler::RequestType(-7), "d");
  EXPECT_TRUE(m.IsValidMessage());
  EXPECT_EQ(MsgClientMgmtToScheduler::GetTypeName(), "MSGClientMgmtToScheduler");
  const String packed = m.Pack();
  EXPECT_EQ(packed,
            "<MSGClientMgmtToScheduler><ClientGUID>{G}</ClientGUID><RequestType>-7</RequestType>"
            "<RequestData>d</RequestData></MSGClientMgmtToScheduler>");
  const MsgClientMgmtToScheduler back = MsgClientMgmtToScheduler::Deserialize(packed);
  EXPECT_TRUE(back.IsValidMessage());
  EXPECT_EQ(back.GetRequestType(), -7);
  EXPECT_EQ(back.Pack(), packed);
  EXPECT_FALSE(MsgClientMgmtToScheduler::Deserialize("<RequestType>3</RequestType>").IsValidMessage());
  EXPECT_FALSE(MsgClientMgmtToScheduler::Deserialize("<MSGClientMgmtToScheduler><ClientGUID>g</ClientGUID>"
                                                     "</MSGClientMgmtToScheduler>")
                   .IsValidMessage());
}

TEST(MsgAuthenticated, RequestKeepsMissingFieldsAndResponseClears) {
  MsgAuthenticatedRequest request("ci", MsgAuthenticatedRequest::MessageType(4000000000u), "d");
  EXPECT_EQ(String(request), "<MSGAuthenticatedRequest><CI>ci</CI><MsgType>4000000000</MsgType><Data>d</Data>"
                             "</MSGAuthenticatedRequest>");
  EXPECT_EQ(request.Unpack("<MSGAuthenticatedRequest><data>e</data></MSGAuthenticatedRequest>"), 1);
  EXPECT_EQ(request.GetClientIdentification(), "ci");
  EXPECT_EQ(request.GetMsgType(), 4000000000u);
  EXPECT_EQ(request.GetData(), "e");
  EXPECT_EQ(request.Unpack("<Other/>"), 0);
  EXPECT_EQ(request.GetData(), "e");

  const MsgAuthenticatedResponse response(OFL::Logic::Ternary(-1), "x");
  const MsgAuthenticatedResponse back(response.Pack());
  EXPECT_TRUE(back.IsValid());
  EXPECT_EQ(back.ReceivedAndAuthenticated(), -1);
  EXPECT_EQ(back.GetData(), "x");
  const MsgAuthenticatedResponse foreign("<MSGAuthenticatedRequest/>");
  EXPECT_FALSE(foreign.IsValid());
  MsgAuthenticatedResponse cleared = back;
  EXPECT_EQ(cleared.Unpack("<MSGAuthenticatedResponse><Data>y</Data></MSGAuthenticatedResponse>"), 1);
  EXPECT_EQ(cleared.ReceivedAndAuthenticated(), 0);
}

TEST(ClientModules, NamesAndTheThrowingKeys) {
  EXPECT_EQ(ClientModules::ModuleToString(ClientModules::Module(1)), "TrayNotifier");
  EXPECT_EQ(ClientModules::StringToModule("OVACmd"), ClientModules::eOVACmd);
  for (const char* bad : {"Tray", "traynotifier", ""}) {
    try {
      ClientModules::StringToModule(bad);
      ADD_FAILURE() << bad;
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "Invalid module key. This is an implementation error.");
    }
  }
  EXPECT_THROW(ClientModules::ModuleToString(ClientModules::Module(3)), std::invalid_argument);

  const MsgKioskToken token("t", ClientModules::eTrayNotifier);
  EXPECT_EQ(token.Pack(),
            "<MsgKioskToken><KioskToken>t</KioskToken><ClientModule>TrayNotifier</ClientModule></MsgKioskToken>");
  MsgKioskToken back;
  EXPECT_EQ(back.Unpack(token.Pack()), 1);
  EXPECT_EQ(back.GetKioskToken(), "t");
  EXPECT_EQ(back.GetClientModule(), ClientModules::eTrayNotifier);
  EXPECT_THROW(back.Unpack("<MsgKioskToken><ClientModule>Tray</ClientModule></MsgKioskToken>"),
               std::invalid_argument);

  MsgClientKioskTokenRequest request(ClientModules::eOVACmd);
  EXPECT_EQ(request.Unpack(request.Pack()), 1);
  EXPECT_EQ(request.GetClientModule(), ClientModules::eOVACmd);
  EXPECT_EQ(request.Unpack("<MsgClientKioskTokenRequest/>"), 1);
  EXPECT_EQ(request.GetClientModule(), ClientModules::eUnknown);
  EXPECT_EQ(request.Unpack("<MsgKioskToken/>"), 0);
}

// Every member set to a value no other member has: a node written for one
// member and read into another shows as a difference.
TEST(MessageFields, EveryMemberTravelsUnderItsOwnNode) {
  RemoteControlRequestData rc(7, "host", "user", "pw", "addr", "tab", "more");
  rc.UserDisplayName = "shown";
  rc.UserPicture = "pic";
  const RemoteControlRequestData rcBack(rc.Pack());
  EXPECT_EQ(rcBack.Pack(), rc.Pack());
  EXPECT_EQ(std::tie(rcBack.RemoteViewerId, rcBack.RemoteServerHostName, rcBack.Username, rcBack.Password,
                     rcBack.RemoteViewerAddress, rcBack.ClientTabId, rcBack.AdditionalData, rcBack.UserDisplayName,
                     rcBack.UserPicture),
            std::tie(rc.RemoteViewerId, rc.RemoteServerHostName, rc.Username, rc.Password, rc.RemoteViewerAddress,
                     rc.ClientTabId, rc.AdditionalData, rc.UserDisplayName, rc.UserPicture));
  RemoteControlRequestData rcCleared = rcBack;
  EXPECT_EQ(rcCleared.Unpack("<ovRemoteControlRequestData/>"), 1);
  EXPECT_EQ(rcCleared.Pack(), RemoteControlRequestData().Pack());

  const RemoteControlAnswer answer("m", "tab", "id", "1.2.3.4", "h");
  const RemoteControlAnswer answerBack(answer.Pack());
  EXPECT_EQ(std::tie(answerBack.Message, answerBack.ClientTabId, answerBack.ClientId, answerBack.IP,
                     answerBack.Hostname),
            std::tie(answer.Message, answer.ClientTabId, answer.ClientId, answer.IP, answer.Hostname));
  EXPECT_EQ(RemoteControlAnswer("m", "t", "c").Pack(),
            "<ovRemoteControlRequestAnswer><Message>m</Message><ClientTabId>t</ClientTabId><ClientId>c</ClientId>"
            "<IP></IP><Hostname></Hostname></ovRemoteControlRequestAnswer>");

  MsgDAgentConfiguration config;
  uint32_t n = 1;
  for (uint32_t* f : {&config.Options, &config.AnnounceInterval, &config.Flags, &config.InternetMode,
                      &config.InternetServerPort, &config.WebServerPort, &config.KioskAPIPort,
                      &config.DoNotDisturbTime})
    *f = n++;
  config.InternetServerAddress = "addr";
  config.InternetServerPublicKey = "key";
  config.ServerRootCA = "ca";
  config.KioskHost = "kiosk";
  const MsgDAgentConfiguration configBack(config.Pack());
  EXPECT_EQ(std::tie(configBack.Options, configBack.AnnounceInterval, configBack.Flags, configBack.InternetMode,
                     configBack.InternetServerPort, configBack.WebServerPort, configBack.KioskAPIPort,
                     configBack.DoNotDisturbTime, configBack.InternetServerAddress,
                     configBack.InternetServerPublicKey, configBack.ServerRootCA, configBack.KioskHost),
            std::tie(config.Options, config.AnnounceInterval, config.Flags, config.InternetMode,
                     config.InternetServerPort, config.WebServerPort, config.KioskAPIPort, config.DoNotDisturbTime,
                     config.InternetServerAddress, config.InternetServerPublicKey, config.ServerRootCA,
                     config.KioskHost));

  MsgDModuleState module;
  module.Module = "mod";
  module.Version = "ver";
  module.StateText = "text";
  module.State = 1;
  module.MsgsSent = 2;
  module.MsgsRcvd = 3;
  module.MsgsQueued = 4;
  const MsgDModuleState moduleBack(module.Pack());
  EXPECT_EQ(std::tie(moduleBack.Module, moduleBack.Version, moduleBack.StateText, moduleBack.State,
                     moduleBack.MsgsSent, moduleBack.MsgsRcvd, moduleBack.MsgsQueued),
            std::tie(module.Module, module.Version, module.StateText, module.State, module.MsgsSent,
                     module.MsgsRcvd, module.MsgsQueued));

  MsgDJobState state;
  state.Job = "job";
  state.JobName = "name";
  state.ActiveStep = "step";
  state.ActiveStepDesc = "desc";
  state.StateText = "text";
  state.Time = 1;
  state.JobState = 2;
  state.JobTargetState = 3;
  state.Data = 4;
  state.UserConsentState = 5;
  const MsgDJobState stateBack(state.Pack());
  EXPECT_EQ(std::tie(stateBack.Job, stateBack.JobName, stateBack.ActiveStep, stateBack.ActiveStepDesc,
                     stateBack.StateText, stateBack.Time, stateBack.JobState, stateBack.JobTargetState,
                     stateBack.Data, stateBack.UserConsentState),
            std::tie(state.Job, state.JobName, state.ActiveStep, state.ActiveStepDesc, state.StateText, state.Time,
                     state.JobState, state.JobTargetState, state.Data, state.UserConsentState));

  const MsgBitLockerSecretsRequest secrets("key", "pin", "D:", false, 7, "vol");
  const MsgBitLockerSecretsRequest secretsBack(secrets.Pack());
  EXPECT_EQ(std::tie(secretsBack.RecoveryKey, secretsBack.Pin, secretsBack.DriveLetter, secretsBack.VolId,
                     secretsBack.Time, secretsBack.IsOsDrive),
            std::tie(secrets.RecoveryKey, secrets.Pin, secrets.DriveLetter, secrets.VolId, secrets.Time,
                     secrets.IsOsDrive));

  const MsgToTempOFLRX setup("base", "in", "un", 1, "token", {}, 2, 3);
  const MsgToTempOFLRX setupBack = MsgToTempOFLRX::From(setup.Pack());
  EXPECT_EQ(std::tuple(setupBack.GetTimeout(), setupBack.GetMaxRetries(), setupBack.GetRetryPauseDuration(),
                       setupBack.GetInstallCommand(), setupBack.GetUninstallCommand()),
            std::tuple(1u, 2u, 3u, String("in"), String("un")));

  AgentRollout::DataTypes::AgentUpdateData data{"ver", "inst", "deinst", "dips", 5, {"usr", "pwd"}, "file",
                                                {{"rel", "hash", "time"}}, "base", "iemInst", "iemDeinst",
                                                "iemRel", "iemDyn", true};
  const auto update = MessagesToAgent::AgentUpdateRequest::From(MessagesToAgent::AgentUpdateRequest(data).Serialize());
  EXPECT_TRUE(update.Data() == data);
}

}  // namespace
