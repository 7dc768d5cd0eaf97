#include "orvacmn/messages/agent_update_messages.h"

#include <string_view>

#include "ofl/string.h"
#include "ofl/tag_sequence.h"
#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {
namespace {

using AgentRollout::DataTypes::AgentUpdateData;
using AgentRollout::DataTypes::AgentUpdateResult;
using AgentRollout::DataTypes::SetupFileInfo;

// Tags of each message in writing order, so the reader's tag sequence costs
// one comparison per child of a text written here.
constexpr std::string_view kSetupFileInfoTags[] = {"RelativeFilePath", "Hash", "LastWriteTime"};
constexpr std::string_view kToTempTags[] = {"Version",         "Mode",     "SetupBaseFolder",
                                            "InstallCommand",  "UninstallCommand",
                                            "Timeout",         "ClientIdentificationToken",
                                            "MaxRetries",      "RetryPauseDuration",
                                            "SetupFileInfo"};
constexpr std::string_view kFromTempTags[] = {"Success", "Version", "ResultValue", "ErrorMessage"};
constexpr std::string_view kUpdateRequestTags[] = {
    "CompetentDIPs",         "DeinstallCommandLine",    "ExpectedAgentVersion", "ExpectedFileName",
    "InstallCommandLine",    "NetworkAccessUsr",        "NetworkAccessPwd",     "Timeout",
    "IEMInstallCommandLine", "IEMDeinstallCommandLine", "IEMSetupDipRelPath",   "IgnoreCRLChecks",
    "IEMSetupPathDynamicMode", "SetupBaseFolder",       "SetupFile"};
constexpr std::string_view kUpdateResponseTags[] = {"Success", "ExtInformation", "OvaVersion"};
constexpr std::string_view kChecksumTags[] = {"Status", "Checksum", "ErrorMessage"};

void AppendString(String& out, std::string_view tag, std::string_view value) {
  OFLTools::AppendXMLNode(out, tag, value);
}

const char* TF(bool value) { return value ? "T" : "F"; }

// The three encoding-2 messages of one String field.
template <class M>
String SerializeOne(const M& m, std::string_view tag, const String& value) {
  String out;
  OFLTools::AppendXMLTag(out, m.GetObjectName());
  AppendString(out, tag, value);
  OFLTools::AppendXMLTag(out, m.GetObjectName(), true);
  return out;
}

}  // namespace

// SetupFileInfo

namespace AgentRollout::DataTypes {

String SetupFileInfo::Serialize(const SetupFileInfo& info) {
  String out;
  OFLTools::AppendXMLTag(out, "SetupFileInfo");
  AppendString(out, kSetupFileInfoTags[0], info.RelativeFilePath);
  AppendString(out, kSetupFileInfoTags[1], info.Hash);
  AppendString(out, kSetupFileInfoTags[2], info.LastWriteTime);
  OFLTools::AppendXMLTag(out, "SetupFileInfo", true);
  return out;
}

SetupFileInfo SetupFileInfo::Deserialize(const String& text) {
  SetupFileInfo info;
  OFLXMLParser parser;
  parser.SetDoc(text);
  if (!parser.FindElem("SetupFileInfo")) return info;
  OFL::TagSequence tags(kSetupFileInfoTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: info.RelativeFilePath.assign(p.GetChildDataView()); break;
      case 1: info.Hash.assign(p.GetChildDataView()); break;
      case 2: info.LastWriteTime.assign(p.GetChildDataView()); break;
    }
  });
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

String MsgToTempOFLRX::Pack() const {
  const auto& t = kToTempTags;
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, t[0], version_);
  OFLTools::AppendXMLNode(out, t[1], static_cast<uint32_t>(mode_));
  AppendString(out, t[2], setupBaseFolder_.string());
  AppendString(out, t[3], installCommand_);
  AppendString(out, t[4], uninstallCommand_);
  OFLTools::AppendXMLNode(out, t[5], timeout_);
  AppendString(out, t[6], token_);
  OFLTools::AppendXMLNode(out, t[7], maxRetries_);
  OFLTools::AppendXMLNode(out, t[8], retryPauseDuration_);
  for (const SetupFileInfo& f : setupFiles_) AppendString(out, t[9], SetupFileInfo::Serialize(f));
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgToTempOFLRX::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  if (!LoadRoot(parser, text)) {
    valid_ = false;
    return 0;
  }
  OFL::TagSequence tags(kToTempTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: version_ = OFLTools::AToUL(p.GetChildDataView()); break;
      case 1: mode_ = static_cast<Mode>(OFLTools::AToUL(p.GetChildDataView())); break;
      case 2: setupBaseFolder_ = std::filesystem::path(p.GetChildDataView()); break;
      case 3: installCommand_.assign(p.GetChildDataView()); break;
      case 4: uninstallCommand_.assign(p.GetChildDataView()); break;
      case 5: timeout_ = OFLTools::AToUL(p.GetChildDataView()); break;
      case 6: token_.assign(p.GetChildDataView()); break;
      case 7: maxRetries_ = OFLTools::AToUL(p.GetChildDataView()); break;
      case 8: retryPauseDuration_ = OFLTools::AToUL(p.GetChildDataView()); break;
      case 9: setupFiles_.push_back(SetupFileInfo::Deserialize(p.GetChildData())); break;
    }
  });
  return 1;
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

String MsgFromTempOFLRX::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, kFromTempTags[0], success_ ? 1 : 0);
  OFLTools::AppendXMLNode(out, kFromTempTags[1], version_);
  OFLTools::AppendXMLNode(out, kFromTempTags[2], resultValue_);
  AppendString(out, kFromTempTags[3], errorMessage_);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgFromTempOFLRX::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  if (!LoadRoot(parser, text)) return 0;
  OFL::TagSequence tags(kFromTempTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: success_ = OFLTools::AToUL(p.GetChildDataView()) != 0; break;
      case 1: version_ = OFLTools::AToUL(p.GetChildDataView()); break;
      case 2: resultValue_ = OFLTools::AToUL(p.GetChildDataView()); break;
      case 3: errorMessage_.assign(p.GetChildDataView()); break;
    }
  });
  return 1;
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

String AgentUpdateRequest::Serialize() const {
  const auto& t = kUpdateRequestTags;
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendString(out, t[0], data_.CompetentDIPs);
  AppendString(out, t[1], data_.DeinstallCommandLine);
  AppendString(out, t[2], data_.ExpectedAgentVersion);
  AppendString(out, t[3], data_.ExpectedFileName);
  AppendString(out, t[4], data_.InstallCommandLine);
  AppendString(out, t[5], data_.NetworkAccess.first);
  AppendString(out, t[6], data_.NetworkAccess.second);
  OFLTools::AppendXMLNode(out, t[7], data_.Timeout);
  AppendString(out, t[8], data_.IEMInstallCommandLine);
  AppendString(out, t[9], data_.IEMDeinstallCommandLine);
  AppendString(out, t[10], data_.IEMSetupDipRelPath);
  AppendString(out, t[11], TF(data_.IgnoreCRLChecks));
  AppendString(out, t[12], data_.IEMSetupPathDynamicMode);
  AppendString(out, t[13], data_.SetupBaseFolder.string());
  for (const SetupFileInfo& f : data_.SetupFiles) AppendString(out, t[14], SetupFileInfo::Serialize(f));
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

bool AgentUpdateRequest::Deserialize(const String& text) {
  OFLXMLParser parser;
  if (!LoadRoot(parser, text)) return false;
  OFL::TagSequence tags(kUpdateRequestTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    const std::string_view value = p.GetChildDataView();
    switch (tags.Find(tag)) {
      case 0: data_.CompetentDIPs.assign(value); break;
      case 1: data_.DeinstallCommandLine.assign(value); break;
      case 2: data_.ExpectedAgentVersion.assign(value); break;
      case 3: data_.ExpectedFileName.assign(value); break;
      case 4: data_.InstallCommandLine.assign(value); break;
      case 5: data_.NetworkAccess.first.assign(value); break;
      case 6: data_.NetworkAccess.second.assign(value); break;
      case 7: data_.Timeout = OFLTools::AToUL(value); break;
      case 8: data_.IEMInstallCommandLine.assign(value); break;
      case 9: data_.IEMDeinstallCommandLine.assign(value); break;
      case 10: data_.IEMSetupDipRelPath.assign(value); break;
      case 11: data_.IgnoreCRLChecks = OFL::EqualsNoCase(value, "T"); break;
      case 12: data_.IEMSetupPathDynamicMode.assign(value); break;
      case 13: data_.SetupBaseFolder = std::filesystem::path(value); break;
      case 14: data_.SetupFiles.push_back(SetupFileInfo::Deserialize(String(value))); break;
    }
  });
  return IsValid();
}

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

String AgentUpdateResponse::Serialize() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendString(out, kUpdateResponseTags[0], TF(result_.Success));
  AppendString(out, kUpdateResponseTags[1], result_.ExtInformation);
  AppendString(out, kUpdateResponseTags[2], result_.AgentVersion);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

bool AgentUpdateResponse::Deserialize(const String& text) {
  OFLXMLParser parser;
  if (!LoadRoot(parser, text)) return false;
  OFL::TagSequence tags(kUpdateResponseTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: result_.Success = OFL::EqualsNoCase(p.GetChildDataView(), "T"); break;
      case 1: result_.ExtInformation.assign(p.GetChildDataView()); break;
      case 2: result_.AgentVersion.assign(p.GetChildDataView()); break;
    }
  });
  return IsValid();
}

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

// The library's Strings are UTF-8 already: the received text needs no
// conversion before parsing.
bool GetFileChecksumResponse::Deserialize(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  if (!parser.FindElem(ClassName().c_str())) {
    valid_ = false;
    return false;
  }
  OFL::TagSequence tags(kChecksumTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0:
        if (!StatusFromDigit(p.GetChildDataView(), data_.Status)) valid_ = false;
        break;
      case 1: data_.Checksum.assign(p.GetChildDataView()); break;
      case 2: data_.ErrorMessage.assign(p.GetChildDataView()); break;
    }
  });
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

String HasRunningAgentUpdateRequest::Serialize() const { return SerializeOne(*this, "ClientGUID", clientGUID_); }

bool HasRunningAgentUpdateRequest::Deserialize(const String& text) {
  OFLXMLParser parser;
  if (!LoadRoot(parser, text)) return false;
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, "ClientGUID")) clientGUID_.assign(p.GetChildDataView());
  });
  return IsValid();
}

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

String HasRunningAgentUpdateResponse::Serialize() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendString(out, "HasRunningUpdate", hasRunningUpdate_ ? "true" : "false");
  AppendString(out, "WaitUntil", OVOHelper::CTimeToDBTime(waitUntil_));
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

bool HasRunningAgentUpdateResponse::Deserialize(const String& text) {
  OFLXMLParser parser;
  if (!LoadRoot(parser, text)) return false;
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, "HasRunningUpdate")) hasRunningUpdate_ = p.GetChildDataView() == "true";
    else if (OFL::EqualsNoCase(tag, "WaitUntil")) waitUntil_ = OVOHelper::DBTimeToCTime(p.GetChildData());
  });
  return IsValid();
}

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

String TriggerAgentUpdateRequest::Serialize() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendString(out, "ClientGUID", clientGUID_);
  OFLTools::AppendXMLNode(out, "ClientIP", clientIP_);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

bool TriggerAgentUpdateRequest::Deserialize(const String& text) {
  OFLXMLParser parser;
  if (!LoadRoot(parser, text)) return false;
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, "ClientGUID")) clientGUID_.assign(p.GetChildDataView());
    else if (OFL::EqualsNoCase(tag, "ClientIP")) clientIP_ = OFLTools::AToUL(p.GetChildDataView());
  });
  return IsValid();
}

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

String TriggerAgentUpdateResponse::Serialize() const {
  return SerializeOne(*this, "StatusMessage", statusMessage_);
}

bool TriggerAgentUpdateResponse::Deserialize(const String& text) {
  OFLXMLParser parser;
  if (!LoadRoot(parser, text)) return false;
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, "StatusMessage")) statusMessage_.assign(p.GetChildDataView());
  });
  return IsValid();
}

}  // namespace MessagesToAgentDeploy

}  // namespace orvacmn
