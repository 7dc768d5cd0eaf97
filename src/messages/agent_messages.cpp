#include "orvacmn/messages/agent_messages.h"

#include <string_view>

#include "ofl/string.h"
#include "ofl/tag_sequence.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/messages/length_packed.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {
namespace {

// Tags of each message in packing order, so the reader's tag sequence costs
// one comparison per child of a text written by Pack.
constexpr std::string_view kAgentConfigurationTags[] = {
    "Options",       "NetworkUser",           "InstallUser",     "AnnounceInterval",        "Flags",
    "InternetMode",  "InternetServerAddress", "InternetServerPort", "InternetServerPublicKey", "ServerRootCA",
    "WebServerPort", "KioskAPIPort",          "KioskHost",       "UseDeprecatedKiosk",      "DoNotDisturbTime",
    "Properties"};
constexpr std::string_view kClientStateTags[] = {"GUID", "MachineDisplayName", "OVAState", "OVAActivity",
                                                 "LastChange"};
constexpr std::string_view kBootClientTags[] = {"MAC", "UniqueIdentifier", "Data"};
constexpr std::string_view kClientAnnounceTags[] = {"ClientIdentification", "Data"};
constexpr std::string_view kBitLockerTags[] = {"RecoveryKey", "DriveLetter", "IsOsDrive", "Time", "VolId", "Pin"};
constexpr std::string_view kAnnounceOrLogOnTags[] = {"AgentVersion", "SID", "UserAccount", "TriggeredByEvent",
                                                     "DynamicModeActive"};

void AppendString(String& out, std::string_view tag, std::string_view value) {
  OFLTools::AppendXMLNode(out, tag, value);
}

const char* BoolText(bool value) { return value ? "true" : "false"; }

}  // namespace

// MsgDAgentConfiguration

MsgDAgentConfiguration::MsgDAgentConfiguration()
    : MsgXmlSupport(MessageRootFor("MsgDAgentConfiguration"), kMessageSchema) {}

MsgDAgentConfiguration::MsgDAgentConfiguration(const String& text) : MsgDAgentConfiguration() { Unpack(text); }

void MsgDAgentConfiguration::Clear() {
  Options = 0;
  NetworkUser.Clear();
  InstallUser.Clear();
  AnnounceInterval = 0;
  Flags = 0;
  InternetMode = kDefaultInternetMode;
  InternetServerAddress.clear();
  InternetServerPort = 0;
  InternetServerPublicKey.clear();
  ServerRootCA.clear();
  WebServerPort = 0;
  KioskAPIPort = 0;
  KioskHost.clear();
  UseDeprecatedKiosk = false;
  DoNotDisturbTime = 0;
  Properties.Clear();
}

String MsgDAgentConfiguration::Pack() const {
  const auto& t = kAgentConfigurationTags;
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, t[0], Options);
  AppendString(out, t[1], NetworkUser.Pack());
  AppendString(out, t[2], InstallUser.Pack());
  OFLTools::AppendXMLNode(out, t[3], AnnounceInterval);
  OFLTools::AppendXMLNode(out, t[4], Flags);
  OFLTools::AppendXMLNode(out, t[5], InternetMode);
  AppendString(out, t[6], InternetServerAddress);
  OFLTools::AppendXMLNode(out, t[7], InternetServerPort);
  AppendString(out, t[8], InternetServerPublicKey);
  AppendString(out, t[9], ServerRootCA);
  OFLTools::AppendXMLNode(out, t[10], WebServerPort);
  OFLTools::AppendXMLNode(out, t[11], KioskAPIPort);
  AppendString(out, t[12], KioskHost);
  OFLTools::AppendXMLNode(out, t[13], UseDeprecatedKiosk ? 1 : 0);
  OFLTools::AppendXMLNode(out, t[14], DoNotDisturbTime);
  Properties.AppendPack(out);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgDAgentConfiguration::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  if (!LoadRoot(parser, text)) return 0;
  OFL::TagSequence tags(kAgentConfigurationTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: Options = OFLTools::AToUL(p.GetChildDataView()); break;
      case 1: NetworkUser.Unpack(p.GetChildDataView()); break;
      case 2: InstallUser.Unpack(p.GetChildDataView()); break;
      case 3: AnnounceInterval = OFLTools::AToUL(p.GetChildDataView()); break;
      case 4: Flags = OFLTools::AToUL(p.GetChildDataView()); break;
      case 5: InternetMode = OFLTools::AToUL(p.GetChildDataView()); break;
      case 6: InternetServerAddress.assign(p.GetChildDataView()); break;
      case 7: InternetServerPort = OFLTools::AToUL(p.GetChildDataView()); break;
      case 8: InternetServerPublicKey.assign(p.GetChildDataView()); break;
      case 9: ServerRootCA.assign(p.GetChildDataView()); break;
      case 10: WebServerPort = OFLTools::AToUL(p.GetChildDataView()); break;
      case 11: KioskAPIPort = OFLTools::AToUL(p.GetChildDataView()); break;
      case 12: KioskHost.assign(p.GetChildDataView()); break;
      case 13: UseDeprecatedKiosk = p.GetChildDataView() == "1"; break;
      case 14: DoNotDisturbTime = OFLTools::AToUL(p.GetChildDataView()); break;
      case 15:
        Properties.Clear();  // a repeated bag replaces the first
        Properties.Unpack(p);
        break;
    }
  });
  return 1;
}

// MsgDClientState

MsgDClientState::MsgDClientState() : MsgXmlSupport(MessageRootFor("MsgDClientState"), kMessageSchema) {}

MsgDClientState::MsgDClientState(const String& text) : MsgDClientState() { Unpack(text); }

void MsgDClientState::Clear() {
  GUID.clear();
  MachineDisplayName.clear();
  OVAState = 0;
  OVAActivity.clear();
  LastChange = 0;
}

String MsgDClientState::Pack() const {
  const auto& t = kClientStateTags;
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendString(out, t[0], GUID);
  AppendString(out, t[1], MachineDisplayName);
  OFLTools::AppendXMLNode(out, t[2], OVAState);
  AppendString(out, t[3], OVAActivity);
  OFLTools::AppendXMLNode(out, t[4], LastChange);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgDClientState::Unpack(String text) {
  OFLXMLParser parser;
  LoadAnyRoot(parser, text);
  OFL::TagSequence tags(kClientStateTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: GUID.assign(p.GetChildDataView()); break;
      case 1: MachineDisplayName.assign(p.GetChildDataView()); break;
      case 2: OVAState = OFLTools::AToUL(p.GetChildDataView()); break;
      case 3: OVAActivity.assign(p.GetChildDataView()); break;
      case 4: LastChange = OFLTools::AToLL(p.GetChildDataView()); break;
    }
  });
  return 1;
}

// MsgDRegistration

MsgDRegistration::MsgDRegistration() : MsgXmlSupport(MessageRootFor("MsgDRegistration"), kMessageSchema) {}

MsgDRegistration::MsgDRegistration(const String& text) : MsgDRegistration() { Unpack(text); }

String MsgDRegistration::Pack() const {
  OFLTokenizer list;
  for (const String& e : Entries) list.AddString(e);
  return list.AsLengthPackedString();
}

int MsgDRegistration::Unpack(String text) {
  OFLTokenizer list;
  list.FromLengthPackedString(text);  // a malformed text leaves the list empty
  for (int i = 0; i < kEntryCount; ++i) Entries[i] = list.GetAt(i);
  return 1;
}

// MsgBootClientToServer

MsgBootClientToServer::MsgBootClientToServer()
    : MsgXmlSupport(MessageRootFor("MsgBootClientToServer"), kMessageSchema) {}

MsgBootClientToServer::MsgBootClientToServer(const String& text) : MsgBootClientToServer() { Unpack(text); }

String MsgBootClientToServer::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendString(out, kBootClientTags[0], MAC);
  AppendString(out, kBootClientTags[1], UniqueIdentifier);
  AppendString(out, kBootClientTags[2], Data);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgBootClientToServer::Unpack(String text) {
  OFLXMLParser parser;
  if (!LoadRoot(parser, text)) return 0;
  OFL::TagSequence tags(kBootClientTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: MAC.assign(p.GetChildDataView()); break;
      case 1: UniqueIdentifier.assign(p.GetChildDataView()); break;
      case 2: Data.assign(p.GetChildDataView()); break;
    }
  });
  return 1;
}

int32_t MsgBootClientToServer::UnpackTokenizer(const String& text) {
  return length_packed::Unpack(text, {&MAC, &UniqueIdentifier, &Data});
}

// MsgClientAnnounce

MsgClientAnnounce::MsgClientAnnounce() : MsgXmlSupport(MessageRootFor("MsgClientAnnounce"), kMessageSchema) {}

MsgClientAnnounce::MsgClientAnnounce(const String& text) : MsgClientAnnounce() { Unpack(text); }

void MsgClientAnnounce::Clear() {
  ClientIdentification.Clear();
  Data.clear();
}

String MsgClientAnnounce::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  ClientIdentification.AppendPack(out);
  AppendString(out, kClientAnnounceTags[1], Data);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgClientAnnounce::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  if (!LoadRoot(parser, text)) return 0;
  OFL::TagSequence tags(kClientAnnounceTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0:
        ClientIdentification.Clear();
        ClientIdentification.Unpack(p);
        break;
      case 1: Data.assign(p.GetChildDataView()); break;
    }
  });
  return 1;
}

// MsgCertificateRequest

MsgCertificateRequest::MsgCertificateRequest()
    : MsgXmlSupport(MessageRootFor("MsgCertificateRequest"), kMessageSchema) {}

MsgCertificateRequest::MsgCertificateRequest(Type type) : MsgCertificateRequest() { type_ = type; }

MsgCertificateRequest::MsgCertificateRequest(const String& text) : MsgCertificateRequest() { Unpack(text); }

String MsgCertificateRequest::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, "Type", static_cast<uint32_t>(type_));
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgCertificateRequest::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  if (!LoadRoot(parser, text)) return 0;
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, "Type")) type_ = static_cast<Type>(OFLTools::AToUL(p.GetChildDataView()));
  });
  return 1;
}

// MsgCertificateResponse

MsgCertificateResponse::MsgCertificateResponse()
    : MsgXmlSupport(MessageRootFor("MsgCertificateResponse"), kMessageSchema) {}

MsgCertificateResponse::MsgCertificateResponse(const String& certificate, Format format) : MsgCertificateResponse() {
  certificate_ = certificate;
  format_ = format;
}

MsgCertificateResponse::MsgCertificateResponse(const String& text) : MsgCertificateResponse() { Unpack(text); }

void MsgCertificateResponse::Clear() {
  certificate_.clear();
  format_ = Format{};
}

String MsgCertificateResponse::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendString(out, "Certificate", certificate_);
  OFLTools::AppendXMLNode(out, "Format", static_cast<uint32_t>(format_));
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgCertificateResponse::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  if (!LoadRoot(parser, text)) return 0;
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, "Certificate")) certificate_.assign(p.GetChildDataView());
    else if (OFL::EqualsNoCase(tag, "Format")) format_ = static_cast<Format>(OFLTools::AToUL(p.GetChildDataView()));
  });
  return 1;
}

// MsgBitLockerSecretsRequest

MsgBitLockerSecretsRequest::MsgBitLockerSecretsRequest()
    : MsgXmlSupport(MessageRootFor("MsgBitLockerSecretsRequest"), kMessageSchema) {}

MsgBitLockerSecretsRequest::MsgBitLockerSecretsRequest(const String& recoveryKey, const String& pin,
                                                       const String& driveLetter, bool isOsDrive, CTime time,
                                                       const String& volumeId)
    : MsgBitLockerSecretsRequest() {
  RecoveryKey = recoveryKey;
  Pin = pin;
  DriveLetter = driveLetter;
  IsOsDrive = isOsDrive;
  Time = time;
  VolId = volumeId;
}

MsgBitLockerSecretsRequest::MsgBitLockerSecretsRequest(const String& text) : MsgBitLockerSecretsRequest() {
  Unpack(text);
}

void MsgBitLockerSecretsRequest::Clear() {
  RecoveryKey.clear();
  Pin.clear();
}

bool MsgBitLockerSecretsRequest::isValidRecoveryKeyRequest() const {
  return isRecoveryKeyRequest() && Time != 0 && !VolId.empty() && !DriveLetter.empty();
}

bool MsgBitLockerSecretsRequest::isValidPINRequest() const { return !Pin.empty() && RecoveryKey.empty(); }

String MsgBitLockerSecretsRequest::Pack() const {
  const auto& t = kBitLockerTags;
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendString(out, t[0], RecoveryKey);
  AppendString(out, t[1], DriveLetter);
  OFLTools::AppendXMLNode(out, t[2], IsOsDrive ? 1 : 0);
  OFLTools::AppendXMLNode(out, t[3], Time);
  AppendString(out, t[4], VolId);
  AppendString(out, t[5], Pin);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgBitLockerSecretsRequest::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  if (!LoadRoot(parser, text)) return 0;
  OFL::TagSequence tags(kBitLockerTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: RecoveryKey.assign(p.GetChildDataView()); break;
      case 1: DriveLetter.assign(p.GetChildDataView()); break;
      case 2: IsOsDrive = OFL::CRT::atoi(p.GetChildData()) != 0; break;
      case 3: Time = OFL::CRT::_atoi64(p.GetChildData()); break;
      case 4: VolId.assign(p.GetChildDataView()); break;
      case 5: Pin.assign(p.GetChildDataView()); break;
    }
  });
  return 1;
}

// MsgClientAnnounceOrLogOnStateChanged

MsgClientAnnounceOrLogOnStateChanged::MsgClientAnnounceOrLogOnStateChanged()
    : BasicMessage(MessageRootFor("MsgClientAnnounceOrLogOnStateChanged")) {}

MsgClientAnnounceOrLogOnStateChanged::MsgClientAnnounceOrLogOnStateChanged(const ClientAnnounceData& data)
    : MsgClientAnnounceOrLogOnStateChanged(data.AgentVersion, data.SID, false, data.UserAccount,
                                           data.DynamicModeActive) {}

MsgClientAnnounceOrLogOnStateChanged::MsgClientAnnounceOrLogOnStateChanged(const ClientLogonStateChangedData& data)
    : MsgClientAnnounceOrLogOnStateChanged(data.AgentVersion, data.SID, data.TriggeredByEvent, data.UserAccount,
                                           data.DynamicModeActive) {}

MsgClientAnnounceOrLogOnStateChanged::MsgClientAnnounceOrLogOnStateChanged(const String& agentVersion,
                                                                           const String& sid, bool triggeredByEvent,
                                                                           const OFLUserAccount& userAccount,
                                                                           bool dynamicModeActive)
    : MsgClientAnnounceOrLogOnStateChanged() {
  agentVersion_ = agentVersion;
  sid_ = sid;
  triggeredByEvent_ = triggeredByEvent;
  userAccount_ = userAccount;
  dynamicModeActive_ = dynamicModeActive;
}

MsgClientAnnounceOrLogOnStateChanged MsgClientAnnounceOrLogOnStateChanged::From(const String& text) {
  MsgClientAnnounceOrLogOnStateChanged m;
  m.Deserialize(text);
  return m;
}

String MsgClientAnnounceOrLogOnStateChanged::Serialize() const {
  const auto& t = kAnnounceOrLogOnTags;
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendString(out, t[0], agentVersion_);
  AppendString(out, t[1], sid_);
  if (userAccount_.IsSet()) AppendString(out, t[2], userAccount_.Pack());
  AppendString(out, t[3], BoolText(triggeredByEvent_));
  AppendString(out, t[4], BoolText(dynamicModeActive_));
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

bool MsgClientAnnounceOrLogOnStateChanged::Deserialize(const String& text) {
  OFLXMLParser parser;
  if (!LoadRoot(parser, text)) return false;
  OFL::TagSequence tags(kAnnounceOrLogOnTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: agentVersion_.assign(p.GetChildDataView()); break;
      case 1: sid_.assign(p.GetChildDataView()); break;
      case 2:
        userAccount_.Unpack(p.GetChildDataView());
        if (!userAccount_.IsSet()) Invalidate(String());
        break;
      case 3: triggeredByEvent_ = OFL::EqualsNoCase(p.GetChildDataView(), "true"); break;
      case 4: dynamicModeActive_ = OFL::EqualsNoCase(p.GetChildDataView(), "true"); break;
    }
  });
  return IsValid();
}

ClientAnnounceData MsgClientAnnounceOrLogOnStateChanged::GetClientAnnounceData() const {
  return ClientAnnounceData{agentVersion_, sid_, userAccount_, dynamicModeActive_};
}

ClientLogonStateChangedData MsgClientAnnounceOrLogOnStateChanged::GetClientLogonStateChangedData() const {
  return ClientLogonStateChangedData{agentVersion_, sid_, userAccount_, dynamicModeActive_, triggeredByEvent_};
}

}  // namespace orvacmn
