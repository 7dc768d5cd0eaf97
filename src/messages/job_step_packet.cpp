#include <ctime>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/messages/job_step_messages.h"
#include "message_fields.h"

namespace orvacmn {
namespace {

// The job as the receiver needs it: without the other computers it runs on.
struct JobWithoutTargets : msg_fields::InPlace {
  static void Put(String& out, std::string_view, const OVOJob& job) {
    OVOJob withoutTargets(job.Pack());
    withoutTargets.DeleteListJobTargets();
    withoutTargets.AppendPack(out);
  }
};

// The step list forgets, not frees, its steps on Unpack.
struct StepList : msg_fields::InPlace {
  static void Get(OFLXMLParser& p, OVOJobStepList& steps, OFLXMLParser& scratch) {
    steps.DeleteObjects();
    InPlace::Get(p, steps, scratch);
  }
};

// The install settings as the escaped text of their packed form.
struct IniText {
  static void Put(String& out, std::string_view tag, const OvoSpv& m) { msg_fields::Text::Put(out, tag, m.Pack()); }
  static void Get(OFLXMLParser& p, OvoSpv& m) { m.Unpack(String(p.GetChildDataView())); }
};

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

template <class S, class V>
void MsgDJobStepPacket::Fields(S& self, V& v) {
  v("Job", self.job_, JobWithoutTargets{});
  v("JobTarget", self.target_, msg_fields::InPlace{});
  v("JobStepList", self.steps_, StepList{});
  v("OVSVars", self.vars_, msg_fields::InPlace{});
  v("NetworkUser", self.networkUser_);
  v("InstallUser", self.installUser_);
  v("RegUser", self.regUser_);
  v("DIP", self.dip_);
  v("ActiveStep", self.activeStep_);
  v("InstallIniData", self.installIni_, IniText{});
  v("Errors", self.errors_);
  v("FirstOffering", self.firstOffering_);
  v("Flags", self.flags_);
  v("GlobalUnlockSequence", self.globalUnlockSequence_);
  v("JobExecutionTimeout", self.jobExecutionTimeout_);
  v("JobMinimumDriveSpace", self.jobMinimumDriveSpace_);
  v("UseLanResources", self.useLanResources_);
  v("IgnoreovBTCrl", self.ignoreCrl_);
  v("Base64EncodedJobDisplayName", self.displayName_);
}

String MsgDJobStepPacket::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgDJobStepPacket::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
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
