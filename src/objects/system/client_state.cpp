#include "orvacmn/system/client_state.h"

#include <iterator>
#include <string_view>
#include <tuple>

#include "ofl/tag_sequence.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

enum Field {
  kGUID, kMachineDisplayName, kClientAgentState, kActivity, kLastChange, kJobState, kCurrentJob, kTimeJobStart,
  kCurrentStep, kTimeStepStart, kCustomStateType, kCustomState, kCustomStateChange, kFirstError, kLastError,
  kChanges, kFieldCount,
  kCustomStateTypeAsWritten = kFieldCount  // only read by UnpackStored
};
// The writing order. The type's element is named as peers read it; Pack
// writes kWrittenTypeTag in its place.
constexpr std::string_view kTags[] = {
    "GUID",        "MachineDisplayName", "ClientAgentState", "Activity",   "LastChange", "JobState",
    "CurrentJob",  "TimeJobStart",       "CurrentStep",      "TimeStepStart", "CustomStateType",
    "CustomState", "CustomStateChange",  "FirstError",       "LastError",  "Changes",    "CustomStateTye"};
static_assert(std::size(kTags) == kFieldCount + 1);
constexpr std::string_view kWrittenTypeTag = kTags[kCustomStateTypeAsWritten];
constexpr CatalogueEntry kEntry = CatalogueEntryFor("OVOClientState");

// The custom-state type of a "ClientState" root the parser has found, under
// either name; nothing when neither is there.
std::optional<uint32_t> ReadEitherTypeTag(OFLXMLParser& parser) {
  std::optional<uint32_t> type;
  ForEachChild(parser, [&type](std::string_view tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kTags[kCustomStateType]) || OFL::EqualsNoCase(tag, kWrittenTypeTag))
      type = OFLTools::AToUL(p.GetChildDataView());
  });
  return type;
}

}  // namespace

OVOClientState::OVOClientState(const String& text) : OVOXMLSupport(kEntry) {
  if (!text.empty()) Unpack(text);
}

void OVOClientState::Clear() {
  for (String* s : {&guid_, &machineDisplayName_, &activity_, &currentJob_, &currentStep_, &customState_, &firstError_,
                    &lastError_})
    s->clear();
  clientAgentState_ = kNoAgentState;
  lastChange_ = timeJobStart_ = timeStepStart_ = customStateChange_ = 0;
  jobState_ = OVO::JobState();
  customStateType_ = 0;
  changes_ = 0;
}

bool OVOClientState::operator==(const OVOClientState& o) const {
  const auto fields = [](const OVOClientState& s) {
    return std::tie(s.guid_, s.machineDisplayName_, s.clientAgentState_, s.activity_, s.lastChange_, s.jobState_,
                    s.currentJob_, s.timeJobStart_, s.currentStep_, s.timeStepStart_, s.customStateType_,
                    s.customState_, s.customStateChange_, s.firstError_, s.lastError_, s.changes_);
  };
  return fields(*this) == fields(o);
}

String OVOClientState::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, kTags[kGUID], guid_);
  OFLTools::AppendXMLNode(out, kTags[kMachineDisplayName], machineDisplayName_);
  OFLTools::AppendXMLNode(out, kTags[kClientAgentState], clientAgentState_);
  OFLTools::AppendXMLNode(out, kTags[kActivity], activity_);
  OFLTools::AppendXMLNode(out, kTags[kLastChange], lastChange_);
  OFLTools::AppendXMLNode(out, kTags[kJobState], jobState_.ToDword());
  OFLTools::AppendXMLNode(out, kTags[kCurrentJob], currentJob_);
  OFLTools::AppendXMLNode(out, kTags[kTimeJobStart], timeJobStart_);
  OFLTools::AppendXMLNode(out, kTags[kCurrentStep], currentStep_);
  OFLTools::AppendXMLNode(out, kTags[kTimeStepStart], timeStepStart_);
  OFLTools::AppendXMLNode(out, kWrittenTypeTag, customStateType_);
  OFLTools::AppendXMLNode(out, kTags[kCustomState], customState_);
  OFLTools::AppendXMLNode(out, kTags[kCustomStateChange], customStateChange_);
  OFLTools::AppendXMLNode(out, kTags[kFirstError], firstError_);
  OFLTools::AppendXMLNode(out, kTags[kLastError], lastError_);
  OFLTools::AppendXMLNode(out, kTags[kChanges], changes_);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int OVOClientState::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  return UnpackLoaded(parser);
}

int OVOClientState::UnpackLoaded(OFLXMLParser& doc) {
  Clear();
  if (!doc.FindElem(GetObjectName().c_str())) return 0;
  OFL::TagSequence fields(std::span(kTags, kFieldCount));
  ForEachChild(doc, [this, &fields](std::string_view tag, OFLXMLParser& p) {
    const int field = fields.Find(tag);
    if (field < 0) return;
    const std::string_view v = p.GetChildDataView();
    switch (field) {
      case kGUID:
        guid_.assign(v);
        break;
      case kMachineDisplayName:
        machineDisplayName_.assign(v);
        break;
      case kClientAgentState:
        clientAgentState_ = OFL::CRT::atol(String(v));
        break;
      case kActivity:
        activity_.assign(v);
        break;
      case kLastChange:
        lastChange_ = OFLTools::AToLL(v);
        break;
      // A signed decimal as peers write it, or the unsigned form of Pack:
      // either way the 32 bits of state and flags.
      case kJobState:
        jobState_ = OVO::JobState(static_cast<uint32_t>(OFLTools::AToLL(v)));
        break;
      case kCurrentJob:
        currentJob_.assign(v);
        break;
      case kTimeJobStart:
        timeJobStart_ = OFLTools::AToLL(v);
        break;
      case kCurrentStep:
        currentStep_.assign(v);
        break;
      case kTimeStepStart:
        timeStepStart_ = OFLTools::AToLL(v);
        break;
      case kCustomStateType:
        customStateType_ = OFLTools::AToUL(v);
        break;
      case kCustomState:
        customState_.assign(v);
        break;
      case kCustomStateChange:
        customStateChange_ = OFLTools::AToLL(v);
        break;
      case kFirstError:
        firstError_.assign(v);
        break;
      case kLastError:
        lastError_.assign(v);
        break;
      case kChanges:
        changes_ = OFLTools::AToUL(v);
        break;
    }
  });
  return 1;
}

int OVOClientState::UnpackStored(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  if (UnpackLoaded(parser) == 0) return 0;
  if (const auto type = ReadEitherTypeTag(parser)) customStateType_ = *type;
  return 1;
}

int OVOClientState::Update(const String& text) {
  OVOClientState incoming;
  const int found = incoming.UnpackStored(text);
  Update(incoming);
  return found;
}

void OVOClientState::Update(const OVOClientState& in) {
  const uint32_t bits = in.changes_;
  if (bits & eChangeAgentState) clientAgentState_ = in.clientAgentState_;
  if (bits & eChangeActivity) activity_ = in.activity_;
  if (bits & eChangeJobState) jobState_ = in.jobState_;
  if (bits & eChangeJob) {
    currentJob_ = in.currentJob_;
    timeJobStart_ = in.timeJobStart_;
  }
  if (bits & eChangeStep) {
    currentStep_ = in.currentStep_;
    timeStepStart_ = in.timeStepStart_;
  }
  if (bits & eChangeCustomState) {
    customStateType_ = in.customStateType_;
    customState_ = in.customState_;
    customStateChange_ = in.customStateChange_;
  }
  if (bits & eChangeLastError) lastError_ = in.lastError_;
  changes_ |= bits;
}

std::optional<uint32_t> ReadCustomStateType(std::string_view stateText) {
  OFLXMLParser parser;
  parser.SetDoc(stateText.data(), stateText.size());
  if (!parser.FindElem(String(kEntry.objectName).c_str())) return std::nullopt;
  return ReadEitherTypeTag(parser);
}

}  // namespace orvacmn
