// The messages that install, update and query the agent itself: the setup
// order to the temporary remote-execution service of a rollout and its answer
// (both under the root "MSGToTempOFLRX"), the update order to an agent and its
// outcome, the deployment service's questions whether an update is running
// and its trigger, and an agent's file checksum report. Setup files travel as
// SetupFileInfo records.
//
// Messages are plain values, used by one thread at a time; the ClassName()
// constants are static and only read.
#ifndef ORVACMN_MESSAGES_AGENT_UPDATE_MESSAGES_H_
#define ORVACMN_MESSAGES_AGENT_UPDATE_MESSAGES_H_

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "orvacmn/common/types.h"
#include "orvacmn/messages/basic_message.h"
#include "orvacmn/messages/msg_xml_support.h"

namespace orvacmn {

namespace AgentRollout::DataTypes {

// One setup file: its path relative to the setup folder, its hash and its
// last write time as text. Text form: one "SetupFileInfo" element.
struct SetupFileInfo {
  String RelativeFilePath;
  String Hash;
  String LastWriteTime;

  // The path or the hash is empty.
  bool IsSetupFileInfoEmpty() const { return RelativeFilePath.empty() || Hash.empty(); }
  friend auto operator<=>(const SetupFileInfo&, const SetupFileInfo&) = default;
  friend bool operator==(const SetupFileInfo&, const SetupFileInfo&) = default;

  static String Serialize(const SetupFileInfo& info);
  // The empty record for a text without a "SetupFileInfo" element.
  static SetupFileInfo Deserialize(const String& text);

 private:
  ORVACMN_MESSAGE_FIELDS;
};

// What an agent is told to update itself with.
struct AgentUpdateData {
  String ExpectedAgentVersion;
  String InstallCommandLine;
  String DeinstallCommandLine;
  String CompetentDIPs;
  uint32_t Timeout = 0;
  std::pair<String, String> NetworkAccess;  // user, password
  String ExpectedFileName;
  std::vector<SetupFileInfo> SetupFiles;
  std::filesystem::path SetupBaseFolder;
  String IEMInstallCommandLine;
  String IEMDeinstallCommandLine;
  String IEMSetupDipRelPath;
  String IEMSetupPathDynamicMode;
  bool IgnoreCRLChecks = false;

  friend bool operator==(const AgentUpdateData&, const AgentUpdateData&) = default;
};

// The outcome of an agent update.
struct AgentUpdateResult {
  bool Success = false;
  String ExtInformation;
  String AgentVersion;
};

}  // namespace AgentRollout::DataTypes

// "MSGToTempOFLRX": the setup order to the temporary remote-execution
// service. Unpack clears first (Timeout, token, MaxRetries and
// RetryPauseDuration keep their values where nodes are missing) and leaves
// the message invalid when the text has no root of its name.
class MsgToTempOFLRX : public MsgXmlSupport {
 public:
  enum Mode : uint32_t { eUninstall = 1, eInstall = 2 };
  using SetupFileInfos = std::vector<AgentRollout::DataTypes::SetupFileInfo>;

  static constexpr uint32_t kDefaultMaxRetries = 3;
  static constexpr uint32_t kDefaultRetryPauseDuration = 10000;

  // Install: Mode 2, Version 1.
  MsgToTempOFLRX(const std::filesystem::path& setupBaseFolder, const String& installCommand,
                 const String& uninstallCommand, uint32_t timeout, const String& clientIdentificationToken,
                 const SetupFileInfos& setupFiles, uint32_t maxRetries = kDefaultMaxRetries,
                 uint32_t retryPauseDuration = kDefaultRetryPauseDuration);
  // Uninstall only: Mode 1, Version 1, no install command.
  MsgToTempOFLRX(const std::filesystem::path& setupBaseFolder, const String& uninstallCommand, uint32_t timeout,
                 const String& clientIdentificationToken, const SetupFileInfos& setupFiles,
                 uint32_t maxRetries = kDefaultMaxRetries, uint32_t retryPauseDuration = kDefaultRetryPauseDuration);

  static MsgToTempOFLRX From(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  bool IsValid() const { return valid_; }
  const std::filesystem::path& GetSetupBaseFolder() const { return setupBaseFolder_; }
  const String& GetInstallCommand() const { return installCommand_; }
  const String& GetUninstallCommand() const { return uninstallCommand_; }
  const String& GetClientIdentificationToken() const { return token_; }
  Mode GetMode() const { return mode_; }
  uint32_t GetVersionNumber() const { return version_; }
  uint32_t GetTimeout() const { return timeout_; }
  const SetupFileInfos& GetSetupFileInfos() const { return setupFiles_; }
  uint32_t GetMaxRetries() const { return maxRetries_; }
  uint32_t GetRetryPauseDuration() const { return retryPauseDuration_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  MsgToTempOFLRX();

  bool valid_ = true;
  uint32_t version_ = 0;
  Mode mode_ = Mode{};
  std::filesystem::path setupBaseFolder_;
  String installCommand_;
  String uninstallCommand_;
  uint32_t timeout_ = 0;
  String token_;
  uint32_t maxRetries_ = kDefaultMaxRetries;
  uint32_t retryPauseDuration_ = kDefaultRetryPauseDuration;
  SetupFileInfos setupFiles_;
};

// The service's answer, under the request's root "MSGToTempOFLRX". Unpack
// restores the defaults first; the version of a request text is read too.
class MsgFromTempOFLRX : public MsgXmlSupport {
 public:
  MsgFromTempOFLRX();
  // Version 1, as the setup orders.
  MsgFromTempOFLRX(bool success, uint32_t resultValue, const String& errorMessage);
  explicit MsgFromTempOFLRX(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  bool Success() const { return success_; }
  uint32_t GetVersionNumber() const { return version_; }
  uint32_t GetResultValue() const { return resultValue_; }
  const String& GetErrorMessage() const { return errorMessage_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  bool success_ = false;
  uint32_t version_ = 0;
  uint32_t resultValue_ = 0;
  String errorMessage_;
};

namespace MessagesToAgent {

// "AgentUpdateRequest": the update order to an agent.
class AgentUpdateRequest : public BasicMessage {
 public:
  explicit AgentUpdateRequest(const AgentRollout::DataTypes::AgentUpdateData& data);
  static AgentUpdateRequest From(const String& text);

  String Serialize() const override;
  bool Deserialize(const String& text) override;

  const AgentRollout::DataTypes::AgentUpdateData& Data() const { return data_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  AgentUpdateRequest();

  AgentRollout::DataTypes::AgentUpdateData data_;
};

// "AgentUpdateResponse": the outcome, Success as "T" or "F".
class AgentUpdateResponse : public BasicMessage {
 public:
  static const String& ClassName();

  explicit AgentUpdateResponse(const AgentRollout::DataTypes::AgentUpdateResult& result);
  static AgentUpdateResponse From(const String& text);

  String Serialize() const override;
  bool Deserialize(const String& text) override;

  const AgentRollout::DataTypes::AgentUpdateResult& Result() const { return result_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  AgentUpdateResponse();

  AgentRollout::DataTypes::AgentUpdateResult result_;
};

// "FileChecksumResponse": an agent's checksum of a file. Received only: it
// has no message base and no serializer. The status travels as a digit,
// "1" for eUnknown, "2" for eSuccess and "3" for eFailure; any other text
// makes the response invalid.
class GetFileChecksumResponse {
 public:
  enum StatusCode : uint32_t { eSuccess = 0, eUnknown = 1, eFailure = 2 };
  struct FileChecksumData {
    StatusCode Status = eUnknown;
    String Checksum;
    String ErrorMessage;
  };

  static const String& ClassName();
  // The digit of a status on the wire; StatusFromDigit gives false for any
  // text but the three digits.
  static const char* StatusToDigit(StatusCode status);
  static bool StatusFromDigit(std::string_view text, StatusCode& status);

  static GetFileChecksumResponse From(const String& text);

  const FileChecksumData& Result() const { return data_; }
  bool IsValid() const { return valid_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  GetFileChecksumResponse() = default;
  bool Deserialize(const String& text);

  bool valid_ = true;
  FileChecksumData data_;
};

}  // namespace MessagesToAgent

namespace MessagesToAgentDeploy {

// "ToAgentDeploy_HasRunningAgentUpdateRequest": is an update running for the
// client?
class HasRunningAgentUpdateRequest : public BasicMessage {
 public:
  static const String& ClassName();

  explicit HasRunningAgentUpdateRequest(const String& clientGUID);
  static HasRunningAgentUpdateRequest From(const String& text);

  String Serialize() const override;
  bool Deserialize(const String& text) override;

  const String& ClientGUID() const { return clientGUID_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  HasRunningAgentUpdateRequest();

  String clientGUID_;
};

// "ToAgentDeploy_HasRunningAgentUpdateResponse": whether one runs ("true" or
// "false", read as true only from exactly "true") and until when to wait (a
// local DB time text; 0 for a text that is not one).
class HasRunningAgentUpdateResponse : public BasicMessage {
 public:
  HasRunningAgentUpdateResponse(bool hasRunningUpdate, CTime waitUntil);
  static HasRunningAgentUpdateResponse From(const String& text);

  String Serialize() const override;
  bool Deserialize(const String& text) override;

  bool HasRunningUpdate() const { return hasRunningUpdate_; }
  CTime WaitUntil() const { return waitUntil_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  HasRunningAgentUpdateResponse();

  bool hasRunningUpdate_ = false;
  CTime waitUntil_ = 0;
};

// "ToAgentDeploy_TriggerAgentUpdateRequest": start an update for the client
// at an IPv4 address (as a number).
class TriggerAgentUpdateRequest : public BasicMessage {
 public:
  static const String& ClassName();

  TriggerAgentUpdateRequest(const String& clientGUID, uint32_t clientIP);
  static TriggerAgentUpdateRequest From(const String& text);

  String Serialize() const override;
  bool Deserialize(const String& text) override;

  const String& ClientGUID() const { return clientGUID_; }
  uint32_t ClientIP() const { return clientIP_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  TriggerAgentUpdateRequest();

  String clientGUID_;
  uint32_t clientIP_ = 0;
};

// "ToAgentDeploy_TriggerAgentUpdateResponse": the deployment service's
// status text.
class TriggerAgentUpdateResponse : public BasicMessage {
 public:
  explicit TriggerAgentUpdateResponse(const String& statusMessage);
  static TriggerAgentUpdateResponse From(const String& text);

  String Serialize() const override;
  bool Deserialize(const String& text) override;

  const String& StatusMessage() const { return statusMessage_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  TriggerAgentUpdateResponse();

  String statusMessage_;
};

}  // namespace MessagesToAgentDeploy

}  // namespace orvacmn

#endif  // ORVACMN_MESSAGES_AGENT_UPDATE_MESSAGES_H_
