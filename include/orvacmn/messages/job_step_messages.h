// The job-step messages: the packet that hands an agent the job, its target,
// the remaining steps, the variables and the accounts to run them under
// (MsgDJobStepPacket), the agent's reports back (MsgDJobState,
// MsgDConfirmJobStep, MsgDJobStepStateText, MsgDModuleState) and the
// self-service messages that carry one step with the user's identity
// (MsgSSA*).
//
// MsgDJobStepPacket, MsgDJobState, MsgDConfirmJobStep and
// MsgDJobStepStateText unpack strictly (0 without their root); the module
// state and the self-service messages read the children of whatever root the
// text has and always return 1. Each Unpack starts from the class's Clear.
//
// Messages are plain values, used by one thread at a time.
#ifndef ORVACMN_MESSAGES_JOB_STEP_MESSAGES_H_
#define ORVACMN_MESSAGES_JOB_STEP_MESSAGES_H_

#include <cstdint>

#include "ofl/user_account.h"
#include "orvacmn/common/types.h"
#include "orvacmn/hardware/spv.h"
#include "orvacmn/jobs/job.h"
#include "orvacmn/messages/msg_xml_support.h"
#include "orvacmn/variables/ovk_vars.h"

namespace orvacmn {

// "MSGDJobStepPacket". The packet owns its job, target, steps and variables.
class MsgDJobStepPacket : public MsgXmlSupport {
 public:
  // Job options and the target flag that CalcTimeout evaluates.
  static constexpr uint32_t kJobOptionTimeoutAbort = 0x4000;
  static constexpr uint32_t kJobOptionTimeoutA = 0x200000;
  static constexpr uint32_t kJobOptionTimeoutB = 0x400000;
  static constexpr uint32_t kTargetFlagTimedOut = 0x8000000;

  MsgDJobStepPacket();
  explicit MsgDJobStepPacket(const String& text);
  MsgDJobStepPacket(const MsgDJobStepPacket&) = delete;
  MsgDJobStepPacket& operator=(const MsgDJobStepPacket&) = delete;

  // The job is written without its targets; the packet's own job keeps them.
  String Pack() const override;
  int Unpack(String text) override;
  // Leaves the display name and the two booleans as they are.
  void Clear();

  OVOJob& GetJob() { return job_; }
  const OVOJob& GetJob() const { return job_; }
  OVOJobTarget& GetJobTarget() { return target_; }
  const OVOJobTarget& GetJobTarget() const { return target_; }
  OVOJobStepList& GetJobSteps() { return steps_; }
  const OVOJobStepList& GetJobSteps() const { return steps_; }
  COVKVars& GetVars() { return vars_; }
  const COVKVars& GetVars() const { return vars_; }

  OVO::JobState::EState GetJobState() const { return job_.GetState(); }
  void SetJobState(OVO::JobState::EState state) { job_.SetState(state); }
  const String& GetJobGUID() const { return job_.GetGUID(); }
  const String& GetJobName() const { return job_.GetName(); }
  void SetJob(const String& guid, const String& name);
  bool IsJobOptionSet(uint32_t mask) const { return job_.GetOption(mask); }
  void SetJobOption(uint32_t mask, bool on) { job_.SetOption(mask, on); }

  int GetStepCount() const { return steps_.GetCount(); }
  bool HasJobSteps() const { return !steps_.IsEmpty(); }
  // Throws std::invalid_argument for an index outside the list.
  OVOJobStep* GetStepAt(int index) const;
  // The first step with that GUID (case ignored) and its position; null if none.
  OVOJobStep* FindStep(const String& guid, POSITION* position = nullptr) const;
  // The packet takes ownership.
  void AddJobStep(OVOJobStep* step) { steps_.AddTail(step); }
  // Unlink the step and hand it to the caller; a bad index or position throws
  // std::invalid_argument.
  OVOJobStep* RemoveStepAt(int index);
  OVOJobStep* RemoveStepAt(POSITION position);
  // Destroys the first step, if any; the number of steps left.
  int DeleteFirstStep();
  OVOJobStep* GetNextPendingStep() const { return steps_.GetNextPendingStep(); }
  bool IsJobFinished() const { return steps_.IsJobFinished(); }
  // The job's result code from its finished steps; the text goes to `result`.
  uint32_t DetermineResultFromList(String& result) const { return steps_.DetermineResult(result, 0); }

  void SetNetworkUserAccount(const String& account, const String& password) {
    networkUser_.SetAccount(account, password);
  }
  void SetInstallUserAccount(const String& account, const String& password) {
    installUser_.SetAccount(account, password);
  }
  void SetRegUserAccount(const String& account, const String& password) { regUser_.SetAccount(account, password); }
  const OFLUserAccount& GetNetworkUserAccount() const { return networkUser_; }
  const OFLUserAccount& GetInstallUserAccount() const { return installUser_; }
  const OFLUserAccount& GetRegUserAccount() const { return regUser_; }

  const OvoSpv& GetInstallIniData() const { return installIni_; }
  void InsertInstallIniData(int64_t os, const String& section, const String& name, const String& value) {
    installIni_.Insert(os, section, name, value);
  }
  // The boolean property "WokenByWOL" of the target.
  void SetJobTargetWokenByWOL(bool woken);

  // Each part from its own text; 1 when the text held it, else 0.
  int UnpackJob(const String& text) { return job_.Unpack(text); }
  int UnpackJobTarget(const String& text) { return target_.Unpack(text); }
  int UnpackJobSteps(const String& text);
  bool UnpackNetworkUserAccount(const String& text) { return networkUser_.Unpack(text); }
  bool UnpackInstallUserAccount(const String& text) { return installUser_.Unpack(text); }

  const String& GetDIP() const { return dip_; }
  void SetDIP(const String& v) { dip_ = v; }
  const String& GetActiveStep() const { return activeStep_; }
  void SetActiveStep(const String& v) { activeStep_ = v; }
  uint32_t GetErrors() const { return errors_; }
  void SetErrors(uint32_t v) { errors_ = v; }
  CTime GetFirstOffering() const { return firstOffering_; }
  void SetFirstOffering(CTime v) { firstOffering_ = v; }
  uint32_t GetFlags() const { return flags_; }
  void SetFlags(uint32_t v) { flags_ = v; }
  bool GetFlag(uint32_t mask) const { return (flags_ & mask) != 0; }
  void SetFlag(uint32_t mask, bool on) { flags_ = on ? (flags_ | mask) : (flags_ & ~mask); }
  const String& GetGlobalUnlockSequence() const { return globalUnlockSequence_; }
  void SetGlobalUnlockSequence(const String& v) { globalUnlockSequence_ = v; }
  int64_t GetJobExecutionTimeout() const { return jobExecutionTimeout_; }
  void SetJobExecutionTimeout(int64_t seconds) { jobExecutionTimeout_ = seconds; }
  uint32_t GetJobMinimumDriveSpace() const { return jobMinimumDriveSpace_; }
  void SetJobMinimumDriveSpace(uint32_t v) { jobMinimumDriveSpace_ = v; }
  bool GetUseLanResources() const { return useLanResources_; }
  void SetUseLanResources(bool v) { useLanResources_ = v; }
  bool GetIgnoreCrlForovBT() const { return ignoreCrl_; }
  void SetIgnoreCrlForovBT(bool v) { ignoreCrl_ = v; }
  const String& GetBase64EncodedJobDisplayName() const { return displayName_; }
  void SetBase64EncodedJobDisplayName(const String& v) { displayName_ = v; }

  // The time by which the job must have run (seconds since 1970), 0 for no
  // limit; records the first offering when there is none yet. The form with
  // `now` runs on the caller's clock.
  CTime CalcTimeout();
  CTime CalcTimeout(CTime now);

  // Marks the steps that hang on `step` (through the closure of its
  // dependencies) as skipped, and turns dependencies on them into condition
  // "0"; a step all of whose dependencies then carry "0" is skipped too.
  void SkipDependentSteps(const OVOJobStep* step);

 private:
  ORVACMN_MESSAGE_FIELDS;

  OVOJob job_;
  OVOJobTarget target_;
  OVOJobStepList steps_;
  COVKVars vars_;
  OFLUserAccount networkUser_;
  OFLUserAccount installUser_;
  OFLUserAccount regUser_;
  String dip_;
  String activeStep_;
  OvoSpv installIni_;
  uint32_t errors_ = 0;
  CTime firstOffering_ = 0;
  uint32_t flags_ = 0;
  String globalUnlockSequence_;
  int64_t jobExecutionTimeout_ = 0;
  uint32_t jobMinimumDriveSpace_ = 0;
  bool useLanResources_ = false;
  bool ignoreCrl_ = false;
  String displayName_;
};

// "MSGDJobState": the job's state as the agent reports it. "Job" carries the
// job's name in its "name" attribute. Time travels as its low 32 bits.
class MsgDJobState : public MsgXmlSupport {
 public:
  MsgDJobState();
  explicit MsgDJobState(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  uint32_t GetJobState() const { return JobState; }
  uint32_t GetJobTargetState() const { return JobTargetState; }
  bool GetJobStateFlag(uint32_t mask) const { return (JobState & mask) != 0; }
  bool GetJobTargetStateFlag(uint32_t mask) const { return (JobTargetState & mask) != 0; }

  String Job;
  String JobName;
  String ActiveStep;
  String ActiveStepDesc;
  CTime Time = 0;
  uint32_t JobState = 0;
  uint32_t JobTargetState = 0;
  String StateText;
  uint32_t Data = 0;
  bool IsCopiedFromJobStepState = false;
  int32_t UserConsentState = 0;

 private:
  ORVACMN_MESSAGE_FIELDS;
};

// "MSGDConfirmJobStep": a step the agent has finished. JobStep is a packed
// step, inserted as markup. Time travels as its low 32 bits.
class MsgDConfirmJobStep : public MsgXmlSupport {
 public:
  MsgDConfirmJobStep();
  explicit MsgDConfirmJobStep(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  uint32_t GetState() const { return State; }

  String JobName;
  String JobStep;
  CTime Time = 0;
  uint32_t State = 0;
  int32_t Result = 0;
  String ResultString;
  uint32_t SlotId = 0;

 private:
  ORVACMN_MESSAGE_FIELDS;
};

// "MSGDJobStepStatetext": the state text of the step with GUID JobStep.
class MsgDJobStepStateText : public MsgXmlSupport {
 public:
  MsgDJobStepStateText();
  explicit MsgDJobStepStateText(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  String JobStep;
  String StateText;

 private:
  ORVACMN_MESSAGE_FIELDS;
};

// "MSGDModuleState": the state and message counters of an agent module.
class MsgDModuleState : public MsgXmlSupport {
 public:
  MsgDModuleState();
  explicit MsgDModuleState(const String& text);

  String Pack() const override;
  // Reads the children of any root; always 1.
  int Unpack(String text) override;
  void Clear();

  String Module;
  String Version;
  uint32_t State = 0;
  String StateText;
  uint32_t MsgsSent = 0;
  uint32_t MsgsRcvd = 0;
  uint32_t MsgsQueued = 0;

 private:
  ORVACMN_MESSAGE_FIELDS;
};

// The self-service messages begin with "Versionnumber" (1 when constructed
// here, kept but never compared on receipt), read the children of any root
// and always unpack to 1.
class MsgSSAMessage : public MsgXmlSupport {
 public:
  static constexpr uint32_t kVersion = 1;

  uint32_t GetVersionNumber() const { return version_; }

 protected:
  explicit MsgSSAMessage(std::string_view rootName) : MsgXmlSupport(rootName, kMessageSchema) {}

  uint32_t version_ = kVersion;
};

// "MSGSSAUserInformationData": the user's name and password, the password
// encrypted by the sender and base64-encoded; never decrypted here.
class MsgSSAUserInformationData : public MsgSSAMessage {
 public:
  MsgSSAUserInformationData();
  explicit MsgSSAUserInformationData(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  const String& GetUserNameA() const { return userName_; }
  void SetUserName(const String& v) { userName_ = v; }
  const String& GetEncPwdBase64() const { return encPwd_; }
  void SetEncPwdBase64(const String& v) { encPwd_ = v; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  String userName_;
  String encPwd_;
};

// "MSGSSAJobStepPacket": one self-service step. The step data and the user
// information (a packed MsgSSAUserInformationData) are inserted as markup
// and read back as markup.
class MsgSSAJobStepPacket : public MsgSSAMessage {
 public:
  MsgSSAJobStepPacket();
  explicit MsgSSAJobStepPacket(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  // Empties the nine Strings; the version number stays.
  void Clear();

  const String& GetJobStepGuid() const { return jobStepGuid_; }
  void SetJobStepGuid(const String& v) { jobStepGuid_ = v; }
  const String& GetJobStepData() const { return jobStepData_; }
  void SetJobStepData(const String& v) { jobStepData_ = v; }
  const String& GetUserInformation() const { return userInformation_; }
  void SetUserInformation(const String& v) { userInformation_ = v; }
  const String& GetFullOvdFilename() const { return fullOvdFilename_; }
  void SetFullOvdFilename(const String& v) { fullOvdFilename_ = v; }
  const String& GetPackedVars() const { return packedVars_; }
  void SetPackedVars(const String& v) { packedVars_ = v; }
  const String& GetClientGuid() const { return clientGuid_; }
  void SetClientGuid(const String& v) { clientGuid_ = v; }
  const String& GetClientName() const { return clientName_; }
  void SetClientName(const String& v) { clientName_ = v; }
  const String& GetJoGuid() const { return jobGuid_; }
  void SetJobGuid(const String& v) { jobGuid_ = v; }
  const String& GetJobName() const { return jobName_; }
  void SetJobName(const String& v) { jobName_ = v; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  String jobStepGuid_;
  String jobStepData_;
  String userInformation_;
  String fullOvdFilename_;
  String packedVars_;
  String clientGuid_;
  String clientName_;
  String jobGuid_;
  String jobName_;
};

// "MSGSSAJobStepConfirmation": the result of a self-service step.
class MsgSSAJobStepConfirmation : public MsgSSAMessage {
 public:
  MsgSSAJobStepConfirmation();
  explicit MsgSSAJobStepConfirmation(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  const String& GetJobStepGuid() const { return jobStepGuid_; }
  void SetJobStepGuid(const String& v) { jobStepGuid_ = v; }
  const String& GetStateTextA() const { return stateText_; }
  void SetStateText(const String& v) { stateText_ = v; }
  uint32_t GetResultCode() const { return resultCode_; }
  void SetResultCode(uint32_t v) { resultCode_ = v; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  String jobStepGuid_;
  String stateText_;
  uint32_t resultCode_ = 0;
};

// "MSGSSAJobStepTarget": the client a self-service step runs on.
class MsgSSAJobStepTarget : public MsgSSAMessage {
 public:
  MsgSSAJobStepTarget();
  explicit MsgSSAJobStepTarget(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  const String& GetClientGuid() const { return clientGuid_; }
  void SetClientGuid(const String& v) { clientGuid_ = v; }
  const String& GetClientName() const { return clientName_; }
  void SetClientName(const String& v) { clientName_ = v; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  String clientGuid_;
  String clientName_;
};

// "MSGSSAUserInformation": the user information (a packed
// MsgSSAUserInformationData) inserted as markup.
class MsgSSAUserInformation : public MsgSSAMessage {
 public:
  MsgSSAUserInformation();
  explicit MsgSSAUserInformation(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear() { userInformation_.clear(); }

  const String& GetUserInformation() const { return userInformation_; }
  void SetUserInformation(const String& v) { userInformation_ = v; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  String userInformation_;
};

}  // namespace orvacmn

#endif  // ORVACMN_MESSAGES_JOB_STEP_MESSAGES_H_
