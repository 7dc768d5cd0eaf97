#include "orvacmn/jobs/job_target.h"

#include <cstdio>
#include <ctime>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "ofl/format.h"
#include "ofl/local_time.h"
#include "ofl/tag_sequence.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

using JS = OVO::JobState;

constexpr char kTagJobTarget[] = "JobTarget";
constexpr char kPropInitiator[] = "Initiator";
constexpr char kPropProgress[] = "Progress";
constexpr char kUnknownInitiator[] = "UNKNOWN";
constexpr uint32_t kResActiveSince = 7099;
// The last second the platform's calendar conversion accepts: 3000-12-31
// 23:59:59 UTC.
constexpr CTime kLastCalendarTime = 32535215999;

// Field tags in packing order; the index is the field's number minus 1.
enum Field {
  kGUIDJob, kGUIDMachine, kJobName, kDisplayName, kHostName, kExecutions, kStart, kNext, kLastAction, kState,
  kStateString, kRetried, kDenied, kCustomStateType, kCustomStateChange, kCustomStateText, kConditionApplies,
  kExecutionCountSuccess, kExecutionCountError, kCreated, kPriority, kUserConsentState, kPriorityState,
  kProperties, kFieldCount
};
constexpr std::string_view kTags[] = {
    "GUIDJob", "GUIDMachine", "JobName", "DisplayName", "HostName", "Executions", "Start", "Next",
    "LastAction", "State", "StateString", "Retried", "Denied", "CustomStateType", "CustomStateChange",
    "CustomStateText", "ConditionApplies", "ExecutionCountSuccess", "ExecutionCountError", "Created",
    "Priority", "UserConsentState", "PriorityState", "Properties"};
static_assert(std::size(kTags) == kFieldCount);

// The C runtime's atol and atoi on a view (they stop at the first non-digit,
// so the copy only supplies the terminating NUL).
int32_t Atol(std::string_view v) { return OFL::CRT::atol(String(v)); }

// Numbers read back with atol/atoi: written as their signed 32-bit text so
// that every value reads back as written.
void AppendSigned(String& out, std::string_view tag, uint32_t value) {
  OFLTools::AppendXMLNode(out, tag, static_cast<int32_t>(value));
}

template <class N>
void AppendIfSet(String& out, Field f, N value) {
  if (value != 0) OFLTools::AppendXMLNode(out, kTags[f], value);
}

void AppendIfSet(String& out, Field f, const String& value) {
  if (!value.empty()) OFLTools::AppendXMLNode(out, kTags[f], std::string_view(value));
}

}  // namespace

OVOJobTarget::OVOJobTarget(const String& text) : OVOXMLSupport(CatalogueEntryFor("OVOJobTarget")) {
  Clear();
  if (!text.empty()) Unpack(text);
}

void OVOJobTarget::Clear() {
  guidJob_.clear();
  guidMachine_.clear();
  jobName_.clear();
  displayName_.clear();
  hostName_.clear();
  executions_ = 0;
  start_ = next_ = lastAction_ = 0;
  state_ = JS(JS::eStateWaiting, 0);
  stateString_.clear();
  retried_ = denied_ = customStateType_ = 0;
  customStateChange_ = 0;
  customStateText_.clear();
  conditionApplies_ = 1;
  executionCountSuccess_ = executionCountError_ = 0;
  created_ = static_cast<CTime>(std::time(nullptr));
  priority_ = 0;
  properties_.Clear();
}

bool OVOJobTarget::operator==(const OVOJobTarget& o) const {
  return guidJob_ == o.guidJob_ && guidMachine_ == o.guidMachine_ && jobName_ == o.jobName_ &&
         displayName_ == o.displayName_ && hostName_ == o.hostName_ && executions_ == o.executions_ &&
         start_ == o.start_ && next_ == o.next_ && lastAction_ == o.lastAction_ && state_ == o.state_ &&
         stateString_ == o.stateString_ && retried_ == o.retried_ && denied_ == o.denied_ &&
         customStateType_ == o.customStateType_ && customStateChange_ == o.customStateChange_ &&
         customStateText_ == o.customStateText_ && conditionApplies_ == o.conditionApplies_ &&
         executionCountSuccess_ == o.executionCountSuccess_ && executionCountError_ == o.executionCountError_ &&
         created_ == o.created_ && priority_ == o.priority_ && properties_.GetMap() == o.properties_.GetMap();
}

String OVOJobTarget::Pack() const {
  String out;
  AppendFields(out);
  return out;
}

void OVOJobTarget::AppendPack(String& out) const {
  if (!IsExactly<OVOJobTarget>()) {
    out += Pack();
    return;
  }
  AppendFields(out);
}

void OVOJobTarget::AppendFields(String& out) const {
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, kTags[kGUIDJob], guidJob_);
  OFLTools::AppendXMLNode(out, kTags[kGUIDMachine], guidMachine_);
  OFLTools::AppendXMLNode(out, kTags[kJobName], jobName_);
  OFLTools::AppendXMLNode(out, kTags[kDisplayName], displayName_);
  OFLTools::AppendXMLNode(out, kTags[kHostName], hostName_);
  AppendIfSet(out, kExecutions, executions_);
  AppendIfSet(out, kStart, start_);
  AppendIfSet(out, kNext, next_);
  AppendIfSet(out, kLastAction, lastAction_);
  AppendSigned(out, kTags[kState], state_.ToDword());
  AppendIfSet(out, kStateString, stateString_);
  AppendIfSet(out, kRetried, retried_);
  AppendIfSet(out, kDenied, denied_);
  AppendIfSet(out, kCustomStateType, customStateType_);
  AppendIfSet(out, kCustomStateChange, customStateChange_);
  AppendIfSet(out, kCustomStateText, customStateText_);
  if (conditionApplies_ == 0) AppendSigned(out, kTags[kConditionApplies], 0);
  AppendIfSet(out, kExecutionCountSuccess, executionCountSuccess_);
  AppendIfSet(out, kExecutionCountError, executionCountError_);
  OFLTools::AppendXMLNode(out, kTags[kCreated], created_);
  AppendSigned(out, kTags[kPriority], priority_);
  if (state_.GetUserConsentState() != 0) AppendSigned(out, kTags[kUserConsentState], state_.GetUserConsentState());
  if (state_.GetPriorityState() != 0) AppendSigned(out, kTags[kPriorityState], state_.GetPriorityState());
  properties_.AppendPack(out);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

int OVOJobTarget::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  return UnpackLoaded(parser);
}

int OVOJobTarget::UnpackLoaded(OFLXMLParser& doc) {
  Clear();
  if (!doc.FindElem(GetObjectName().c_str())) return 0;
  OFL::TagSequence fields(kTags);
  ForEachChild(doc, [&](std::string_view tag, OFLXMLParser& p) {
    const int field = fields.Find(tag);
    if (field < 0) return;
    const std::string_view v = p.GetChildDataView();
    switch (field) {
      case kGUIDJob: guidJob_.assign(v); break;
      case kGUIDMachine: guidMachine_.assign(v); break;
      case kJobName: jobName_.assign(v); break;
      case kDisplayName: displayName_.assign(v); break;
      case kHostName: hostName_.assign(v); break;
      case kExecutions: executions_ = OFLTools::AToUL(v); break;
      case kStart: start_ = OFLTools::AToLL(v); break;
      case kNext: next_ = OFLTools::AToLL(v); break;
      case kLastAction: lastAction_ = OFLTools::AToLL(v); break;
      case kState:
        state_.SetCleanStates(static_cast<uint32_t>(Atol(v)));
        state_.SetPriorityState(JS::ePriorityNone);
        break;
      case kStateString: stateString_.assign(v); break;
      case kRetried: retried_ = OFLTools::AToUL(v); break;
      case kDenied: denied_ = OFLTools::AToUL(v); break;
      case kCustomStateType: customStateType_ = OFLTools::AToUL(v); break;
      case kCustomStateChange: customStateChange_ = OFLTools::AToLL(v); break;
      case kCustomStateText: customStateText_.assign(v); break;
      case kConditionApplies: conditionApplies_ = static_cast<uint32_t>(Atol(v)); break;
      case kExecutionCountSuccess: executionCountSuccess_ = OFLTools::AToUL(v); break;
      case kExecutionCountError: executionCountError_ = OFLTools::AToUL(v); break;
      case kCreated: created_ = OFLTools::AToLL(v); break;
      case kPriority: priority_ = static_cast<uint32_t>(Atol(v)); break;
      case kUserConsentState:
        state_.SetState(static_cast<JS::UserConsentState>(OFL::CRT::atoi(String(v))));
        break;
      case kPriorityState:
        state_.SetPriorityState(static_cast<JS::PriorityState>(OFL::CRT::atoi(String(v))));
        break;
      case kProperties:
        // As Unpack of the child's markup, read where the child stands. A
        // target list reads thousands of bags, so one parser per thread
        // serves them all (a bag holds no targets, so it is never reentered).
        thread_local OFLXMLParser nested;
        properties_.Clear();
        nested.SetDocFromChild(p);
        UnpackLoadedRoot(properties_, nested);
        break;
    }
  });
  return 1;
}

void OVOJobTarget::SetState(EState state, uint32_t flagsToSet, uint32_t flagsToClear) {
  state_.SetState(state);
  state_.SetFlags(flagsToClear, false);
  state_.SetFlags(flagsToSet, true);
}

bool OVOJobTarget::CanStart() const {
  const uint32_t s = state_.GetState();
  return s == JS::eStateWaiting || s == JS::eStateScheduled || s == JS::eStateStopped || IsFinished();
}

bool OVOJobTarget::CanStop() const {
  return !IsFinished() || HasStateFlag(JS::Flags::eFlagInterrupted) || HasStateFlag(JS::Flags::eFlagFailed);
}

bool OVOJobTarget::CanResume() const {
  if (HasStateFlag(JS::Flags::eFlagResumable) && !IsState(JS::eStateRunning)) return true;
  return IsFinished() && (HasStateFlag(JS::Flags::eFlagFailed) || HasStateFlag(JS::Flags::eFlagInterrupted));
}

bool OVOJobTarget::CanRetry() const {
  return (CanStart() && HasStateFlag(JS::Flags::eFlagFailed)) || HasStateFlag(JS::Flags::eFlagInterrupted);
}

String OVOJobTarget::GetInitiator() const {
  String initiator;
  properties_.GetProperty(kPropInitiator, initiator, kUnknownInitiator);
  return initiator;
}

void OVOJobTarget::SetInitiator(const String& initiator) { properties_.SetProperty(kPropInitiator, initiator, false); }

void OVOJobTarget::SetProgressProperty(const String& progress) {
  properties_.SetProperty(kPropProgress, progress, false);
}

String OVOJobTarget::GetActiveSinceText() const {
  std::tm tm{};
  if (start_ < 0 || start_ > kLastCalendarTime || !OFL::LocalTimeOf(start_, tm))
    throw std::invalid_argument("time out of the calendar's range");
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d:%02d", tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900,
                tm.tm_hour, tm.tm_min, tm.tm_sec);
  return OFLFormat(kResActiveSince, buf).str();
}

// OVOJobTargetList

OVOJobTargetList::OVOJobTargetList(const String& text)
    : OVOOwningList(CatalogueEntryFor("OVOJobTargetList"), text) {}

// What constructing a target from the child's markup gives, read in place.
std::unique_ptr<OVOJobTarget> OVOJobTargetList::ReadElement(OFLXMLParser& parser, OFLXMLParser& child) {
  if (!parser.ChildTagIs(kTagJobTarget)) return nullptr;
  auto target = std::make_unique<OVOJobTarget>();
  child.SetDocFromChild(parser);
  target->UnpackLoaded(child);
  return target;
}

OVOJobTarget* OVOJobTargetList::Find(const String& jobKey, const String& clientKey, POSITION* pos) const {
  POSITION p = GetHeadPosition();
  while (p) {
    const POSITION here = p;
    OVOJobTarget* t = GetNext(p);
    if (t == nullptr) continue;
    if (!jobKey.empty() && t->GetGUIDJob() != jobKey && t->GetJobName() != jobKey) continue;
    if (!clientKey.empty() && t->GetGUIDMachine() != clientKey && t->GetHostName() != clientKey) continue;
    if (pos) *pos = here;
    return t;
  }
  return nullptr;
}

int OVOJobTargetList::CountJobTargetsForJob(const String& key) const {
  int count = 0;
  for (const OVOJobTarget* t : *this)
    if (t && (t->GetGUIDJob() == key || t->GetJobName() == key)) ++count;
  return count;
}

bool OVOJobTargetList::ContainsContinuationJob() const {
  for (const OVOJobTarget* t : *this)
    if (t && t->GetStateObj().IsPriorityState(OVO::JobState::ePriorityContinuation)) return true;
  return false;
}

String OVOJobTargetList::ToString() const {
  String out = std::to_string(GetCount()) + " target(s)";
  for (const OVOJobTarget* t : *this) {
    if (t == nullptr) continue;
    const String& job = t->GetJobName().empty() ? t->GetGUIDJob() : t->GetJobName();
    const String& machine = t->GetHostName().empty() ? t->GetGUIDMachine() : t->GetHostName();
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, " state %u flags 0x%X]", static_cast<unsigned>(t->GetState()),
                  static_cast<unsigned>(t->GetStateObj().GetFlags()));
    out.append(" [").append(job).append(" -> ").append(machine).append(numbers);
  }
  return out;
}

}  // namespace orvacmn
