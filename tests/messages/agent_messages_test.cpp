// Agent registration, configuration, announce, update and rollout messages:
// exact texts of default and populated messages, which fields each unpack
// resets, the boolean readings that differ per message, and the texts that
// make a message invalid.
#include <gtest/gtest.h>

#include <string>

#include "ofl/tokenizer.h"
#include "orvacmn/messages/agent_messages.h"
#include "orvacmn/messages/agent_update_messages.h"

namespace {

using namespace orvacmn;
using AgentRollout::DataTypes::SetupFileInfo;

bool StartsWith(const String& text, const String& prefix) { return text.rfind(prefix, 0) == 0; }

TEST(MsgDAgentConfiguration, PacksDefaultsAndRoundTripsPopulated) {
  MsgDAgentConfiguration m;
  const String defaults = m.Pack();
  EXPECT_EQ(defaults,
            "<MSGDAgentConfiguration><Options>0</Options><NetworkUser></NetworkUser><InstallUser></InstallUser>"
            "<AnnounceInterval>0</AnnounceInterval><Flags>0</Flags><InternetMode>99</InternetMode>"
            "<InternetServerAddress></InternetServerAddress><InternetServerPort>0</InternetServerPort>"
            "<InternetServerPublicKey></InternetServerPublicKey><ServerRootCA></ServerRootCA>"
            "<WebServerPort>0</WebServerPort><KioskAPIPort>0</KioskAPIPort><KioskHost></KioskHost>"
            "<UseDeprecatedKiosk>0</UseDeprecatedKiosk><DoNotDisturbTime>0</DoNotDisturbTime>"
            "<Properties></Properties></MSGDAgentConfiguration>");
  m.NetworkUser.SetAccount("dom\\svc", "p;w");
  m.SetFlag(0x9, true);
  m.SetFlag(0x1, false);
  m.InternetMode = 0;
  m.KioskHost = "k&h";
  m.UseDeprecatedKiosk = true;
  m.DoNotDisturbTime = 0xFFFFFFFF;
  m.Properties.SetProperty("P", "v");
  const String packed = m.Pack();
  EXPECT_TRUE(m.GetFlag(0x8));
  EXPECT_FALSE(m.GetFlag(0x1));
  const MsgDAgentConfiguration back(packed);
  EXPECT_EQ(back.Pack(), packed);
  EXPECT_EQ(back.NetworkUser, m.NetworkUser);
  EXPECT_TRUE(back.UseDeprecatedKiosk);
  EXPECT_EQ(back.Flags, 8u);

  // Strict: a foreign root gives 0 and the defaults, InternetMode 99 again.
  EXPECT_EQ(m.Unpack("<MSGDClientState><InternetMode>1</InternetMode></MSGDClientState>"), 0);
  EXPECT_EQ(m.Pack(), defaults);
}

TEST(MsgDAgentConfiguration, UseDeprecatedKioskIsTrueOnlyForExactlyOne) {
  for (const auto& [text, want] : {std::pair<const char*, bool>{"1", true}, {"true", false}, {" 1", false},
                                   {"01", false}, {"2", false}}) {
    const MsgDAgentConfiguration m(String("<MSGDAgentConfiguration><usedeprecatedkiosk>") + text +
                                   "</usedeprecatedkiosk></MSGDAgentConfiguration>");
    EXPECT_EQ(m.UseDeprecatedKiosk, want) << text;
  }
}

TEST(MsgDClientState, ReadsAnyRootAndKeepsFieldsWithoutNodes) {
  MsgDClientState m;
  m.GUID = "g";
  m.OVAState = 4;
  EXPECT_EQ(m.Pack(),
            "<MSGDClientState><GUID>g</GUID><MachineDisplayName></MachineDisplayName><OVAState>4</OVAState>"
            "<OVAActivity></OVAActivity><LastChange>0</LastChange></MSGDClientState>");
  EXPECT_EQ(m.Unpack("<Other><ovaactivity>idle</ovaactivity><LastChange>-5</LastChange></Other>"), 1);
  EXPECT_EQ(m.GUID, "g");
  EXPECT_EQ(m.OVAState, 4u);
  EXPECT_EQ(m.OVAActivity, "idle");
  EXPECT_EQ(m.LastChange, -5);
  EXPECT_EQ(m.Unpack("not xml <"), 1);
  EXPECT_EQ(m.GUID, "g");
  m.Clear();
  EXPECT_EQ(m.Pack(), MsgDClientState().Pack());
}

TEST(MsgDRegistration, TravelsAsThirteenLengthPackedEntries) {
  MsgDRegistration m;
  EXPECT_EQ(m.Pack(), "0:0:0:0:0:0:0:0:0:0:0:0:0:");
  m.Entries[0] = "3:x";
  m.Entries[7] = "a;b|c#d\n";
  m.Entries[12] = "<last>";
  const MsgDRegistration back(m.Pack());
  EXPECT_EQ(back.Entries, m.Entries);

  // A shorter list and a malformed text give empty entries; Unpack is 1.
  EXPECT_EQ(m.Unpack("1:a1:b"), 1);
  EXPECT_EQ(m.Entries[1], "b");
  EXPECT_EQ(m.Entries[2], "");
  EXPECT_EQ(m.Entries[12], "");
  EXPECT_EQ(m.Unpack("<MSGDRegistration/>"), 1);
  EXPECT_EQ(m.Pack(), MsgDRegistration().Pack());
}

TEST(MsgBootClientToServer, PacksMacFirstAndReadsTheTokenizerListInOrder) {
  OFLTokenizer list;
  for (const char* s : {"00:11:22:33:44:55", "uid", "data"}) list.AddString(s);
  MsgBootClientToServer m;
  EXPECT_EQ(m.UnpackTokenizer(list.AsLengthPackedString()), 3);
  EXPECT_EQ(m.Pack(),
            "<MSGBTS><MAC>00:11:22:33:44:55</MAC><UniqueIdentifier>uid</UniqueIdentifier><Data>data</Data></MSGBTS>");
  // Unpack resets nothing.
  EXPECT_EQ(m.Unpack("<MSGBTS><data>d2</data></MSGBTS>"), 1);
  EXPECT_EQ(m.MAC, "00:11:22:33:44:55");
  EXPECT_EQ(m.Data, "d2");
  EXPECT_EQ(m.Unpack("<MSGCTS/>"), 0);
  EXPECT_EQ(m.UnpackTokenizer("garbage"), 0);
  EXPECT_EQ(m.MAC, "");
}

TEST(MsgClientAnnounce, CarriesTheIdentificationAndClearsOnUnpack) {
  MsgClientAnnounce m;
  m.ClientIdentification.SetGuid("6F9619FF-8B86-D011-B42D-00C04FC964FF");
  m.Data = "d";
  const String packed = m.Pack();
  EXPECT_PRED2(StartsWith, packed, "<ClientAnnounce><ClientIdentification>");
  EXPECT_NE(packed.find("</ClientIdentification><Data>d</Data></ClientAnnounce>"), String::npos);
  MsgClientAnnounce back(packed);
  EXPECT_EQ(back.Pack(), packed);
  EXPECT_EQ(back.Unpack("<ClientAnnounce/>"), 1);
  EXPECT_EQ(back.Pack(), MsgClientAnnounce().Pack());
}

TEST(MsgCertificate, RequestAndResponseCarryTheirNumbers) {
  const MsgCertificateRequest request(MsgCertificateRequest::Type{7});
  EXPECT_EQ(request.Pack(), "<MsgCertificateRequest><Type>7</Type></MsgCertificateRequest>");
  EXPECT_EQ(MsgCertificateRequest(request.Pack()).GetType(), 7u);
  const MsgCertificateResponse response("-----BEGIN-----\n<x>", MsgCertificateResponse::Format{2});
  const String packed = response.Pack();
  EXPECT_EQ(packed,
            "<MsgCertificateResponse><Certificate>-----BEGIN-----\n&lt;x&gt;</Certificate><Format>2</Format>"
            "</MsgCertificateResponse>");
  MsgCertificateResponse back(packed);
  EXPECT_EQ(back.GetCertificate(), response.GetCertificate());
  EXPECT_EQ(back.Unpack("<MsgCertificateRequest><Format>3</Format></MsgCertificateRequest>"), 0);
  EXPECT_EQ(back.GetFormat(), 0u);
  EXPECT_EQ(back.GetCertificate(), "");
}

TEST(MsgBitLockerSecretsRequest, IsEitherARecoveryKeyOrAPinRequest) {
  struct Case {
    const char *key, *pin, *drive;
    CTime time;
    const char* volume;
    bool recovery, pinRequest;
  } cases[] = {
      {"k", "", "C:", 1, "v", true, false},  {"k", "p", "C:", 1, "v", false, false},
      {"", "p", "", 0, "", false, true},     {"k", "", "C:", 0, "v", false, false},
      {"k", "", "", 1, "v", false, false},   {"k", "", "C:", 1, "", false, false},
      {"", "", "C:", 1, "v", false, false},
  };
  for (const Case& c : cases) {
    const MsgBitLockerSecretsRequest m(c.key, c.pin, c.drive, false, c.time, c.volume);
    EXPECT_EQ(m.isValidRecoveryKeyRequest(), c.recovery) << c.key << "/" << c.pin;
    EXPECT_EQ(m.isValidPINRequest(), c.pinRequest) << c.key << "/" << c.pin;
  }
}

TEST(MsgBitLockerSecretsRequest, UnpackClearsOnlyTheSecrets) {
  MsgBitLockerSecretsRequest m;
  EXPECT_EQ(m.Pack(),
            "<MsgBitLockerSecretsRequest><RecoveryKey></RecoveryKey><DriveLetter></DriveLetter><IsOsDrive>1</IsOsDrive>"
            "<Time>0</Time><VolId></VolId><Pin></Pin></MsgBitLockerSecretsRequest>");
  m = MsgBitLockerSecretsRequest("k", "p", "D:", true, 1700000000, "vol");
  EXPECT_EQ(MsgBitLockerSecretsRequest(m.Pack()).Pack(), m.Pack());
  EXPECT_EQ(m.Unpack("<MsgBitLockerSecretsRequest><isosdrive> -2x</isosdrive><Time>12abc</Time>"
                     "</MsgBitLockerSecretsRequest>"),
            1);
  EXPECT_EQ(m.RecoveryKey, "");
  EXPECT_EQ(m.Pin, "");
  EXPECT_EQ(m.DriveLetter, "D:");
  EXPECT_EQ(m.VolId, "vol");
  EXPECT_TRUE(m.IsOsDrive);
  EXPECT_EQ(m.Time, 12);
  m.Unpack("<MsgBitLockerSecretsRequest><IsOsDrive>0x1</IsOsDrive></MsgBitLockerSecretsRequest>");
  EXPECT_FALSE(m.IsOsDrive);
}

TEST(MsgClientAnnounceOrLogOnStateChanged, WritesTheAccountOnlyWhenSet) {
  const ClientAnnounceData announce{"9.1", "S-1-5-21", OFLUserAccount(), true};
  const MsgClientAnnounceOrLogOnStateChanged m(announce);
  EXPECT_EQ(m.Serialize(),
            "<MsgClientAnnounceOrLogOnStateChanged><AgentVersion>9.1</AgentVersion><SID>S-1-5-21</SID>"
            "<TriggeredByEvent>false</TriggeredByEvent><DynamicModeActive>true</DynamicModeActive>"
            "</MsgClientAnnounceOrLogOnStateChanged>");
  const ClientLogonStateChangedData logon{"9.2", "S-1", OFLUserAccount("dom\\u", "pw"), false, true};
  const auto back = MsgClientAnnounceOrLogOnStateChanged::From(MsgClientAnnounceOrLogOnStateChanged(logon));
  EXPECT_TRUE(back.IsValid());
  const ClientLogonStateChangedData got = back.GetClientLogonStateChangedData();
  EXPECT_EQ(got.UserAccount, logon.UserAccount);
  EXPECT_TRUE(got.TriggeredByEvent);
  EXPECT_FALSE(got.DynamicModeActive);
  EXPECT_EQ(back.GetClientAnnounceData().AgentVersion, "9.2");
}

TEST(MsgClientAnnounceOrLogOnStateChanged, RefusesAnEmptyAccountAndAMissingRoot) {
  const auto read = [](const char* body) {
    return MsgClientAnnounceOrLogOnStateChanged::From(String("<MsgClientAnnounceOrLogOnStateChanged>") + body +
                                                      "</MsgClientAnnounceOrLogOnStateChanged>");
  };
  EXPECT_FALSE(read("<UserAccount></UserAccount>").IsValid());
  EXPECT_FALSE(read("<useraccount>not packed</useraccount>").IsValid());
  const auto ok = read("<triggeredbyevent>TRUE</triggeredbyevent><DynamicModeActive>1</DynamicModeActive>");
  EXPECT_TRUE(ok.IsValid());
  EXPECT_TRUE(ok.GetClientLogonStateChangedData().TriggeredByEvent);
  EXPECT_FALSE(ok.GetClientLogonStateChangedData().DynamicModeActive);
  const auto missing = MsgClientAnnounceOrLogOnStateChanged::From("");
  EXPECT_FALSE(missing.IsValid());
  EXPECT_EQ(missing.InvalidationReason(), "");
}

TEST(MsgToTempOFLRX, ModesAndSetupFilesInOrder) {
  const std::vector<SetupFileInfo> files = {{"a.msi", "h1", "t1"}, {"sub\\b<.cab", "h2", ""}, {"c", "h3", "t3"}};
  const MsgToTempOFLRX uninstall("C:\\Setup", "un.exe /q", 60, "tok", files, 5, 20);
  const String packed = uninstall.Pack();
  EXPECT_PRED2(StartsWith, packed,
            "<MSGToTempOFLRX><Version>1</Version><Mode>1</Mode><SetupBaseFolder>C:\\Setup</SetupBaseFolder>"
            "<InstallCommand></InstallCommand>");
  const MsgToTempOFLRX back = MsgToTempOFLRX::From(packed);
  EXPECT_TRUE(back.IsValid());
  EXPECT_EQ(back.Pack(), packed);
  EXPECT_EQ(back.GetSetupFileInfos(), files);
  EXPECT_EQ(back.GetMaxRetries(), 5u);
  EXPECT_EQ(MsgToTempOFLRX("f", "in", "un", 1, "t", {}).GetMode(), MsgToTempOFLRX::eInstall);

  const MsgToTempOFLRX defaults = MsgToTempOFLRX::From("<MSGToTempOFLRX/>");
  EXPECT_EQ(defaults.GetVersionNumber(), 0u);
  EXPECT_EQ(defaults.GetMaxRetries(), 3u);
  EXPECT_EQ(defaults.GetRetryPauseDuration(), 10000u);
  EXPECT_FALSE(MsgToTempOFLRX::From("<MSGTS/>").IsValid());
  // Reading into a used message starts from the defaults, no mode included.
  MsgToTempOFLRX reused = uninstall;
  EXPECT_EQ(reused.Unpack("<MSGToTempOFLRX/>"), 1);
  EXPECT_EQ(reused.GetMode(), MsgToTempOFLRX::Mode{});
  EXPECT_TRUE(reused.GetSetupFileInfos().empty());
}

TEST(MsgFromTempOFLRX, SharesTheRequestRootAndReadsItsVersion) {
  const MsgFromTempOFLRX answer(true, 1603, "failed & retried");
  EXPECT_EQ(answer.Pack(),
            "<MSGToTempOFLRX><Success>1</Success><Version>1</Version><ResultValue>1603</ResultValue>"
            "<ErrorMessage>failed &amp; retried</ErrorMessage></MSGToTempOFLRX>");
  MsgFromTempOFLRX m(answer.Pack());
  EXPECT_EQ(m.Pack(), answer.Pack());
  EXPECT_EQ(m.Unpack(MsgToTempOFLRX("f", "u", 1, "t", {{"a", "b", "c"}}).Pack()), 1);
  EXPECT_FALSE(m.Success());
  EXPECT_EQ(m.GetVersionNumber(), 1u);
  EXPECT_EQ(m.GetResultValue(), 0u);
  EXPECT_EQ(m.GetErrorMessage(), "");
  EXPECT_EQ(m.Unpack("<MSGToTempOFLRX/>"), 1);
  EXPECT_EQ(m.GetVersionNumber(), 0u);
}

TEST(SetupFileInfo, TextFormAndEmptiness) {
  const SetupFileInfo info{"x\\y.dll", "ABC", "2024"};
  EXPECT_EQ(SetupFileInfo::Serialize(info),
            "<SetupFileInfo><RelativeFilePath>x\\y.dll</RelativeFilePath><Hash>ABC</Hash>"
            "<LastWriteTime>2024</LastWriteTime></SetupFileInfo>");
  EXPECT_EQ(SetupFileInfo::Deserialize("<SetupFileInfo><hash>H</hash><relativefilepath>p</relativefilepath>"
                                       "</SetupFileInfo>"),
            (SetupFileInfo{"p", "H", ""}));
  EXPECT_TRUE((SetupFileInfo{"p", "", "t"}).IsSetupFileInfoEmpty());
  EXPECT_TRUE(SetupFileInfo::Deserialize("<Other/>").IsSetupFileInfoEmpty());
  EXPECT_LT((SetupFileInfo{"a", "z", ""}), (SetupFileInfo{"b", "a", ""}));
}

TEST(AgentUpdateMessages, RequestRoundTripsAndResponsesReadTheirBooleans) {
  using namespace MessagesToAgent;
  AgentRollout::DataTypes::AgentUpdateData data;
  data.ExpectedAgentVersion = "9.0";
  data.CompetentDIPs = "dip1;dip2";
  data.Timeout = 300;
  data.NetworkAccess = {"dom\\u", "p<w"};
  data.SetupFiles = {{"a", "1", "t"}, {"b", "2", "t"}};
  data.SetupBaseFolder = "C:\\Agent";
  data.IgnoreCRLChecks = true;
  const String text = AgentUpdateRequest(data).Serialize();
  EXPECT_PRED2(StartsWith, text,
            "<AgentUpdateRequest><CompetentDIPs>dip1;dip2</CompetentDIPs><DeinstallCommandLine></DeinstallCommandLine>"
            "<Expected");
  const AgentUpdateRequest back = AgentUpdateRequest::From(text);
  EXPECT_TRUE(back.IsValid());
  EXPECT_EQ(back.Data(), data);
  EXPECT_FALSE(AgentUpdateRequest::From("<AgentUpdateResponse/>").IsValid());

  EXPECT_EQ(AgentUpdateResponse::ClassName(), "AgentUpdateResponse");
  EXPECT_EQ(AgentUpdateResponse({true, "ok", "9.0"}).Serialize(),
            "<AgentUpdateResponse><Success>T</Success><ExtInformation>ok</ExtInformation><OvaVersion>9.0</OvaVersion>"
            "</AgentUpdateResponse>");
  EXPECT_TRUE(AgentUpdateResponse::From("<AgentUpdateResponse><success>t</success></AgentUpdateResponse>")
                  .Result()
                  .Success);
  EXPECT_FALSE(AgentUpdateResponse::From("<AgentUpdateResponse><Success>1</Success></AgentUpdateResponse>")
                   .Result()
                   .Success);
}

TEST(GetFileChecksumResponse, MapsTheStatusDigits) {
  using R = MessagesToAgent::GetFileChecksumResponse;
  EXPECT_EQ(R::ClassName(), "FileChecksumResponse");
  EXPECT_TRUE(R::From("<FileChecksumResponse/>").IsValid());
  EXPECT_EQ(R::From("<FileChecksumResponse/>").Result().Status, R::eUnknown);
  for (const auto& [digit, status, valid] :
       {std::tuple<const char*, R::StatusCode, bool>{"1", R::eUnknown, true},
        {"2", R::eSuccess, true},
        {"3", R::eFailure, true},
        {"4", R::eUnknown, false},
        {"", R::eUnknown, false},
        {"02", R::eUnknown, false}}) {
    const R r = R::From(String("<FileChecksumResponse><status>") + digit +
                        "</status><Checksum>c</Checksum></FileChecksumResponse>");
    EXPECT_EQ(r.IsValid(), valid) << digit;
    if (valid) {
      EXPECT_EQ(r.Result().Status, status) << digit;
    }
    EXPECT_EQ(r.Result().Checksum, "c");
  }
  EXPECT_FALSE(R::From("<FileChecksum/>").IsValid());
}

TEST(AgentDeployMessages, RoundTripsAndTheExactTrue) {
  using namespace MessagesToAgentDeploy;
  EXPECT_EQ(HasRunningAgentUpdateRequest::ClassName(), "ToAgentDeploy_HasRunningAgentUpdateRequest");
  EXPECT_EQ(HasRunningAgentUpdateRequest::From(HasRunningAgentUpdateRequest("G-1")).ClientGUID(), "G-1");
  const HasRunningAgentUpdateResponse running(true, 1700000000);
  const auto back = HasRunningAgentUpdateResponse::From(running);
  EXPECT_TRUE(back.IsValid());
  EXPECT_TRUE(back.HasRunningUpdate());
  EXPECT_EQ(back.WaitUntil(), 1700000000);
  EXPECT_FALSE(HasRunningAgentUpdateResponse::From(
                   "<ToAgentDeploy_HasRunningAgentUpdateResponse><HasRunningUpdate>TRUE</HasRunningUpdate>"
                   "</ToAgentDeploy_HasRunningAgentUpdateResponse>")
                   .HasRunningUpdate());

  EXPECT_EQ(TriggerAgentUpdateRequest("G", 0xC0A80001).Serialize(),
            "<ToAgentDeploy_TriggerAgentUpdateRequest><ClientGUID>G</ClientGUID><ClientIP>3232235521</ClientIP>"
            "</ToAgentDeploy_TriggerAgentUpdateRequest>");
  EXPECT_EQ(TriggerAgentUpdateRequest::From(TriggerAgentUpdateRequest("G", 0xC0A80001)).ClientIP(), 0xC0A80001u);
  EXPECT_EQ(TriggerAgentUpdateResponse::From(TriggerAgentUpdateResponse("started")).StatusMessage(), "started");
  EXPECT_FALSE(TriggerAgentUpdateResponse::From("<ToAgentDeploy_TriggerAgentUpdateRequest/>").IsValid());
}

}  // namespace
