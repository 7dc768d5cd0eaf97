#include "orvacmn/jobs/job_step.h"

#include <iterator>
#include <memory>
#include <string_view>

#include "job_step_fields.h"
#include "ofl/tag_sequence.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/jobs/job_step_list.h"

namespace orvacmn {
namespace {

constexpr char kTagStepData[] = "StepData";
constexpr char kAttribType[] = "type";

// Field tags in packing order.
enum Field {
  kGUID, kVirtualStep, kJob, kClient, kPrecondition, kSequence, kState, kStateString, kStarted, kLastChange,
  kOptions, kProperties, kStepData, kInsertAfter, kUserContext, kThreadPriority, kFieldCount
};
constexpr std::string_view kTags[] = {
    "GUID",       "VirtualStep", "Job",        "Client",   "Precondition", "Sequence",
    "State",      "StateString", "Started",    "LastChange", "Options",    "Properties",
    "StepData",   "InsertAfter", "UserContext", "ThreadPriority"};
static_assert(std::size(kTags) == kFieldCount);

// The platform's relative level of a step priority.
int PlatformLevel(int32_t priority) {
  switch (priority) {
    case OVOJobStep::eThreadPriorityBelowNormal: return OFL::Thread::kPriorityBelowNormal;
    case OVOJobStep::eThreadPriorityAboveNormal: return OFL::Thread::kPriorityAboveNormal;
    default: return OFL::Thread::kPriorityNormal;
  }
}

}  // namespace

void JobStepAccess::ReadChild(OVOJobStep& step, OFLXMLParser& parser) {
  step.Clear();
  parser.IntoElem();
  step.ReadElement(parser);
  parser.OutOfElem();
}

OVOJobStep::OVOJobStep(EStepType type) : OVOXMLSupport(CatalogueEntryFor("OVOJobStep")), type_(type) {}

void OVOJobStep::InitKind(const String& text, uint32_t ownType) {
  ClearStep();
  if (!text.empty()) Unpack(text);
  type_ = ownType;
}

void OVOJobStep::Clear() {
  type_ = 0;
  guid_.clear();
  virtualStep_.clear();
  job_.clear();
  client_.clear();
  precondition_.clear();
  sequence_ = 0;
  state_ = OVO::JobState();
  stateString_.clear();
  started_ = lastChange_ = 0;
  options_ = 0;
  properties_.Clear();
  insertAfter_.clear();
  userContext_.clear();
  threadPriority_ = 0;
  threadPrioritySet_ = false;
  ClearStep();
}

String OVOJobStep::Pack() const {
  String out;
  AppendFields(out);
  return out;
}

void OVOJobStep::AppendPack(String& out) const { AppendFields(out); }

void OVOJobStep::AppendFields(String& out) const {
  out.append("<").append(GetObjectName()).append(" type=\"");
  out.append(std::to_string(static_cast<int32_t>(type_))).append("\">");
  OFLTools::AppendXMLNode(out, kTags[kGUID], guid_);
  OFLTools::AppendXMLNode(out, kTags[kVirtualStep], virtualStep_);
  OFLTools::AppendXMLNode(out, kTags[kJob], job_);
  OFLTools::AppendXMLNode(out, kTags[kClient], client_);
  OFLTools::AppendXMLNode(out, kTags[kPrecondition], precondition_);
  OFLTools::AppendXMLNode(out, kTags[kSequence], sequence_);
  OFLTools::AppendXMLNode(out, kTags[kState], state_.ToDword());
  OFLTools::AppendXMLNode(out, kTags[kStateString], stateString_);
  OFLTools::AppendXMLNode(out, kTags[kStarted], started_);
  OFLTools::AppendXMLNode(out, kTags[kLastChange], lastChange_);
  OFLTools::AppendXMLNode(out, kTags[kOptions], options_);
  properties_.AppendPack(out);
  OFLTools::AppendXMLTag(out, kTagStepData);
  out += PackStepData();
  OFLTools::AppendXMLTag(out, kTagStepData, true);
  OFLTools::AppendXMLNode(out, kTags[kInsertAfter], insertAfter_);
  OFLTools::AppendXMLNode(out, kTags[kUserContext], userContext_);
  if (threadPrioritySet_) OFLTools::AppendXMLNode(out, kTags[kThreadPriority], threadPriority_);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

int OVOJobStep::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  Clear();
  if (!parser.FindElem(GetObjectName().c_str())) return 0;
  ReadElement(parser);
  return 1;
}

void OVOJobStep::ReadElement(OFLXMLParser& parser) {
  type_ = static_cast<uint32_t>(OFL::CRT::atol(parser.GetAttrib(kAttribType)));
  OFL::TagSequence fields(kTags);
  ForEachChild(parser, [this, &fields](std::string_view tag, OFLXMLParser& p) {
    const int field = fields.Find(tag);
    if (field < 0) return;
    const std::string_view v = p.GetChildDataView();
    switch (field) {
      case kGUID: guid_.assign(v); break;
      case kVirtualStep: virtualStep_.assign(v); break;
      case kJob: job_.assign(v); break;
      case kClient: client_.assign(v); break;
      case kPrecondition: precondition_.assign(v); break;
      case kSequence: sequence_ = OFLTools::AToUL(v); break;
      case kState: state_.SetCleanStates(OFLTools::AToUL(v)); break;
      case kStateString: stateString_.assign(v); break;
      case kStarted: started_ = OFLTools::AToLL(v); break;
      case kLastChange: lastChange_ = OFLTools::AToLL(v); break;
      case kOptions: options_ = OFLTools::AToUL(v); break;
      case kProperties:
        // As Unpack of the child's markup, read where it stands.
        properties_.Clear();
        properties_.Unpack(p);
        break;
      case kStepData:
        ClearStep();
        p.IntoElem();
        ReadStepData(p);
        p.OutOfElem();
        break;
      case kInsertAfter: insertAfter_.assign(v); break;
      case kUserContext: userContext_.assign(v); break;
      case kThreadPriority:
        threadPriority_ = OFL::CRT::atol(String(v));
        threadPrioritySet_ = true;
        break;
    }
  });
}

int OVOJobStep::UnpackStepData(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  ClearStep();
  if (!parser.FindElem(kTagStepData)) return 0;
  ReadStepData(parser);
  return 1;
}

bool OVOJobStep::MayRunOnBootclient(bool /*bootClientAllowed*/, bool expanded) const {
  return GetRunLocation(expanded) == eRunOnBootClient;
}

bool OVOJobStep::SchedulerCanResumeJobWhenStepIsCompleted() const {
  return !IsVirtualStep() && GetOption(kOptionSchedulerCanResume);
}

bool OVOJobStep::ShouldSkipJobStep() const {
  return IsVirtualStep() || GetOption(kOptionSkip) || state_.ToDword() == kStateFinished;
}

OVOJobStep::EStepRunLocation OVOJobStep::GetRunLocation(bool expanded) const {
  if (type_ < kFirstKnownType || type_ > kLastKnownType) return eRunOnAgent;
  switch (type_) {
    case eDeployOS: return expanded ? eRunNowhere : eRunOnBootClient;
    case ePerformPatchUpdate:
    case ePerformManagedSoftwareUpdate:
    case eTurnOnBitLocker:
    case eRemoveMicrosoftUpdates: return expanded ? eRunNowhere : eRunOnAgent;
    case eInstallSoftware:
      if (expanded) return eRunNowhere;
      return GetOption(kOptionSoftwareInBootClient) ? eRunOnBootClient : eRunOnAgent;
    case eInstallApplication: return GetOption(kOptionApplicationInBootClient) ? eRunOnBootClient : eRunOnAgent;
    case eBootImage: return eRunNowhere;
    case eInstallOS:
    case eOSCloningBackupImaging:
    case eWipeDisk:
    case ePreOSScript:
    case eDesasterRestore: return eRunOnBootClient;
    case eServerSideAction:
    case eControlVirtualMachine:
    case eCreateVMFromProfile: return eRunOnServer;
    default: return eRunOnAgent;
  }
}

String OVOJobStep::GetDependencies() const {
  String out;
  properties_.GetProperty(kPropertyDependencies, out);
  return out;
}

void OVOJobStep::AddDependency(const String& guid) {
  if (guid.empty()) return;
  OFLTokenizer entries(GetDependencies(), ";");
  for (const String& entry : entries)
    if (OFL::EqualsNoCase(entry, guid)) return;
  entries.AddString(guid);
  SetDependencies(entries.AsString(";"));
}

void OVOJobStep::SetDependencies(const String& text) { properties_.SetProperty(kPropertyDependencies, text); }

String OVOJobStep::GetGUIDFromObject(const String& text) {
  const std::unique_ptr<OVOJobStep> step(OVOJobStepList::CreateJobStep(text));
  return step ? step->GetGUID() : String();
}

int OVOJobStep::SetThreadPriority(int32_t priority) {
  threadPriority_ = priority;
  threadPrioritySet_ = true;
  return 0;
}

uint32_t OVOJobStep::ApplyThreadPriority(OFL::Thread::Handle thread) {
  if (!threadPrioritySet_) return 0;
  if (!applied_.applied) {
    const OFL::Thread::Handle h = thread == kCurrentThread ? OFL::Thread::GetCurrentThreadHandle() : thread;
    int previous = 0;
    if (!OFL::Thread::GetThreadPriority(h, previous)) return OFL::Thread::GetLastError();
    applied_.applied = true;
    applied_.thread = h;
    applied_.previous = previous;
  } else if (thread != kCurrentThread && thread != applied_.thread) {
    return kErrorInvalidHandle;
  }
  if (!OFL::Thread::SetThreadPriority(applied_.thread, PlatformLevel(threadPriority_)))
    return OFL::Thread::GetLastError();
  return 0;
}

uint32_t OVOJobStep::ResetThreadPriority() {
  if (!applied_.applied || applied_.thread != OFL::Thread::GetCurrentThreadHandle()) return kErrorInvalidThreadId;
  const bool ok = OFL::Thread::SetThreadPriority(applied_.thread, applied_.previous);
  applied_.applied = false;
  applied_.thread = 0;
  return ok ? 0 : OFL::Thread::GetLastError();
}

}  // namespace orvacmn
