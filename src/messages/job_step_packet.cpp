#include <ctime>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ofl/tag_sequence.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/messages/job_step_messages.h"

namespace orvacmn {
namespace {

enum Field {
  kJob, kJobTarget, kJobStepList, kVars, kNetworkUser, kInstallUser, kRegUser, kDIP, kActiveStep, kInstallIniData,
  kErrors, kFirstOffering, kFlags, kGlobalUnlockSequence, kJobExecutionTimeout, kJobMinimumDriveSpace,
  kUseLanResources, kIgnoreCrl, kDisplayName
};
constexpr std::string_view kTags[] = {
    "Job", "JobTarget", "JobStepList", "OVSVars", "NetworkUser", "InstallUser", "RegUser", "DIP", "ActiveStep",
    "InstallIniData", "Errors", "FirstOffering", "Flags", "GlobalUnlockSequence", "JobExecutionTimeout",
    "JobMinimumDriveSpace", "UseLanResources", "IgnoreovBTCrl", "Base64EncodedJobDisplayName"};

constexpr char kPropertyMandatoryTime[] = "MandatoryTime";
constexpr char kPropertyMaxDelayMinutes[] = "MaxDelayMinutes";
constexpr char kPropertyWokenByWOL[] = "WokenByWOL";

using GuidSet = std::unordered_set<String, OFL::HashNoCase, OFL::EqualNoCase>;

}  // namespace

MsgDJobStepPacket::MsgDJobStepPacket() : MsgXmlSupport(MessageRootFor("MsgDJobStepPacket"), kMessageSchema) {}

MsgDJobStepPacket::MsgDJobStepPacket(const String& text) : MsgDJobStepPacket() { Unpack(text); }

void MsgDJobStepPacket::Clear() {
  job_.Clear();
  target_.Clear();
  steps_.DeleteObjects();
  vars_.Clear();
  networkUser_.Clear();
  installUser_.Clear();
  regUser_.Clear();
  dip_.clear();
  activeStep_.clear();
  globalUnlockSequence_.clear();
  installIni_.Clear();
  errors_ = flags_ = jobMinimumDriveSpace_ = 0;
  firstOffering_ = jobExecutionTimeout_ = 0;
}

String MsgDJobStepPacket::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  {
    // The receiver needs the job, not the other computers it runs on.
    OVOJob withoutTargets(job_.Pack());
    withoutTargets.DeleteListJobTargets();
    withoutTargets.AppendPack(out);
  }
  target_.AppendPack(out);
  steps_.AppendPack(out);
  vars_.AppendPack(out);
  OFLTools::AppendXMLNode(out, kTags[kNetworkUser], std::string_view(networkUser_.Pack()));
  OFLTools::AppendXMLNode(out, kTags[kInstallUser], std::string_view(installUser_.Pack()));
  OFLTools::AppendXMLNode(out, kTags[kRegUser], std::string_view(regUser_.Pack()));
  OFLTools::AppendXMLNode(out, kTags[kDIP], std::string_view(dip_));
  OFLTools::AppendXMLNode(out, kTags[kActiveStep], std::string_view(activeStep_));
  OFLTools::AppendXMLNode(out, kTags[kInstallIniData], std::string_view(installIni_.Pack()));
  OFLTools::AppendXMLNode(out, kTags[kErrors], errors_);
  OFLTools::AppendXMLNode(out, kTags[kFirstOffering], firstOffering_);
  OFLTools::AppendXMLNode(out, kTags[kFlags], flags_);
  OFLTools::AppendXMLNode(out, kTags[kGlobalUnlockSequence], std::string_view(globalUnlockSequence_));
  OFLTools::AppendXMLNode(out, kTags[kJobExecutionTimeout], jobExecutionTimeout_);
  OFLTools::AppendXMLNode(out, kTags[kJobMinimumDriveSpace], jobMinimumDriveSpace_);
  OFLTools::AppendXMLNode(out, kTags[kUseLanResources], int32_t{useLanResources_ ? 1 : 0});
  OFLTools::AppendXMLNode(out, kTags[kIgnoreCrl], int32_t{ignoreCrl_ ? 1 : 0});
  OFLTools::AppendXMLNode(out, kTags[kDisplayName], std::string_view(displayName_));
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgDJobStepPacket::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  if (!LoadRoot(parser, text)) return 0;
  std::unique_ptr<OFLXMLParser> nested;  // one for all nested objects read in place
  auto unpackInPlace = [&](OVOXMLSupport& object, OFLXMLParser& p) {
    if (!nested) nested = std::make_unique<OFLXMLParser>();
    nested->SetDocFromChild(p);
    object.UnpackLoaded(*nested);
  };
  OFL::TagSequence tags(kTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    const int field = tags.Find(tag);
    if (field < 0) return;
    const std::string_view v = p.GetChildDataView();
    switch (field) {
      case kJob: unpackInPlace(job_, p); break;
      case kJobTarget: unpackInPlace(target_, p); break;
      case kJobStepList:
        steps_.DeleteObjects();  // the list forgets, not frees, on Unpack
        unpackInPlace(steps_, p);
        break;
      case kVars: unpackInPlace(vars_, p); break;
      case kNetworkUser: networkUser_.Unpack(v); break;
      case kInstallUser: installUser_.Unpack(v); break;
      case kRegUser: regUser_.Unpack(v); break;
      case kDIP: dip_.assign(v); break;
      case kActiveStep: activeStep_.assign(v); break;
      case kInstallIniData: installIni_.Unpack(String(v)); break;
      case kErrors: errors_ = OFLTools::AToUL(v); break;
      case kFirstOffering: firstOffering_ = OFLTools::AToLL(v); break;
      case kFlags: flags_ = OFLTools::AToUL(v); break;
      case kGlobalUnlockSequence: globalUnlockSequence_.assign(v); break;
      case kJobExecutionTimeout: jobExecutionTimeout_ = OFLTools::AToLL(v); break;
      case kJobMinimumDriveSpace: jobMinimumDriveSpace_ = OFLTools::AToUL(v); break;
      case kUseLanResources: useLanResources_ = OFLTools::AToUL(v) != 0; break;
      case kIgnoreCrl: ignoreCrl_ = OFLTools::AToUL(v) != 0; break;
      case kDisplayName: displayName_.assign(v); break;
    }
  });
  return 1;
}

void MsgDJobStepPacket::SetJob(const String& guid, const String& name) {
  job_.SetGUID(guid);
  job_.SetName(name);
}

OVOJobStep* MsgDJobStepPacket::GetStepAt(int index) const { return steps_.GetAt(steps_.FindIndex(index)); }

OVOJobStep* MsgDJobStepPacket::FindStep(const String& guid, POSITION* position) const {
  for (auto it = steps_.begin(); it != steps_.end(); ++it) {
    if (*it && OFL::EqualsNoCase((*it)->GetGUID(), guid)) {
      if (position) *position = it.position();
      return *it;
    }
  }
  return nullptr;
}

OVOJobStep* MsgDJobStepPacket::RemoveStepAt(int index) { return RemoveStepAt(steps_.FindIndex(index)); }

OVOJobStep* MsgDJobStepPacket::RemoveStepAt(POSITION position) {
  OVOJobStep* step = steps_.GetAt(position);
  steps_.RemoveAt(position);
  return step;
}

int MsgDJobStepPacket::DeleteFirstStep() {
  if (steps_.IsEmpty()) return 0;
  delete steps_.RemoveHead();
  return steps_.GetCount();
}

void MsgDJobStepPacket::SetJobTargetWokenByWOL(bool woken) {
  target_.GetProperties().SetProperty(kPropertyWokenByWOL, woken);
}

int MsgDJobStepPacket::UnpackJobSteps(const String& text) {
  steps_.DeleteObjects();
  return steps_.Unpack(text);
}

CTime MsgDJobStepPacket::CalcTimeout() { return CalcTimeout(static_cast<CTime>(std::time(nullptr))); }

CTime MsgDJobStepPacket::CalcTimeout(CTime now) {
  if (firstOffering_ == 0) firstOffering_ = now;
  if (!job_.GetOption(kJobOptionTimeoutA | kJobOptionTimeoutB)) return 0;
  if (job_.GetOption(kJobOptionTimeoutAbort) && target_.HasStateFlag(kTargetFlagTimedOut)) return now - 1;
  CTime t = job_.GetValidity().GetEnd();
  long long mandatory = 0;
  if (job_.GetProperties().GetProperty(kPropertyMandatoryTime, mandatory) && mandatory != 0 &&
      (t == 0 || mandatory < t))
    t = mandatory;
  int32_t maxDelay = 0;
  if (job_.GetProperties().GetProperty(kPropertyMaxDelayMinutes, maxDelay) && maxDelay != 0) {
    if (t == 0 || (t - firstOffering_) / 60 > maxDelay) {
      const CTime candidate = firstOffering_ + CTime{maxDelay} * 60;
      if (t == 0 || candidate < t) t = candidate;
    }
  }
  return t;
}

void MsgDJobStepPacket::SkipDependentSteps(const OVOJobStep* step) {
  if (step == nullptr) return;
  // Dependency entries of every step, split once: entry -> its elements.
  std::vector<std::vector<String>> deps(static_cast<size_t>(steps_.GetCount()));
  std::unordered_map<String, std::vector<size_t>, OFL::HashNoCase, OFL::EqualNoCase> byGuid;
  auto split = [](const String& text) {
    const OFLTokenizer entries(text, ";");
    return entries.Items();
  };
  size_t i = 0;
  for (const OVOJobStep* s : steps_) {
    if (s) {
      deps[i] = split(s->GetDependencies());
      byGuid[s->GetGUID()].push_back(i);
    }
    ++i;
  }

  // The closure of the given step's dependencies, each GUID expanded once.
  GuidSet tied;
  std::vector<String> work;
  auto add = [&](const String& guid) {
    if (tied.insert(guid).second) work.push_back(guid);
  };
  add(step->GetGUID());
  for (const String& e : split(step->GetDependencies())) add(OFLTokenizer(e, ",").GetAt(0));
  while (!work.empty()) {
    const String guid = std::move(work.back());
    work.pop_back();
    const auto found = byGuid.find(guid);
    if (found == byGuid.end()) continue;
    for (size_t k : found->second)
      for (const String& e : deps[k]) add(OFLTokenizer(e, ",").GetAt(0));
  }

  const String reason = step->GetAppDisplayName();
  auto mark = [&](OVOJobStep& s) {
    s.SetOption(OVOJobStep::kOptionSkip, true);
    s.SetStateString(reason);
  };
  i = 0;
  for (OVOJobStep* s : steps_) {
    const size_t index = i++;
    if (s == nullptr) continue;
    const bool isGiven = s->GetGUID() == step->GetGUID();
    if (tied.count(s->GetGUID()) != 0 && !isGiven) {
      mark(*s);
      continue;
    }
    if (deps[index].empty()) continue;
    String rewritten;
    bool allZero = true;
    for (const String& entry : deps[index]) {
      const OFLTokenizer elements(entry, ",");
      if (!rewritten.empty()) rewritten += ';';
      if (tied.count(elements.GetAt(0)) != 0) {
        rewritten += elements.GetAt(0);
        rewritten += ",0";
        continue;
      }
      allZero = allZero && elements.GetAt(1) == "0";
      for (int32_t k = 0; k < elements.GetCount(); ++k) {
        if (k > 0) rewritten += ',';
        rewritten += elements.GetAt(k);
      }
    }
    s->SetDependencies(rewritten);
    if (allZero && !isGiven) mark(*s);
  }
}

}  // namespace orvacmn
