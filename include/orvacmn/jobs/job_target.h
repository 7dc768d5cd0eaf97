// OVOJobTarget: the assignment of one job to one managed computer, with the
// job's execution state on that computer. OVOJobTargetList: an owning list of
// targets with its own text form.
//
// A target packs as "JobTarget" (whole-object style): the five identifying
// Strings always, counters and times only when not 0, "State" as state OR
// flags, "ConditionApplies" only when 0, "Created" and "Priority" always, the
// consent and priority state only when not 0, and the property bag last.
// Unpack(const String&) clears first; a missing node keeps its default, and
// "Created" defaults to the time of the Clear. As for every whole-object
// class, the base Unpack(OFLXMLParser&) reads no fields: containers hand a
// target the child's markup.
//
// The numbers that are read the C runtime's signed way ("State",
// "ConditionApplies", "Priority", "UserConsentState", "PriorityState") are
// written as their signed 32-bit text, so every value reads back as written.
//
// Objects carry no locks; use each from one thread at a time.
#ifndef ORVACMN_JOBS_JOB_TARGET_H_
#define ORVACMN_JOBS_JOB_TARGET_H_

#include <cstdint>
#include <memory>

#include "orvacmn/common/types.h"
#include "orvacmn/jobs/job_state.h"
#include "orvacmn/objects/owning_list.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVOJobTargetList;

class OVOJobTarget : public OVOXMLSupport {
 public:
  using EState = OVO::JobState::EState;

  // Object name "JobTarget"; unpacks `text` when it is not empty, else holds
  // the defaults.
  explicit OVOJobTarget(const String& text = String());
  OVOJobTarget(const OVOJobTarget&) = default;
  OVOJobTarget& operator=(const OVOJobTarget&) = default;
  ~OVOJobTarget() override = default;

  String Pack() const override;
  void AppendPack(String& out) const override;
  using OVOXMLSupport::Unpack;
  // 1 when the text holds a "JobTarget" root, else 0; clears first.
  int Unpack(const String& text) override;
  // The same on the element a loaded parser holds, read in place.
  int UnpackLoaded(OFLXMLParser& loaded) override;
  // State 1 without flags, consent or priority state; "ConditionApplies" 1;
  // "Created" the current time; everything else 0 or empty.
  void Clear() override;

  // Every field and property equal.
  bool operator==(const OVOJobTarget& other) const;
  bool operator!=(const OVOJobTarget& other) const { return !(*this == other); }

  // Well-known property names.
  static const char* Str_Property_ResetBootEnvironment() { return "ResetBootEnvironment"; }
  static const char* Str_Property_WakeUpSentCount() { return "WakeUpSentCount"; }
  static const char* Str_Property_WakeUpSentTime() { return "WakeUpSentTime"; }
  static const char* Str_Property_WakeUpTimeDelta() { return "WakeUpTimeDelta"; }
  static const char* Str_Property_WokenByWOL() { return "WokenByWOL"; }

  const String& GetGUIDJob() const { return guidJob_; }
  void SetGUIDJob(const String& v) { guidJob_ = v; }
  const String& GetGUIDMachine() const { return guidMachine_; }
  void SetGUIDMachine(const String& v) { guidMachine_ = v; }
  const String& GetJobName() const { return jobName_; }
  void SetJobName(const String& v) { jobName_ = v; }
  const String& GetDisplayName() const { return displayName_; }
  void SetDisplayName(const String& v) { displayName_ = v; }
  const String& GetHostName() const { return hostName_; }
  void SetHostName(const String& v) { hostName_ = v; }
  uint32_t GetExecutions() const { return executions_; }
  void SetExecutions(uint32_t v) { executions_ = v; }
  CTime GetStartTime() const { return start_; }
  void SetStartTime(CTime v) { start_ = v; }
  CTime GetNextExecutionTime() const { return next_; }
  void SetNextExecutionTime(CTime v) { next_ = v; }
  CTime GetLastAction() const { return lastAction_; }
  void SetLastAction(CTime v) { lastAction_ = v; }
  const String& GetStateString() const { return stateString_; }
  void SetStateString(const String& v) { stateString_ = v; }
  uint32_t GetRetried() const { return retried_; }
  void SetRetried(uint32_t v) { retried_ = v; }
  uint32_t GetDenied() const { return denied_; }
  void SetDenied(uint32_t v) { denied_ = v; }
  uint32_t GetCustomStateType() const { return customStateType_; }
  void SetCustomStateType(uint32_t v) { customStateType_ = v; }
  CTime GetCustomStateChange() const { return customStateChange_; }
  void SetCustomStateChange(CTime v) { customStateChange_ = v; }
  const String& GetCustomStateText() const { return customStateText_; }
  void SetCustomStateText(const String& v) { customStateText_ = v; }
  uint32_t GetConditionApplies() const { return conditionApplies_; }
  void SetConditionApplies(uint32_t v) { conditionApplies_ = v; }
  uint32_t GetExecutionCountSuccess() const { return executionCountSuccess_; }
  void SetExecutionCountSuccess(uint32_t v) { executionCountSuccess_ = v; }
  uint32_t GetExecutionCountError() const { return executionCountError_; }
  void SetExecutionCountError(uint32_t v) { executionCountError_ = v; }
  CTime GetCreated() const { return created_; }
  void SetCreated(CTime v) { created_ = v; }
  uint32_t GetPriority() const { return priority_; }
  void SetPriority(uint32_t v) { priority_ = v; }
  OVO::Properties& GetProperties() { return properties_; }
  const OVO::Properties& GetProperties() const { return properties_; }

  // The state part of the record.
  EState GetState() const { return state_.GetState(); }
  bool IsState(EState state) const { return state_.IsState(state); }
  // The whole record, consent and priority state included.
  const OVO::JobState& GetStateObj() const { return state_; }
  void SetStateObj(const OVO::JobState& state) { state_ = state; }
  // Stores `state`, then clears the bits of `flagsToClear` and sets those of
  // `flagsToSet` (bits above the low 8 only).
  void SetState(EState state, uint32_t flagsToSet = 0, uint32_t flagsToClear = 0);
  bool HasStateFlag(uint32_t flag) const { return state_.HasFlag(flag); }
  void SetStateFlag(uint32_t flag, bool on) { state_.SetFlags(flag, on); }

  // State 7.
  bool IsFinished() const { return state_.IsState(OVO::JobState::eStateFinished); }
  // State 1, 2 or 6, or finished.
  bool CanStart() const;
  // Not finished, or finished with flag 0x400 or 0x200.
  bool CanStop() const;
  // Flag 0x100 outside state 5, or finished with flag 0x200 or 0x400.
  bool CanResume() const;
  // CanStart() with flag 0x200, or flag 0x400.
  bool CanRetry() const;

  // Property "Initiator", "UNKNOWN" when absent.
  String GetInitiator() const;
  // Set the properties "Initiator" and "Progress"; empty values are kept.
  void SetInitiator(const String& initiator);
  void SetProgressProperty(const String& progress);

  // "Start" as "%d.%m.%Y %H:%M:%S" in local time, put into string resource
  // 7099 ("Active since %s"). Throws std::invalid_argument for a time the
  // calendar conversion refuses (negative, or after the year 3000).
  String GetActiveSinceText() const;

 private:
  void AppendFields(String& out) const;

  String guidJob_;
  String guidMachine_;
  String jobName_;
  String displayName_;
  String hostName_;
  uint32_t executions_ = 0;
  CTime start_ = 0;
  CTime next_ = 0;
  CTime lastAction_ = 0;
  OVO::JobState state_;
  String stateString_;
  uint32_t retried_ = 0;
  uint32_t denied_ = 0;
  uint32_t customStateType_ = 0;
  CTime customStateChange_ = 0;
  String customStateText_;
  uint32_t conditionApplies_ = 1;
  uint32_t executionCountSuccess_ = 0;
  uint32_t executionCountError_ = 0;
  CTime created_ = 0;
  uint32_t priority_ = 0;
  OVO::Properties properties_;
};

// Owns its targets: the destructor and DeleteObjects destroy them. Packs as
// "JobTargetList" holding each target's text in list order. Unpack forgets
// the current pointers without destroying them (callers that own them call
// DeleteObjects first) and appends one new target per "JobTarget" child
// (tag case ignored); other children are skipped. Clear destroys the targets.
class OVOJobTargetList : public OVOOwningList<OVOJobTargetList, OVOJobTarget> {
 public:
  explicit OVOJobTargetList(const String& text = String());

  // The first target whose "GUIDJob" or "JobName" equals `jobKey` (any when
  // `jobKey` is empty) and whose "GUIDMachine" or "HostName" equals
  // `clientKey` (any when empty), case respected; its position in `pos` when
  // given. Null if none.
  OVOJobTarget* Find(const String& jobKey, const String& clientKey, POSITION* pos = nullptr) const;
  // Targets whose "GUIDJob" or "JobName" equals `key`, case respected.
  int CountJobTargetsForJob(const String& key) const;
  // True if any target's priority state is 1 (continuation).
  bool ContainsContinuationJob() const;
  // One line for logs: "N target(s)" and, per target, "[job -> machine
  // state S flags 0xF]", where job and machine are the names when set, else
  // the GUIDs.
  String ToString() const;

 private:
  friend class OVOOwningList<OVOJobTargetList, OVOJobTarget>;
  static std::unique_ptr<OVOJobTarget> ReadElement(OFLXMLParser& parser, OFLXMLParser& child);
};

}  // namespace orvacmn

#endif  // ORVACMN_JOBS_JOB_TARGET_H_
