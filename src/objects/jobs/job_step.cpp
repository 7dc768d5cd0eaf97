#include "orvacmn/jobs/job_step.h"

#include <iterator>
#include <memory>
#include <string_view>

#include "job_step_fields.h"
#include "ofl/tag_sequence.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/jobs/job_step_list.h"
#include "orvacmn/jobs/job_step_table.h"

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

OVOJobStep::OVOJobStep(EStepType type) : OVOXMLSupport(CatalogueEntryFor("OVOJobStep")) { d_.type = type; }

void OVOJobStep::InitKind(const String& text, uint32_t ownType) {
  ClearStep();
  if (!text.empty()) Unpack(text);
  d_.type = ownType;
}

void OVOJobStep::Clear() {
  d_ = Packed();
  properties_.Clear();
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
  out.append(std::to_string(static_cast<int32_t>(d_.type))).append("\">");
  OFLTools::AppendXMLNode(out, kTags[kGUID], d_.guid);
  OFLTools::AppendXMLNode(out, kTags[kVirtualStep], d_.virtualStep);
  OFLTools::AppendXMLNode(out, kTags[kJob], d_.job);
  OFLTools::AppendXMLNode(out, kTags[kClient], d_.client);
  OFLTools::AppendXMLNode(out, kTags[kPrecondition], d_.precondition);
  OFLTools::AppendXMLNode(out, kTags[kSequence], d_.sequence);
  OFLTools::AppendXMLNode(out, kTags[kState], d_.state.ToDword());
  OFLTools::AppendXMLNode(out, kTags[kStateString], d_.stateString);
  OFLTools::AppendXMLNode(out, kTags[kStarted], d_.started);
  OFLTools::AppendXMLNode(out, kTags[kLastChange], d_.lastChange);
  OFLTools::AppendXMLNode(out, kTags[kOptions], d_.options);
  properties_.AppendPack(out);
  OFLTools::AppendXMLTag(out, kTagStepData);
  out += PackStepData();
  OFLTools::AppendXMLTag(out, kTagStepData, true);
  OFLTools::AppendXMLNode(out, kTags[kInsertAfter], d_.insertAfter);
  OFLTools::AppendXMLNode(out, kTags[kUserContext], d_.userContext);
  if (d_.threadPrioritySet) OFLTools::AppendXMLNode(out, kTags[kThreadPriority], d_.threadPriority);
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
  d_.type = static_cast<uint32_t>(OFL::CRT::atol(parser.GetAttrib(kAttribType)));
  OFL::TagSequence fields(kTags);
  ForEachChild(parser, [this, &fields](std::string_view tag, OFLXMLParser& p) {
    const int field = fields.Find(tag);
    if (field < 0) return;
    const std::string_view v = p.GetChildDataView();
    switch (field) {
      case kGUID: d_.guid.assign(v); break;
      case kVirtualStep: d_.virtualStep.assign(v); break;
      case kJob: d_.job.assign(v); break;
      case kClient: d_.client.assign(v); break;
      case kPrecondition: d_.precondition.assign(v); break;
      case kSequence: d_.sequence = OFLTools::AToUL(v); break;
      case kState: d_.state.SetCleanStates(OFLTools::AToUL(v)); break;
      case kStateString: d_.stateString.assign(v); break;
      case kStarted: d_.started = OFLTools::AToLL(v); break;
      case kLastChange: d_.lastChange = OFLTools::AToLL(v); break;
      case kOptions: d_.options = OFLTools::AToUL(v); break;
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
      case kInsertAfter: d_.insertAfter.assign(v); break;
      case kUserContext: d_.userContext.assign(v); break;
      case kThreadPriority:
        d_.threadPriority = OFL::CRT::atol(String(v));
        d_.threadPrioritySet = true;
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
  return IsVirtualStep() || GetOption(kOptionSkip) || d_.state.ToDword() == kStateFinished;
}

OVOJobStep::EStepRunLocation OVOJobStep::GetRunLocation(bool expanded) const {
  const JobStepKindRow* row = FindJobStepKind(d_.type);
  if (!row) return eRunOnAgent;
  if (expanded && row->expands) return eRunNowhere;
  if (row->bootClientOption != 0 && GetOption(row->bootClientOption)) return eRunOnBootClient;
  return row->location;
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
  d_.threadPriority = priority;
  d_.threadPrioritySet = true;
  return 0;
}

uint32_t OVOJobStep::ApplyThreadPriority(OFL::Thread::Handle thread) {
  if (!d_.threadPrioritySet) return 0;
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
  if (!OFL::Thread::SetThreadPriority(applied_.thread, PlatformLevel(d_.threadPriority)))
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
