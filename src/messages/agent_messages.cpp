#include "orvacmn/messages/agent_messages.h"

#include <string_view>

#include "ofl/string.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/messages/length_packed.h"
#include "message_fields.h"

namespace orvacmn {

// MsgDAgentConfiguration

MsgDAgentConfiguration::MsgDAgentConfiguration()
    : MsgXmlSupport(MessageRootFor("MsgDAgentConfiguration"), kMessageSchema) {}

MsgDAgentConfiguration::MsgDAgentConfiguration(const String& text) : MsgDAgentConfiguration() { Unpack(text); }

void MsgDAgentConfiguration::Clear() { *this = MsgDAgentConfiguration(); }

template <class S, class V>
void MsgDAgentConfiguration::Fields(S& self, V& v) {
  v("Options", self.Options);
  v("NetworkUser", self.NetworkUser);
  v("InstallUser", self.InstallUser);
  v("AnnounceInterval", self.AnnounceInterval);
  v("Flags", self.Flags);
  v("InternetMode", self.InternetMode);
  v("InternetServerAddress", self.InternetServerAddress);
  v("InternetServerPort", self.InternetServerPort);
  v("InternetServerPublicKey", self.InternetServerPublicKey);
  v("ServerRootCA", self.ServerRootCA);
  v("WebServerPort", self.WebServerPort);
  v("KioskAPIPort", self.KioskAPIPort);
  v("KioskHost", self.KioskHost);
  v("UseDeprecatedKiosk", self.UseDeprecatedKiosk, msg_fields::BoolOne{});
  v("DoNotDisturbTime", self.DoNotDisturbTime);
  v("Properties", self.Properties);
}

String MsgDAgentConfiguration::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgDAgentConfiguration::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
}

// MsgDClientState

MsgDClientState::MsgDClientState() : MsgXmlSupport(MessageRootFor("MsgDClientState"), kMessageSchema) {}

MsgDClientState::MsgDClientState(const String& text) : MsgDClientState() { Unpack(text); }

void MsgDClientState::Clear() { *this = MsgDClientState(); }

template <class S, class V>
void MsgDClientState::Fields(S& self, V& v) {
  v("GUID", self.GUID);
  v("MachineDisplayName", self.MachineDisplayName);
  v("OVAState", self.OVAState);
  v("OVAActivity", self.OVAActivity);
  v("LastChange", self.LastChange);
}

String MsgDClientState::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgDClientState::Unpack(String text) {
  msg_fields::Read(text, nullptr, *this);
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

template <class S, class V>
void MsgBootClientToServer::Fields(S& self, V& v) {
  v("MAC", self.MAC);
  v("UniqueIdentifier", self.UniqueIdentifier);
  v("Data", self.Data);
}

String MsgBootClientToServer::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgBootClientToServer::Unpack(String text) { return msg_fields::Unpack(text, *this); }

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

template <class S, class V>
void MsgClientAnnounce::Fields(S& self, V& v) {
  v("ClientIdentification", self.ClientIdentification);
  v("Data", self.Data);
}

String MsgClientAnnounce::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgClientAnnounce::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
}

// MsgCertificateRequest

MsgCertificateRequest::MsgCertificateRequest()
    : MsgXmlSupport(MessageRootFor("MsgCertificateRequest"), kMessageSchema) {}

MsgCertificateRequest::MsgCertificateRequest(Type type) : MsgCertificateRequest() { type_ = type; }

MsgCertificateRequest::MsgCertificateRequest(const String& text) : MsgCertificateRequest() { Unpack(text); }

template <class S, class V>
void MsgCertificateRequest::Fields(S& self, V& v) {
  v("Type", self.type_);
}

String MsgCertificateRequest::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgCertificateRequest::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
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

template <class S, class V>
void MsgCertificateResponse::Fields(S& self, V& v) {
  v("Certificate", self.certificate_);
  v("Format", self.format_);
}

String MsgCertificateResponse::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgCertificateResponse::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
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

template <class S, class V>
void MsgBitLockerSecretsRequest::Fields(S& self, V& v) {
  v("RecoveryKey", self.RecoveryKey);
  v("DriveLetter", self.DriveLetter);
  v("IsOsDrive", self.IsOsDrive);
  v("Time", self.Time);
  v("VolId", self.VolId);
  v("Pin", self.Pin);
}

String MsgBitLockerSecretsRequest::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgBitLockerSecretsRequest::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
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

namespace {

// Written only when set; a node that gives no set account invalidates the
// message.
template <class Message>
struct SetAccount {
  Message* message;
  static void Put(String& out, std::string_view tag, const OFLUserAccount& m) {
    if (m.IsSet()) msg_fields::Account::Put(out, tag, m);
  }
  void Get(OFLXMLParser& p, OFLUserAccount& m) const {
    m.Unpack(p.GetChildDataView());
    if (!m.IsSet()) message->Invalidate(String());
  }
};

}  // namespace

template <class S, class V>
void MsgClientAnnounceOrLogOnStateChanged::Fields(S& self, V& v) {
  v("AgentVersion", self.agentVersion_);
  v("SID", self.sid_);
  v("UserAccount", self.userAccount_, SetAccount<S>{&self});
  v("TriggeredByEvent", self.triggeredByEvent_, msg_fields::BoolWord<>{});
  v("DynamicModeActive", self.dynamicModeActive_, msg_fields::BoolWord<>{});
}

String MsgClientAnnounceOrLogOnStateChanged::Serialize() const { return msg_fields::Pack(GetObjectName(), *this); }

bool MsgClientAnnounceOrLogOnStateChanged::Deserialize(const String& text) {
  return msg_fields::Deserialize(text, *this);
}

ClientAnnounceData MsgClientAnnounceOrLogOnStateChanged::GetClientAnnounceData() const {
  return ClientAnnounceData{agentVersion_, sid_, userAccount_, dynamicModeActive_};
}

ClientLogonStateChangedData MsgClientAnnounceOrLogOnStateChanged::GetClientLogonStateChangedData() const {
  return ClientLogonStateChangedData{agentVersion_, sid_, userAccount_, dynamicModeActive_, triggeredByEvent_};
}

}  // namespace orvacmn
