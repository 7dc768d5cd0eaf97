// OVOJob: the unit of work the server assigns to managed computers: its
// steps, its targets with their per-computer state, a schedule interval, a
// validity window, a priority, job variables, properties and access rights.
// OVOJobList: an owning list of jobs with its own text form.
//
// A job packs as "Job" (whole-object style), its fields in a fixed order:
// the Strings, "Validity" as the window's text, the numbers, "State" and
// "DBState", the nested step list, property bag, variables and rights, one
// "JobTarget" per target directly inside "Job", then "CachedTargetsCRC",
// "BootClientSteps", "SaveOptions" and "UserConsentRequired" (written only
// when set; its mere presence sets it on unpack). Unpack(const String&)
// clears first; a missing node keeps its default.
//
// "State" and "DBState" are read the C runtime's signed way and so are
// written as their signed 32-bit text, which reads back as written.
//
// Schedules are evaluated in the local time of the process (TZ). Operations
// that depend on the current time have a form taking `now` explicitly, for
// callers (and tests) that run on their own clock.
//
// Objects carry no locks; use each from one thread at a time.
#ifndef ORVACMN_JOBS_JOB_H_
#define ORVACMN_JOBS_JOB_H_

#include <cstdint>
#include <memory>

#include "ofl/validity_time.h"
#include "orvacmn/common/types.h"
#include "orvacmn/jobs/job_state.h"
#include "orvacmn/jobs/job_step_list.h"
#include "orvacmn/jobs/job_target.h"
#include "orvacmn/objects/object_rights.h"
#include "orvacmn/objects/owning_list.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"
#include "orvacmn/variables/vars.h"

namespace orvacmn {

class COVKVars;
class OVOJobList;

class OVOJob : public OVOXMLSupport {
 public:
  using EState = OVO::JobState::EState;

  // Option bits the library itself tests.
  static constexpr uint32_t kOptionBackground = 0x4;  // lower priority; new targets get flag 0x8000
  static constexpr uint32_t kOptionInputMask = 0x1800000;

  // Priorities SetPriorityFromSteps gives.
  static constexpr uint32_t kPriorityBootClient = 900;
  static constexpr uint32_t kPriorityNormal = 500;
  static constexpr uint32_t kPriorityBackground = 400;

  // Scope of the job variables.
  static constexpr const char* kVarsScope = "__JOB__";

  // How far ahead CalcNextExecutionTime looks: 730 days.
  static constexpr CTime kScheduleHorizon = 63072000;

  // Object name "Job"; the defaults, then Unpack(text) when it is not empty.
  explicit OVOJob(const String& text = String());
  // The job owns its steps and targets.
  OVOJob(const OVOJob&) = delete;
  OVOJob& operator=(const OVOJob&) = delete;
  ~OVOJob() override;

  String Pack() const override;
  void AppendPack(String& out) const override;
  using OVOXMLSupport::Unpack;
  // 1 when the text holds a "Job" root, else 0; clears first.
  int Unpack(const String& text) override;
  // The same on the element a loaded parser holds, read in place.
  int UnpackLoaded(OFLXMLParser& loaded) override;
  // Priority 500, Count 1, State 1, CachedTargetsCRC 0xFFFFFFFF, variables
  // scope "__JOB__"; destroys steps and targets; everything else 0 or empty.
  void Clear() override;

  const String& GetGUID() const { return guid_; }
  void SetGUID(const String& v) { guid_ = v; }
  const String& GetOrgUnit() const { return orgUnit_; }
  void SetOrgUnit(const String& v) { orgUnit_ = v; }
  const String& GetName() const { return name_; }
  void SetName(const String& v) { name_ = v; }
  const String& GetCreator() const { return creator_; }
  void SetCreator(const String& v) { creator_ = v; }
  const String& GetComment() const { return comment_; }
  void SetComment(const String& v) { comment_ = v; }
  const String& GetUnlockSequence() const { return unlockSequence_; }
  void SetUnlockSequence(const String& v) { unlockSequence_ = v; }
  OFLValidityTimeString& GetValidity() { return validity_; }
  const OFLValidityTimeString& GetValidity() const { return validity_; }
  uint32_t GetPriority() const { return priority_; }
  void SetPriority(uint32_t v) { priority_ = v; }
  uint32_t GetCount() const { return count_; }
  void SetCount(uint32_t v) { count_ = v; }
  uint32_t GetMaxConcurrentTargets() const { return maxConcurrentTargets_; }
  void SetMaxConcurrentTargets(uint32_t v) { maxConcurrentTargets_ = v; }
  uint32_t GetJobExecutionTimeout() const { return jobExecutionTimeout_; }
  void SetJobExecutionTimeout(uint32_t v) { jobExecutionTimeout_ = v; }
  int64_t GetMinBandwidth() const { return minBandwidth_; }
  void SetMinBandwidth(int64_t v) { minBandwidth_ = v; }
  // The packed schedule interval (OVOHelper::ExpandInterval).
  uint32_t GetInterval() const { return interval_; }
  void SetInterval(uint32_t v) { interval_ = v; }
  uint32_t GetOptions() const { return options_; }
  void SetOptions(uint32_t v) { options_ = v; }
  uint32_t GetCachedTargetsCRC() const { return cachedTargetsCRC_; }
  void SetCachedTargetsCRC(uint32_t v) { cachedTargetsCRC_ = v; }
  uint32_t GetBootClientSteps() const { return bootClientSteps_; }
  void SetBootClientSteps(uint32_t v) { bootClientSteps_ = v; }
  uint32_t GetSaveOptions() const { return saveOptions_; }
  void SetSaveOptions(uint32_t v) { saveOptions_ = v; }
  bool GetUserConsentRequired() const { return userConsentRequired_; }
  void SetUserConsentRequired(bool v) { userConsentRequired_ = v; }

  OVOJobStepList& GetJobSteps() { return steps_; }
  const OVOJobStepList& GetJobSteps() const { return steps_; }
  OVO::Properties& GetProperties() { return properties_; }
  const OVO::Properties& GetProperties() const { return properties_; }
  OVOVars& GetVars() { return vars_; }
  const OVOVars& GetVars() const { return vars_; }
  OVOObjectRights& GetObjectRights() { return rights_; }
  const OVOObjectRights& GetObjectRights() const { return rights_; }
  // The targets; the job owns them.
  OVOJobTargetList& GetJobTargets() { return targets_; }
  const OVOJobTargetList& GetJobTargets() const { return targets_; }

  // The "State" field.
  EState GetState() const { return state_; }
  void SetState(EState state) { state_ = state; }
  bool IsState(EState state) const { return state_ == state; }
  // State 7.
  bool IsFinished() const { return state_ == OVO::JobState::eStateFinished; }
  // The "DBState" record; IsDBState compares its state part.
  const OVO::JobState& GetDBState() const { return dbState_; }
  void SetDBState(const OVO::JobState& state) { dbState_ = state; }
  bool IsDBState(EState state) const { return dbState_.IsState(state); }

  // True when any bit of `mask` is set in "Options".
  bool GetOption(uint32_t mask) const { return (options_ & mask) != 0; }
  void SetOption(uint32_t mask, bool on) { options_ = on ? (options_ | mask) : (options_ & ~mask); }
  // Options AND 0x1800000.
  uint32_t GetOptionInput() const { return options_ & kOptionInputMask; }

  // Whether the validity window holds the current time (or `now`).
  bool IsInTimeWindow() const;
  bool IsInTimeWindow(CTime now) const { return validity_.IsValid(now); }

  // 900 when a step deploys an operating system (10), restores a disaster
  // backup (153) or wipes a disk (145); otherwise 400 with option 0x4, else 500.
  void SetPriorityFromSteps();

  // A length-packed String holding the GUID as its only entry.
  String GetKey() const;

  // The next run at or after now (from the last run `from`, 0 for none), in
  // seconds since 1970, or -1 when there is none within the validity window
  // and the next 730 days. Candidates are laid out from the interval's time
  // of day (local time) or from `from` / now, steps being added as seconds;
  // the first candidate that the interval kind accepts in the local calendar
  // wins. Linear in the candidates looked at, which the horizon bounds.
  CTime CalcNextExecutionTime(CTime from) const;
  CTime CalcNextExecutionTime(CTime from, CTime now) const;

  // Creates, appends and returns a new target for the client: job GUID and
  // name, the client's GUID, host and display name, the next run time,
  // state 2 inside the validity window (else 1), the initiator and, with
  // option 0x4, flag 0x8000. Its position goes to `pos` when given. The form
  // with `now` also takes it as the target's creation time.
  OVOJobTarget* AssignClient(const String& clientGuid, const String& hostName, const String& displayName,
                             const String& initiator, POSITION* pos = nullptr);
  OVOJobTarget* AssignClient(const String& clientGuid, const String& hostName, const String& displayName,
                             const String& initiator, POSITION* pos, CTime now);
  // Appends one target per entry of a length-packed String of packed target
  // texts; a malformed String adds nothing.
  void AddTargets(const String& packed);
  // 0 without targets; else the CRC-32 of the targets' packed texts in order.
  uint32_t GetTargetsCRC() const;
  // The first target whose computer GUID (display name) equals the argument,
  // case ignored, or null; an empty display name finds nothing.
  OVOJobTarget* FindJobTargetByGUID(const String& guid, POSITION* pos = nullptr) const;
  OVOJobTarget* FindJobTargetByDisplayName(const String& name, POSITION* pos = nullptr) const;
  // Destroys every target.
  void DeleteListJobTargets() { targets_.DeleteObjects(); }

  // "Job.Name" and "Job.Creator"; with `withJobVars` also the job variables
  // under their full names.
  void PopulateVars(COVKVars& vars, bool withJobVars) const;

 private:
  void AppendFields(String& out) const;

  String guid_;
  String orgUnit_;
  String name_;
  String creator_;
  String comment_;
  String unlockSequence_;
  OFLValidityTimeString validity_;
  uint32_t priority_ = kPriorityNormal;
  uint32_t count_ = 1;
  uint32_t maxConcurrentTargets_ = 0;
  uint32_t jobExecutionTimeout_ = 0;
  int64_t minBandwidth_ = 0;
  uint32_t interval_ = 0;
  uint32_t options_ = 0;
  EState state_ = OVO::JobState::eStateWaiting;
  OVO::JobState dbState_;
  OVOJobStepList steps_;
  OVO::Properties properties_;
  OVOVars vars_;
  OVOObjectRights rights_;
  OVOJobTargetList targets_;
  uint32_t cachedTargetsCRC_ = 0xFFFFFFFF;
  uint32_t bootClientSteps_ = 0;
  uint32_t saveOptions_ = 0;
  bool userConsentRequired_ = false;
};

// Owns its jobs: the destructor and DeleteObjects destroy them. Packs as
// "JobList" holding each job's text in list order. Unpack forgets the current
// pointers without destroying them (callers that own them call DeleteObjects
// first) and appends one new job per "Job" child (tag case ignored); other
// children are skipped. Clear destroys the jobs.
class OVOJobList : public OVOOwningList<OVOJobList, OVOJob> {
 public:
  enum ECompareType : uint32_t {
    eCompareName = 0,
    eComparePriority = 1,
  };

  explicit OVOJobList(const String& text = String());

  // The first job whose GUID, or (with `alsoByName`) whose name, equals
  // `text`, case ignored; its position in `pos` when given. Null if none.
  OVOJob* FindJob(const String& text, bool alsoByName, POSITION* pos = nullptr) const;

  // Type 0: b's name compared with a's, case ignored. Type 1: -1 when a has
  // the higher priority, 1 when the lower; on equal priorities a job with
  // boot-client steps before one without. Other types (and null jobs): 0.
  static int Compare(const OVOJob* a, const OVOJob* b, ECompareType type);
  // Types 0 and 1 only, from 2 jobs on. Ascending puts a before b when
  // Compare(a, b) is positive, descending when it is negative; equal jobs
  // keep their order, null elements go to the end.
  void Sort(ECompareType type, bool ascending);

 private:
  friend class OVOOwningList<OVOJobList, OVOJob>;
  static std::unique_ptr<OVOJob> ReadElement(OFLXMLParser& parser, OFLXMLParser& child);
};

}  // namespace orvacmn

#endif  // ORVACMN_JOBS_JOB_H_
