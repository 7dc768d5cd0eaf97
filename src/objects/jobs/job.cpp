#include "orvacmn/jobs/job.h"

#include <ctime>
#include <iterator>
#include <memory>
#include <string_view>

#include "ofl/tag_sequence.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/variables/ovk_vars.h"

namespace orvacmn {
namespace {

using JS = OVO::JobState;

// Step types that make a job a boot-client job.
constexpr uint32_t kStepDeployOS = 10;
constexpr uint32_t kStepWipeDisk = 145;
constexpr uint32_t kStepDesasterRestore = 153;

constexpr char kVarJobName[] = "Job.Name";
constexpr char kVarJobCreator[] = "Job.Creator";

// Field tags in packing order.
enum Field {
  kGUID, kOrgUnit, kName, kCreator, kComment, kUnlockSequence, kValidity, kPriority, kCount,
  kMaxConcurrentTargets, kJobExecutionTimeout, kMinBandwidth, kInterval, kOptions, kState, kDBState,
  kJobStepList, kProperties, kVars, kObjectRights, kJobTarget, kCachedTargetsCRC, kBootClientSteps,
  kSaveOptions, kUserConsentRequired, kFieldCount
};
constexpr std::string_view kTags[] = {
    "GUID", "OrgUnit", "Name", "Creator", "Comment", "UnlockSequence", "Validity", "Priority", "Count",
    "MaxConcurrentTargets", "JobExecutionTimeout", "MinBandwidth", "Interval", "Options", "State", "DBState",
    "JobStepList", "Properties", "Vars", "ObjectRights", "JobTarget", "CachedTargetsCRC", "BootClientSteps",
    "SaveOptions", "UserConsentRequired"};
static_assert(std::size(kTags) == kFieldCount);

// The C runtime's atol on a view; the copy only supplies the terminating NUL.
uint32_t Atol(std::string_view v) { return static_cast<uint32_t>(OFL::CRT::atol(String(v))); }

}  // namespace

OVOJob::OVOJob(const String& text) : OVOXMLSupport(CatalogueEntryFor("OVOJob")) {
  vars_.SetScope(kVarsScope);
  if (!text.empty()) Unpack(text);
}

OVOJob::~OVOJob() = default;

void OVOJob::Clear() {
  guid_.clear();
  orgUnit_.clear();
  name_.clear();
  creator_.clear();
  comment_.clear();
  unlockSequence_.clear();
  validity_.Reset();
  priority_ = kPriorityNormal;
  count_ = 1;
  maxConcurrentTargets_ = jobExecutionTimeout_ = 0;
  minBandwidth_ = 0;
  interval_ = options_ = 0;
  state_ = JS::eStateWaiting;
  dbState_ = JS();
  steps_.DeleteObjects();
  properties_.Clear();
  vars_.Clear();
  vars_.SetScope(kVarsScope);
  rights_.Clear();
  targets_.DeleteObjects();
  cachedTargetsCRC_ = 0xFFFFFFFF;
  bootClientSteps_ = saveOptions_ = 0;
  userConsentRequired_ = false;
}

String OVOJob::Pack() const {
  // Room for what a job of this size usually packs to, so that a job with
  // many targets is not copied again at every doubling of the text.
  String out;
  out.reserve(1024 + 640 * size_t(targets_.GetCount()) + 512 * size_t(steps_.GetCount()));
  AppendFields(out);
  return out;
}

void OVOJob::AppendPack(String& out) const {
  if (!IsExactly<OVOJob>()) out += Pack();
  else AppendFields(out);
}

void OVOJob::AppendFields(String& out) const {
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, kTags[kGUID], guid_);
  OFLTools::AppendXMLNode(out, kTags[kOrgUnit], orgUnit_);
  OFLTools::AppendXMLNode(out, kTags[kName], name_);
  OFLTools::AppendXMLNode(out, kTags[kCreator], creator_);
  OFLTools::AppendXMLNode(out, kTags[kComment], comment_);
  OFLTools::AppendXMLNode(out, kTags[kUnlockSequence], unlockSequence_);
  OFLTools::AppendXMLNode(out, kTags[kValidity], std::string_view(validity_.GetString()));
  OFLTools::AppendXMLNode(out, kTags[kPriority], priority_);
  OFLTools::AppendXMLNode(out, kTags[kCount], count_);
  OFLTools::AppendXMLNode(out, kTags[kMaxConcurrentTargets], maxConcurrentTargets_);
  OFLTools::AppendXMLNode(out, kTags[kJobExecutionTimeout], jobExecutionTimeout_);
  OFLTools::AppendXMLNode(out, kTags[kMinBandwidth], minBandwidth_);
  OFLTools::AppendXMLNode(out, kTags[kInterval], interval_);
  OFLTools::AppendXMLNode(out, kTags[kOptions], options_);
  // Read back with atol, so written signed.
  OFLTools::AppendXMLNode(out, kTags[kState], static_cast<int32_t>(state_));
  OFLTools::AppendXMLNode(out, kTags[kDBState], static_cast<int32_t>(dbState_.ToDword()));
  steps_.AppendPack(out);
  properties_.AppendPack(out);
  vars_.AppendPack(out);
  rights_.AppendPack(out);
  for (const OVOJobTarget* t : targets_)
    if (t) t->AppendPack(out);
  OFLTools::AppendXMLNode(out, kTags[kCachedTargetsCRC], cachedTargetsCRC_);
  OFLTools::AppendXMLNode(out, kTags[kBootClientSteps], bootClientSteps_);
  OFLTools::AppendXMLNode(out, kTags[kSaveOptions], saveOptions_);
  if (userConsentRequired_) OFLTools::AppendXMLNode(out, kTags[kUserConsentRequired], int32_t{1});
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

int OVOJob::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  return UnpackLoaded(parser);
}

int OVOJob::UnpackLoaded(OFLXMLParser& doc) {
  Clear();
  if (!doc.FindElem(GetObjectName().c_str())) return 0;
  std::unique_ptr<OFLXMLParser> nested;  // one for all nested objects read in place
  auto unpackInPlace = [&](OVOXMLSupport& object, OFLXMLParser& p) {
    if (!nested) nested = std::make_unique<OFLXMLParser>();
    nested->SetDocFromChild(p);
    object.UnpackLoaded(*nested);
  };
  OFL::TagSequence fields(kTags);
  ForEachChild(doc, [&](std::string_view tag, OFLXMLParser& p) {
    const int field = fields.Find(tag);
    if (field < 0) return;
    const std::string_view v = p.GetChildDataView();
    switch (field) {
      case kGUID: guid_.assign(v); break;
      case kOrgUnit: orgUnit_.assign(v); break;
      case kName: name_.assign(v); break;
      case kCreator: creator_.assign(v); break;
      case kComment: comment_.assign(v); break;
      case kUnlockSequence: unlockSequence_.assign(v); break;
      case kValidity: validity_.SetString(v); break;
      case kPriority: priority_ = OFLTools::AToUL(v); break;
      case kCount: count_ = OFLTools::AToUL(v); break;
      case kMaxConcurrentTargets: maxConcurrentTargets_ = OFLTools::AToUL(v); break;
      case kJobExecutionTimeout: jobExecutionTimeout_ = OFLTools::AToUL(v); break;
      case kMinBandwidth: minBandwidth_ = OFL::CRT::_atoi64(String(v)); break;
      case kInterval: interval_ = OFLTools::AToUL(v); break;
      case kOptions: options_ = OFLTools::AToUL(v); break;
      case kState: state_ = static_cast<EState>(Atol(v)); break;
      case kDBState: dbState_ = JS(Atol(v)); break;
      case kJobStepList:
        // The step list forgets its pointers on Unpack; a repeated node must
        // not leak the steps of the first.
        steps_.DeleteObjects();
        unpackInPlace(steps_, p);
        break;
      case kProperties: unpackInPlace(properties_, p); break;
      case kVars: unpackInPlace(vars_, p); break;
      case kObjectRights: unpackInPlace(rights_, p); break;
      case kJobTarget: {
        auto target = std::make_unique<OVOJobTarget>();
        unpackInPlace(*target, p);
        targets_.AddTail(target.get());
        target.release();
        break;
      }
      case kCachedTargetsCRC: cachedTargetsCRC_ = OFLTools::AToUL(v); break;
      case kBootClientSteps: bootClientSteps_ = OFLTools::AToUL(v); break;
      case kSaveOptions: saveOptions_ = OFLTools::AToUL(v); break;
      case kUserConsentRequired: userConsentRequired_ = true; break;
    }
  });
  return 1;
}

bool OVOJob::IsInTimeWindow() const { return IsInTimeWindow(static_cast<CTime>(std::time(nullptr))); }

void OVOJob::SetPriorityFromSteps() {
  for (const OVOJobStep* step : steps_) {
    if (step == nullptr) continue;
    const uint32_t type = step->GetType();
    if (type == kStepDeployOS || type == kStepDesasterRestore || type == kStepWipeDisk) {
      priority_ = kPriorityBootClient;
      return;
    }
  }
  priority_ = GetOption(kOptionBackground) ? kPriorityBackground : kPriorityNormal;
}

String OVOJob::GetKey() const {
  OFLTokenizer key;
  key.AddString(guid_);
  return key.AsLengthPackedString();
}

OVOJobTarget* OVOJob::AssignClient(const String& clientGuid, const String& hostName, const String& displayName,
                                   const String& initiator, POSITION* pos) {
  return AssignClient(clientGuid, hostName, displayName, initiator, pos, static_cast<CTime>(std::time(nullptr)));
}

OVOJobTarget* OVOJob::AssignClient(const String& clientGuid, const String& hostName, const String& displayName,
                                   const String& initiator, POSITION* pos, CTime now) {
  auto target = std::make_unique<OVOJobTarget>();
  target->SetCreated(now);
  target->SetGUIDJob(guid_);
  target->SetJobName(name_);
  target->SetGUIDMachine(clientGuid);
  target->SetHostName(hostName);
  target->SetDisplayName(displayName);
  target->SetNextExecutionTime(CalcNextExecutionTime(0, now));
  target->SetStateObj(JS(IsInTimeWindow(now) ? JS::eStateScheduled : JS::eStateWaiting, 0));
  target->SetInitiator(initiator);
  if (GetOption(kOptionBackground)) target->SetStateFlag(JS::Flags::eFlagBackground, true);
  const POSITION at = targets_.AddTail(target.get());
  if (pos) *pos = at;
  return target.release();
}

void OVOJob::AddTargets(const String& packed) {
  OFLTokenizer entries;
  entries.FromLengthPackedString(packed);
  for (const String& text : entries) {
    auto target = std::make_unique<OVOJobTarget>(text);
    targets_.AddTail(target.get());
    target.release();
  }
}

uint32_t OVOJob::GetTargetsCRC() const {
  if (targets_.IsEmpty()) return 0;
  String all;
  for (const OVOJobTarget* t : targets_)
    if (t) t->AppendPack(all);
  return OFLTools::CalculateCRC32(all);
}

OVOJobTarget* OVOJob::FindJobTargetByGUID(const String& guid, POSITION* pos) const {
  for (auto it = targets_.begin(); it != targets_.end(); ++it) {
    if (*it && OFL::EqualsNoCase((*it)->GetGUIDMachine(), guid)) {
      if (pos) *pos = it.position();
      return *it;
    }
  }
  return nullptr;
}

OVOJobTarget* OVOJob::FindJobTargetByDisplayName(const String& name, POSITION* pos) const {
  if (name.empty()) return nullptr;
  for (auto it = targets_.begin(); it != targets_.end(); ++it) {
    if (*it && OFL::EqualsNoCase((*it)->GetDisplayName(), name)) {
      if (pos) *pos = it.position();
      return *it;
    }
  }
  return nullptr;
}

void OVOJob::PopulateVars(COVKVars& vars, bool withJobVars) const {
  vars.AddVar(kVarJobName, name_, false, true, CVariableType::Runtime, false);
  vars.AddVar(kVarJobCreator, creator_, false, true, CVariableType::Runtime, false);
  if (withJobVars) vars.AddVars(&vars_, true);
}

}  // namespace orvacmn
