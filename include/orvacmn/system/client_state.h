// OVOClientState: the small, frequently changing status record of one
// client, kept apart from the client record: what its agent is doing, which
// job and step it works on and since when, its custom state, and its first
// and last error. Partial updates travel as a state text whose "Changes" bit
// set names the groups of fields it carries (Update).
//
// Packed as "ClientState" (whole-object style), every field always, in the
// fixed order "GUID", "MachineDisplayName", "ClientAgentState", "Activity",
// "LastChange", "JobState", "CurrentJob", "TimeJobStart", "CurrentStep",
// "TimeStepStart", "CustomStateTye", "CustomState", "CustomStateChange",
// "FirstError", "LastError", "Changes".
//
// The custom-state type is written as "CustomStateTye" but Unpack reads
// "CustomStateType", as the peers of this record do, so Unpack does not read
// back the type that Pack wrote. Every other reader of ours accepts both
// names: UnpackStored, Update and ReadCustomStateType.
//
// Objects carry no locks; use each from one thread at a time.
#ifndef ORVACMN_SYSTEM_CLIENT_STATE_H_
#define ORVACMN_SYSTEM_CLIENT_STATE_H_

#include <cstdint>
#include <optional>
#include <string_view>

#include "orvacmn/common/types.h"
#include "orvacmn/jobs/job_state.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVOClientState : public OVOXMLSupport {
 public:
  // The groups of fields that Update takes over, as bits of "Changes".
  enum EChange : uint32_t {
    eChangeAgentState = 0x01,   // "ClientAgentState"
    eChangeActivity = 0x02,     // "Activity"
    eChangeJobState = 0x04,     // "JobState"
    eChangeJob = 0x08,          // "CurrentJob", "TimeJobStart"
    eChangeStep = 0x10,         // "CurrentStep", "TimeStepStart"
    eChangeCustomState = 0x20,  // custom-state type, "CustomState", "CustomStateChange"
    eChangeLastError = 0x40,    // "LastError"
  };
  static constexpr int32_t kNoAgentState = -1;

  // Object name "ClientState"; the defaults, then Unpack(text) when it is not
  // empty.
  explicit OVOClientState(const String& text = String());
  OVOClientState(const OVOClientState&) = default;
  OVOClientState& operator=(const OVOClientState&) = default;
  ~OVOClientState() override = default;

  String Pack() const override;
  using OVOXMLSupport::Unpack;
  // Clears; 1 when the text's root is "ClientState" (its children read in
  // any order, tags without regard to case), else 0 with the state cleared.
  // Reads the custom-state type from "CustomStateType" only.
  int Unpack(const String& text) override;
  int UnpackLoaded(OFLXMLParser& loaded) override;
  // Unpack, then the custom-state type from whichever of "CustomStateType"
  // and "CustomStateTye" comes last: for stored states and states packed by
  // this library.
  int UnpackStored(const String& text);
  // "ClientAgentState" -1, every other field 0 or empty, "Changes" 0.
  void Clear() override;

  // Applies a partial state: the groups of fields whose bits are set in the
  // text's "Changes" (read as UnpackStored reads) are taken over; then this
  // state's "Changes" becomes the OR of its own and the text's. "GUID",
  // "MachineDisplayName", "LastChange" and "FirstError" are never taken. A
  // text that is no state changes nothing; returns what UnpackStored did.
  int Update(const String& text);
  // The same for a state at hand.
  void Update(const OVOClientState& incoming);

  // Every field equal.
  bool operator==(const OVOClientState& other) const;

  const String& GetGuid() const { return guid_; }
  void SetGuid(const String& v) { guid_ = v; }
  const String& GetMachineDisplayName() const { return machineDisplayName_; }
  void SetMachineDisplayName(const String& v) { machineDisplayName_ = v; }
  int32_t GetClientAgentState() const { return clientAgentState_; }
  void SetClientAgentState(int32_t v) { clientAgentState_ = v; }
  const String& GetActivity() const { return activity_; }
  void SetActivity(const String& v) { activity_ = v; }
  int64_t GetLastChange() const { return lastChange_; }
  void SetLastChange(int64_t v) { lastChange_ = v; }
  const OVO::JobState& GetJobState() const { return jobState_; }
  void SetJobState(const OVO::JobState& v) { jobState_ = v; }
  const String& GetCurrentJob() const { return currentJob_; }
  void SetCurrentJob(const String& v) { currentJob_ = v; }
  int64_t GetTimeJobStart() const { return timeJobStart_; }
  void SetTimeJobStart(int64_t v) { timeJobStart_ = v; }
  const String& GetCurrentStep() const { return currentStep_; }
  void SetCurrentStep(const String& v) { currentStep_ = v; }
  int64_t GetTimeStepStart() const { return timeStepStart_; }
  void SetTimeStepStart(int64_t v) { timeStepStart_ = v; }
  uint32_t GetCustomStateType() const { return customStateType_; }
  void SetCustomStateType(uint32_t v) { customStateType_ = v; }
  const String& GetCustomState() const { return customState_; }
  void SetCustomState(const String& v) { customState_ = v; }
  int64_t GetCustomStateChange() const { return customStateChange_; }
  void SetCustomStateChange(int64_t v) { customStateChange_ = v; }
  const String& GetFirstError() const { return firstError_; }
  void SetFirstError(const String& v) { firstError_ = v; }
  const String& GetLastError() const { return lastError_; }
  void SetLastError(const String& v) { lastError_ = v; }
  uint32_t GetChanges() const { return changes_; }
  void SetChanges(uint32_t v) { changes_ = v; }

 private:
  String guid_;
  String machineDisplayName_;
  int32_t clientAgentState_ = kNoAgentState;
  String activity_;
  int64_t lastChange_ = 0;
  OVO::JobState jobState_;
  String currentJob_;
  int64_t timeJobStart_ = 0;
  String currentStep_;
  int64_t timeStepStart_ = 0;
  uint32_t customStateType_ = 0;
  String customState_;
  int64_t customStateChange_ = 0;
  String firstError_;
  String lastError_;
  uint32_t changes_ = 0;
};

// The custom-state type of a packed client state, under either element name
// ("CustomStateType" as peers write it, "CustomStateTye" as this library
// writes it; the later one in the text wins); nothing when the text is no
// client state or names no type. For stores and other readers of stored
// states.
std::optional<uint32_t> ReadCustomStateType(std::string_view stateText);

}  // namespace orvacmn

#endif  // ORVACMN_SYSTEM_CLIENT_STATE_H_
