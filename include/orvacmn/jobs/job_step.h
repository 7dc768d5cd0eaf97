// OVOJobStep: one action of a job for the agent, the boot client or the
// server; the base of every step kind.
//
// A step packs as "<JobStep type="N">" (whole-object style): "GUID",
// "VirtualStep", "Job", "Client", "Precondition", "Sequence", "State",
// "StateString", "Started", "LastChange", "Options", the property bag, then
// "StepData" holding the kind's own nodes, "InsertAfter", "UserContext" and,
// only once a priority was set, "ThreadPriority". Unpack(const String&)
// clears (the type becomes 0), reads the "type" attribute into the type, and
// reads the children with their tags compared without regard to case;
// unknown ones are skipped. A kind constructed from a text stores its own
// type afterwards, whatever the attribute said.
//
// State: the low 8 bits are the state (7 finished), the bits above are flags
// (0x200 and 0x20000000 end the job with a warning, 0x400 failed).
//
// Objects carry no locks; use each from one thread at a time. The thread
// priority operations act on the thread they are given or on the caller.
#ifndef ORVACMN_JOBS_JOB_STEP_H_
#define ORVACMN_JOBS_JOB_STEP_H_

#include <cstdint>

#include "ofl/thread_priority.h"
#include "orvacmn/common/types.h"
#include "orvacmn/jobs/job_state.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVOJobStepList;
struct JobStepAccess;

// The state of a running step as the console shows it; kinds that report one
// own it. Not packed.
class OVOJobStepStateDescription {
 public:
  const String& GetText() const { return text_; }
  void SetText(const String& text) { text_ = text; }
  // Progress in percent, 0 to 100.
  uint32_t GetProgress() const { return progress_; }
  void SetProgress(uint32_t progress) { progress_ = progress > 100 ? 100 : progress; }

 private:
  String text_;
  uint32_t progress_ = 0;
};

class OVOJobStep : public OVOXMLSupport {
 public:
  enum EStepType : uint32_t {
    eStepTypeNone = 0,
    // Virtual steps (1 to 99): expanded into other steps before they run.
    eDeployOS = 10,
    ePerformPatchUpdate = 11,
    eInstallSoftware = 12,
    ePerformManagedSoftwareUpdate = 13,
    eOSCloningBackup = 14,
    eTurnOnBitLocker = 15,
    eRemoveMicrosoftUpdates = 16,
    eInstallApplication = 110,
    eUninstallApplication = 111,
    ePerformInventory = 120,
    ePerformInventoryAlt = 121,
    eDeterminePatchState = 130,
    eDetermineManagedSoftwareState = 133,
    eBootImage = 140,
    eInstallOS = 142,
    eOSCloningBackupImaging = 143,
    eOSCloningBackupSysprep = 144,
    eWipeDisk = 145,
    ePreOSScript = 146,
    ePersonalBackup = 150,
    ePersonalRestore = 151,
    eDesasterBackup = 152,
    eDesasterRestore = 153,
    eLegacyMetaFrame1 = 161,
    eLegacyMetaFrame2 = 162,
    eLegacyMetaFrame3 = 163,
    eLegacyMetaFrame4 = 164,
    eApplyEnergyPolicy = 170,
    eServerSideAction = 180,
    eComplianceScan = 190,
    eControlVirtualMachine = 200,
    eCreateVMFromProfile = 201,
    eNetworkScan = 210,
    eNetworkScanAlt = 211,
    eEncryptOSDrive = 214,
    eWaitForOSDriveEncryption = 215,
    eEncryptDataDrives = 216,
    eTurnOffBitLocker = 217,
    eCheckEncryptionAndSetPIN = 218,
    eTurnOnBitLockerNetworkUnlock = 219,
    eTurnOffBitLockerNetworkUnlock = 220,
    eMicrosoftUpdateInventory = 231,
    eUpdateAntivirusDefinitions = 233,
    eRunMicrosoftDefenderScan = 234,
    eMicrosoftUpdateUninstallation = 235,
  };
  static constexpr uint32_t kFirstKnownType = 10;
  static constexpr uint32_t kLastKnownType = 235;

  // Where a step runs.
  enum EStepRunLocation : uint32_t {
    eRunNowhere = 0,      // a virtual step once it has been expanded
    eRunOnAgent = 1,
    eRunOnBootClient = 2,
    eRunOnServer = 3,
  };

  enum EThreadPriority : int32_t {
    eThreadPriorityNormal = 0,
    eThreadPriorityBelowNormal = 1,
    eThreadPriorityAboveNormal = 2,
  };

  // Option bits.
  static constexpr uint32_t kOptionSchedulerCanResume = 0x2;
  static constexpr uint32_t kOptionSkip = 0x4000;
  static constexpr uint32_t kOptionSoftwareInBootClient = 0x20000;     // type 12
  static constexpr uint32_t kOptionApplicationInBootClient = 0x40000;  // type 110
  // State flags the step list evaluates.
  static constexpr uint32_t kFlagWarning = 0x200;
  static constexpr uint32_t kFlagFailed = 0x400;
  static constexpr uint32_t kFlagWarningAlt = 0x20000000;
  static constexpr uint32_t kFlagNotCounted = 0x80000000;
  static constexpr uint32_t kStateFinished = 7;

  // Statuses of the thread priority operations.
  static constexpr uint32_t kErrorInvalidHandle = 6;
  static constexpr uint32_t kErrorInvalidThreadId = 1444;
  // The handle that stands for the calling thread.
  static constexpr OFL::Thread::Handle kCurrentThread = OFL::Thread::kCurrentThread;

  static constexpr char kPropertyDependencies[] = "Dependencies";

  // Base fields as after Clear, with `type` stored.
  explicit OVOJobStep(EStepType type);
  // Copies every packed field; an applied thread priority stays with the
  // source.
  OVOJobStep(const OVOJobStep&) = default;
  OVOJobStep& operator=(const OVOJobStep&) = default;
  ~OVOJobStep() override = default;

  String Pack() const override;
  void AppendPack(String& out) const override;
  using OVOXMLSupport::Unpack;
  // 1 when the text holds a "JobStep" root, else 0 (the step stays cleared).
  int Unpack(const String& text) override;
  // Base fields to their defaults, the type to 0, the priority to not set,
  // and the kind's fields through ClearStep.
  void Clear() override;

  // The kind's own fields to their defaults.
  virtual void ClearStep() = 0;
  // Reads the kind's fields from a "StepData" text (after ClearStep); 1 when
  // the root "StepData" was found.
  virtual int UnpackStepData(const String& text);
  // The kind's own nodes, as written inside "StepData".
  virtual String PackStepData() const = 0;
  // One line for display.
  virtual String GetStepDescription() const = 0;
  // The application the step installs or removes; empty in the base.
  virtual String GetAppDisplayName() const { return String(); }
  // True when the step runs in the local install user's context; base false.
  virtual bool IsContextLocalInstallUser() const { return false; }
  // The state text kept for display, or null (base).
  virtual OVOJobStepStateDescription* GetStepStateDescriptionPtr() { return nullptr; }
  // Removes what the agent does not need; base does nothing.
  virtual void CleanForOVATransmit() {}
  // Whether the step may run in the boot client. Base: the run location
  // (with `expanded`) is 2; `bootClientAllowed` matters to some kinds.
  virtual bool MayRunOnBootclient(bool bootClientAllowed, bool expanded) const;
  // False for virtual steps; else whether option 0x2 is set.
  virtual bool SchedulerCanResumeJobWhenStepIsCompleted() const;

  uint32_t GetType() const { return d_.type; }
  void SetType(uint32_t type) { d_.type = type; }

  const String& GetGUID() const { return d_.guid; }
  void SetGUID(const String& v) { d_.guid = v; }
  const String& GetVirtualStep() const { return d_.virtualStep; }
  void SetVirtualStep(const String& v) { d_.virtualStep = v; }
  const String& GetJobGUID() const { return d_.job; }
  void SetJobGUID(const String& v) { d_.job = v; }
  const String& GetClientGUID() const { return d_.client; }
  void SetClientGUID(const String& v) { d_.client = v; }
  const String& GetPrecondition() const { return d_.precondition; }
  void SetPrecondition(const String& v) { d_.precondition = v; }
  uint32_t GetSequence() const { return d_.sequence; }
  void SetSequence(uint32_t v) { d_.sequence = v; }
  const String& GetStateString() const { return d_.stateString; }
  void SetStateString(const String& v) { d_.stateString = v; }
  CTime GetStarted() const { return d_.started; }
  void SetStarted(CTime v) { d_.started = v; }
  CTime GetLastChange() const { return d_.lastChange; }
  void SetLastChange(CTime v) { d_.lastChange = v; }
  uint32_t GetOptions() const { return d_.options; }
  void SetOptions(uint32_t v) { d_.options = v; }
  const String& GetInsertAfter() const { return d_.insertAfter; }
  void SetInsertAfter(const String& v) { d_.insertAfter = v; }
  const String& GetUserContext() const { return d_.userContext; }
  void SetUserContext(const String& v) { d_.userContext = v; }
  OVO::Properties& GetProperties() { return properties_; }
  const OVO::Properties& GetProperties() const { return properties_; }

  // The low 8 bits of "State".
  uint32_t GetState() const { return d_.state.GetState(); }
  // The whole "State" value, flags included.
  uint32_t GetStateValue() const { return d_.state.ToDword(); }
  void SetStateValue(uint32_t v) { d_.state.SetCleanStates(v); }
  const OVO::JobState& GetStateObj() const { return d_.state; }
  void SetStateObj(const OVO::JobState& v) { d_.state = v; }
  bool HasStateFlag(uint32_t flag) const { return (d_.state.GetFlags() & flag) != 0; }
  void SetStateFlag(uint32_t flag, bool on) { d_.state.SetFlags(flag, on); }
  bool IsFinished() const { return GetState() == kStateFinished; }

  // True when any bit of `mask` is set.
  bool GetOption(uint32_t mask) const { return (d_.options & mask) != 0; }
  void SetOption(uint32_t mask, bool on) { d_.options = on ? (d_.options | mask) : (d_.options & ~mask); }

  // Type 1 to 99.
  bool IsVirtualStep() const { return d_.type >= 1 && d_.type <= 99; }
  // Virtual, or option 0x4000 set, or the whole "State" value is 7.
  bool ShouldSkipJobStep() const;
  // Where the step runs, from its kind row (the agent for a type without a
  // kind); `expanded` asks for virtual steps once expanded.
  EStepRunLocation GetRunLocation(bool expanded) const;

  // The property "Dependencies": ";"-separated entries, each a GUID
  // optionally followed by "," and a condition. Empty when absent.
  String GetDependencies() const;
  // Appends `guid` (a whole entry, condition included) unless the list holds
  // it already; entries compare whole, case ignored.
  void AddDependency(const String& guid);
  void SetDependencies(const String& text);

  // The GUID of the step packed in `text` (made by the factory); empty when
  // the text holds no step of a known type.
  static String GetGUIDFromObject(const String& text);

  // Stores the priority (EThreadPriority) and marks it set; returns 0.
  int SetThreadPriority(int32_t priority);
  int32_t GetThreadPriority() const { return d_.threadPriority; }
  bool HasThreadPriority() const { return d_.threadPrioritySet; }
  // Raises or lowers `thread` (kCurrentThread: the caller) to the set
  // priority. 0 when no priority is set or on success; 6 when a later call
  // names another thread than the first; else the system's error.
  uint32_t ApplyThreadPriority(OFL::Thread::Handle thread);
  // Restores the priority the thread had before the first apply: 1444 when
  // none was applied or the caller is not that thread; else 0 or the
  // system's error. The thread is forgotten either way.
  uint32_t ResetThreadPriority();

 protected:
  // Reads the children of the "StepData" element on which the parser's main
  // cursor stands (ClearStep has run).
  virtual void ReadStepData(OFLXMLParser& parser) = 0;
  // The end of a kind's construction, in its constructor: the kind's
  // defaults, then `text` unpacked when not empty, then `ownType` stored.
  void InitKind(const String& text, uint32_t ownType);

 private:
  friend class OVOJobStepList;
  friend struct JobStepAccess;
  // Reads the step from the element on which the parser's main cursor
  // stands; the step has been cleared.
  void ReadElement(OFLXMLParser& parser);
  void AppendFields(String& out) const;

  // The thread while a priority is applied, and its earlier level. Not
  // copied: it belongs to the object that applied it.
  struct AppliedThread {
    bool applied = false;
    OFL::Thread::Handle thread = 0;
    int previous = 0;
    AppliedThread() = default;
    AppliedThread(const AppliedThread&) {}
    AppliedThread& operator=(const AppliedThread&) { return *this; }
  };

  // The packed base fields but the property bag, at their defaults as
  // declared here; Clear resets them by assigning a fresh one.
  struct Packed {
    uint32_t type = 0;
    String guid;
    String virtualStep;
    String job;
    String client;
    String precondition;
    uint32_t sequence = 0;
    OVO::JobState state;
    String stateString;
    CTime started = 0;
    CTime lastChange = 0;
    uint32_t options = 0;
    String insertAfter;
    String userContext;
    int32_t threadPriority = 0;
    bool threadPrioritySet = false;  // "ThreadPriority" is packed only when set
  };

  Packed d_;
  OVO::Properties properties_;
  AppliedThread applied_;
};

}  // namespace orvacmn

#endif  // ORVACMN_JOBS_JOB_STEP_H_
