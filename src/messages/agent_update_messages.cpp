#include "orvacmn/messages/agent_update_messages.h"

#include <string_view>

#include "ofl/string.h"
#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"
#include "message_fields.h"

namespace orvacmn {
namespace {

using AgentRollout::DataTypes::AgentUpdateData;
using AgentRollout::DataTypes::AgentUpdateResult;
using AgentRollout::DataTypes::SetupFileInfo;

// A setup file record as the escaped text of its node.
struct SetupFileText {
  static void Put(String& out, std::string_view tag, const SetupFileInfo& m) {
    msg_fields::Text::Put(out, tag, SetupFileInfo::Serialize(m));
  }
  static void Get(OFLXMLParser& p, SetupFileInfo& m) { m = SetupFileInfo::Deserialize(p.GetChildData()); }
};
using SetupFileTexts = msg_fields::Repeated<SetupFileText>;

// A local time as its DB time text.
struct DBTime {
  static void Put(String& out, std::string_view tag, CTime m) {
    msg_fields::Text::Put(out, tag, OVOHelper::CTimeToDBTime(m));
  }
  static void Get(OFLXMLParser& p, CTime& m) { m = OVOHelper::DBTimeToCTime(p.GetChildData()); }
};

}  // namespace

// SetupFileInfo

namespace AgentRollout::DataTypes {

template <class S, class V>
void SetupFileInfo::Fields(S& self, V& v) {
  v("RelativeFilePath", self.RelativeFilePath);
  v("Hash", self.Hash);
  v("LastWriteTime", self.LastWriteTime);
}

String SetupFileInfo::Serialize(const SetupFileInfo& info) { return msg_fields::Pack("SetupFileInfo", info); }

SetupFileInfo SetupFileInfo::Deserialize(const String& text) {
  SetupFileInfo info;
  msg_fields::Read(text, "SetupFileInfo", info);
  return info;
}

}  // namespace AgentRollout::DataTypes

// MsgToTempOFLRX

MsgToTempOFLRX::MsgToTempOFLRX() : MsgXmlSupport(MessageRootFor("MsgToTempOFLRX"), kMessageSchema) {}

MsgToTempOFLRX::MsgToTempOFLRX(const std::filesystem::path& setupBaseFolder, const String& installCommand,
                               const String& uninstallCommand, uint32_t timeout,
                               const String& clientIdentificationToken, const SetupFileInfos& setupFiles,
                               uint32_t maxRetries, uint32_t retryPauseDuration)
    : MsgToTempOFLRX() {
  version_ = 1;
  mode_ = eInstall;
  setupBaseFolder_ = setupBaseFolder;
  installCommand_ = installCommand;
  uninstallCommand_ = uninstallCommand;
  timeout_ = timeout;
  token_ = clientIdentificationToken;
  setupFiles_ = setupFiles;
  maxRetries_ = maxRetries;
  retryPauseDuration_ = retryPauseDuration;
}

MsgToTempOFLRX::MsgToTempOFLRX(const std::filesystem::path& setupBaseFolder, const String& uninstallCommand,
                               uint32_t timeout, const String& clientIdentificationToken,
                               const SetupFileInfos& setupFiles, uint32_t maxRetries, uint32_t retryPauseDuration)
    : MsgToTempOFLRX(setupBaseFolder, String(), uninstallCommand, timeout, clientIdentificationToken, setupFiles,
                     maxRetries, retryPauseDuration) {
  mode_ = eUninstall;
}

MsgToTempOFLRX MsgToTempOFLRX::From(const String& text) {
  MsgToTempOFLRX m;
  m.Unpack(text);
  return m;
}

void MsgToTempOFLRX::Clear() {
  valid_ = true;
  setupBaseFolder_.clear();
  installCommand_.clear();
  uninstallCommand_.clear();
  version_ = 0;
  mode_ = Mode{};
  setupFiles_.clear();
}

template <class S, class V>
void MsgToTempOFLRX::Fields(S& self, V& v) {
  v("Version", self.version_);
  v("Mode", self.mode_);
  v("SetupBaseFolder", self.setupBaseFolder_);
  v("InstallCommand", self.installCommand_);
  v("UninstallCommand", self.uninstallCommand_);
  v("Timeout", self.timeout_);
  v("ClientIdentificationToken", self.token_);
  v("MaxRetries", self.maxRetries_);
  v("RetryPauseDuration", self.retryPauseDuration_);
  v("SetupFileInfo", self.setupFiles_, SetupFileTexts{});
}

String MsgToTempOFLRX::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgToTempOFLRX::Unpack(String text) {
  Clear();
  valid_ = msg_fields::Unpack(text, *this) == 1;
  return valid_ ? 1 : 0;
}

// MsgFromTempOFLRX

MsgFromTempOFLRX::MsgFromTempOFLRX() : MsgXmlSupport(MessageRootFor("MsgFromTempOFLRX"), kMessageSchema) {}

MsgFromTempOFLRX::MsgFromTempOFLRX(bool success, uint32_t resultValue, const String& errorMessage)
    : MsgFromTempOFLRX() {
  success_ = success;
  version_ = 1;
  resultValue_ = resultValue;
  errorMessage_ = errorMessage;
}

MsgFromTempOFLRX::MsgFromTempOFLRX(const String& text) : MsgFromTempOFLRX() { Unpack(text); }

void MsgFromTempOFLRX::Clear() {
  success_ = false;
  version_ = 0;
  resultValue_ = 0;
  errorMessage_.clear();
}

template <class S, class V>
void MsgFromTempOFLRX::Fields(S& self, V& v) {
  v("Success", self.success_);
  v("Version", self.version_);
  v("ResultValue", self.resultValue_);
  v("ErrorMessage", self.errorMessage_);
}

String MsgFromTempOFLRX::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgFromTempOFLRX::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
}

namespace MessagesToAgent {

// AgentUpdateRequest

AgentUpdateRequest::AgentUpdateRequest() : BasicMessage(MessageRootFor("MessagesToAgent::AgentUpdateRequest")) {}

AgentUpdateRequest::AgentUpdateRequest(const AgentUpdateData& data) : AgentUpdateRequest() { data_ = data; }

AgentUpdateRequest AgentUpdateRequest::From(const String& text) {
  AgentUpdateRequest m;
  m.Deserialize(text);
  return m;
}

template <class S, class V>
void AgentUpdateRequest::Fields(S& self, V& v) {
  auto& d = self.data_;
  v("CompetentDIPs", d.CompetentDIPs);
  v("DeinstallCommandLine", d.DeinstallCommandLine);
  v("ExpectedAgentVersion", d.ExpectedAgentVersion);
  v("ExpectedFileName", d.ExpectedFileName);
  v("InstallCommandLine", d.InstallCommandLine);
  v("NetworkAccessUsr", d.NetworkAccess.first);
  v("NetworkAccessPwd", d.NetworkAccess.second);
  v("Timeout", d.Timeout);
  v("IEMInstallCommandLine", d.IEMInstallCommandLine);
  v("IEMDeinstallCommandLine", d.IEMDeinstallCommandLine);
  v("IEMSetupDipRelPath", d.IEMSetupDipRelPath);
  v("IgnoreCRLChecks", d.IgnoreCRLChecks, msg_fields::BoolTF{});
  v("IEMSetupPathDynamicMode", d.IEMSetupPathDynamicMode);
  v("SetupBaseFolder", d.SetupBaseFolder);
  v("SetupFile", d.SetupFiles, SetupFileTexts{});
}

String AgentUpdateRequest::Serialize() const { return msg_fields::Pack(GetObjectName(), *this); }

bool AgentUpdateRequest::Deserialize(const String& text) { return msg_fields::Deserialize(text, *this); }

// AgentUpdateResponse

const String& AgentUpdateResponse::ClassName() {
  static const String name(MessageRootFor("MessagesToAgent::AgentUpdateResponse"));
  return name;
}

AgentUpdateResponse::AgentUpdateResponse() : BasicMessage(ClassName()) {}

AgentUpdateResponse::AgentUpdateResponse(const AgentUpdateResult& result) : AgentUpdateResponse() {
  result_ = result;
}

AgentUpdateResponse AgentUpdateResponse::From(const String& text) {
  AgentUpdateResponse m;
  m.Deserialize(text);
  return m;
}

template <class S, class V>
void AgentUpdateResponse::Fields(S& self, V& v) {
  v("Success", self.result_.Success, msg_fields::BoolTF{});
  v("ExtInformation", self.result_.ExtInformation);
  v("OvaVersion", self.result_.AgentVersion);
}

String AgentUpdateResponse::Serialize() const { return msg_fields::Pack(GetObjectName(), *this); }

bool AgentUpdateResponse::Deserialize(const String& text) { return msg_fields::Deserialize(text, *this); }

// GetFileChecksumResponse

const String& GetFileChecksumResponse::ClassName() {
  static const String name(MessageRootFor("MessagesToAgent::GetFileChecksumResponse"));
  return name;
}

const char* GetFileChecksumResponse::StatusToDigit(StatusCode status) {
  switch (status) {
    case eSuccess: return "2";
    case eFailure: return "3";
    default: return "1";
  }
}

bool GetFileChecksumResponse::StatusFromDigit(std::string_view text, StatusCode& status) {
  if (text == "1") status = eUnknown;
  else if (text == "2") status = eSuccess;
  else if (text == "3") status = eFailure;
  else return false;
  return true;
}

GetFileChecksumResponse GetFileChecksumResponse::From(const String& text) {
  GetFileChecksumResponse m;
  m.Deserialize(text);
  return m;
}

namespace {

// A status digit; any other text invalidates the response.
template <class FlagPointer>
struct StatusDigit {
  FlagPointer valid;
  void Get(OFLXMLParser& p, GetFileChecksumResponse::StatusCode& m) const {
    if (!GetFileChecksumResponse::StatusFromDigit(p.GetChildDataView(), m)) *valid = false;
  }
};

}  // namespace

template <class S, class V>
void GetFileChecksumResponse::Fields(S& self, V& v) {
  v("Status", self.data_.Status, StatusDigit<decltype(&self.valid_)>{&self.valid_});
  v("Checksum", self.data_.Checksum);
  v("ErrorMessage", self.data_.ErrorMessage);
}

// The library's Strings are UTF-8 already: the received text needs no
// conversion before parsing.
bool GetFileChecksumResponse::Deserialize(const String& text) {
  if (!msg_fields::Read(text, ClassName().c_str(), *this)) valid_ = false;
  return valid_;
}

}  // namespace MessagesToAgent

namespace MessagesToAgentDeploy {

// HasRunningAgentUpdateRequest

const String& HasRunningAgentUpdateRequest::ClassName() {
  static const String name(MessageRootFor("MessagesToAgentDeploy::HasRunningAgentUpdateRequest"));
  return name;
}

HasRunningAgentUpdateRequest::HasRunningAgentUpdateRequest() : BasicMessage(ClassName()) {}

HasRunningAgentUpdateRequest::HasRunningAgentUpdateRequest(const String& clientGUID)
    : HasRunningAgentUpdateRequest() {
  clientGUID_ = clientGUID;
}

HasRunningAgentUpdateRequest HasRunningAgentUpdateRequest::From(const String& text) {
  HasRunningAgentUpdateRequest m;
  m.Deserialize(text);
  return m;
}

template <class S, class V>
void HasRunningAgentUpdateRequest::Fields(S& self, V& v) {
  v("ClientGUID", self.clientGUID_);
}

String HasRunningAgentUpdateRequest::Serialize() const { return msg_fields::Pack(GetObjectName(), *this); }

bool HasRunningAgentUpdateRequest::Deserialize(const String& text) { return msg_fields::Deserialize(text, *this); }

// HasRunningAgentUpdateResponse

HasRunningAgentUpdateResponse::HasRunningAgentUpdateResponse()
    : BasicMessage(MessageRootFor("MessagesToAgentDeploy::HasRunningAgentUpdateResponse")) {}

HasRunningAgentUpdateResponse::HasRunningAgentUpdateResponse(bool hasRunningUpdate, CTime waitUntil)
    : HasRunningAgentUpdateResponse() {
  hasRunningUpdate_ = hasRunningUpdate;
  waitUntil_ = waitUntil;
}

HasRunningAgentUpdateResponse HasRunningAgentUpdateResponse::From(const String& text) {
  HasRunningAgentUpdateResponse m;
  m.Deserialize(text);
  return m;
}

template <class S, class V>
void HasRunningAgentUpdateResponse::Fields(S& self, V& v) {
  v("HasRunningUpdate", self.hasRunningUpdate_, msg_fields::BoolWord<false>{});
  v("WaitUntil", self.waitUntil_, DBTime{});
}

String HasRunningAgentUpdateResponse::Serialize() const { return msg_fields::Pack(GetObjectName(), *this); }

bool HasRunningAgentUpdateResponse::Deserialize(const String& text) { return msg_fields::Deserialize(text, *this); }

// TriggerAgentUpdateRequest

const String& TriggerAgentUpdateRequest::ClassName() {
  static const String name(MessageRootFor("MessagesToAgentDeploy::TriggerAgentUpdateRequest"));
  return name;
}

TriggerAgentUpdateRequest::TriggerAgentUpdateRequest() : BasicMessage(ClassName()) {}

TriggerAgentUpdateRequest::TriggerAgentUpdateRequest(const String& clientGUID, uint32_t clientIP)
    : TriggerAgentUpdateRequest() {
  clientGUID_ = clientGUID;
  clientIP_ = clientIP;
}

TriggerAgentUpdateRequest TriggerAgentUpdateRequest::From(const String& text) {
  TriggerAgentUpdateRequest m;
  m.Deserialize(text);
  return m;
}

template <class S, class V>
void TriggerAgentUpdateRequest::Fields(S& self, V& v) {
  v("ClientGUID", self.clientGUID_);
  v("ClientIP", self.clientIP_);
}

String TriggerAgentUpdateRequest::Serialize() const { return msg_fields::Pack(GetObjectName(), *this); }

bool TriggerAgentUpdateRequest::Deserialize(const String& text) { return msg_fields::Deserialize(text, *this); }

// TriggerAgentUpdateResponse

TriggerAgentUpdateResponse::TriggerAgentUpdateResponse()
    : BasicMessage(MessageRootFor("MessagesToAgentDeploy::TriggerAgentUpdateResponse")) {}

TriggerAgentUpdateResponse::TriggerAgentUpdateResponse(const String& statusMessage)
    : TriggerAgentUpdateResponse() {
  statusMessage_ = statusMessage;
}

TriggerAgentUpdateResponse TriggerAgentUpdateResponse::From(const String& text) {
  TriggerAgentUpdateResponse m;
  m.Deserialize(text);
  return m;
}

template <class S, class V>
void TriggerAgentUpdateResponse::Fields(S& self, V& v) {
  v("StatusMessage", self.statusMessage_);
}

String TriggerAgentUpdateResponse::Serialize() const { return msg_fields::Pack(GetObjectName(), *this); }

bool TriggerAgentUpdateResponse::Deserialize(const String& text) { return msg_fields::Deserialize(text, *this); }

}  // namespace MessagesToAgentDeploy

}  // namespace orvacmn
