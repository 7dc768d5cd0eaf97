#include "orvacmn/jobs/user_job_state.h"

#include <iterator>
#include <memory>
#include <string_view>

#include "ofl/tag_sequence.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

enum Field {
  kGUID, kGUIDADObject, kGUIDJob, kGUIDSystem, kGUIDSoftware, kADObjectName, kJobName, kSystemName,
  kSoftwareProducer, kSoftwareName, kSoftwareVersion, kTimeStamp, kState, kStateText, kFieldCount
};
constexpr std::string_view kTags[] = {
    "GUID", "GUIDADObject", "GUIDJob", "GUIDSystem", "GUIDSoftware", "ADObjectName", "JobName",
    "SystemName", "SoftwareProducer", "SoftwareName", "SoftwareVersion", "TimeStamp", "State", "StateText"};
static_assert(std::size(kTags) == kFieldCount);

void AppendIfSet(String& out, Field f, const String& value) {
  if (!value.empty()) OFLTools::AppendXMLNode(out, kTags[f], std::string_view(value));
}

}  // namespace

OVOUserJobState::OVOUserJobState(const String& text) : OVOXMLSupport(CatalogueEntryFor("OVOUserJobState")) {
  if (!text.empty()) Unpack(text);
}

void OVOUserJobState::Clear() {
  for (String* s : {&guid_, &guidADObject_, &guidJob_, &guidSystem_, &guidSoftware_, &adObjectName_, &jobName_,
                    &systemName_, &softwareProducer_, &softwareName_, &softwareVersion_, &stateText_})
    s->clear();
  state_ = 0;
}

bool OVOUserJobState::operator==(const OVOUserJobState& o) const {
  return guid_ == o.guid_ && guidADObject_ == o.guidADObject_ && guidJob_ == o.guidJob_ &&
         guidSystem_ == o.guidSystem_ && guidSoftware_ == o.guidSoftware_ && adObjectName_ == o.adObjectName_ &&
         jobName_ == o.jobName_ && systemName_ == o.systemName_ && softwareProducer_ == o.softwareProducer_ &&
         softwareName_ == o.softwareName_ && softwareVersion_ == o.softwareVersion_ &&
         timeStamp_ == o.timeStamp_ && state_ == o.state_ && stateText_ == o.stateText_;
}

String OVOUserJobState::Pack() const {
  String out;
  AppendFields(out);
  return out;
}

void OVOUserJobState::AppendPack(String& out) const {
  if (!IsExactly<OVOUserJobState>()) out += Pack();
  else AppendFields(out);
}

void OVOUserJobState::AppendFields(String& out) const {
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, kTags[kGUID], guid_);
  AppendIfSet(out, kGUIDADObject, guidADObject_);
  OFLTools::AppendXMLNode(out, kTags[kGUIDJob], guidJob_);
  OFLTools::AppendXMLNode(out, kTags[kGUIDSystem], guidSystem_);
  AppendIfSet(out, kGUIDSoftware, guidSoftware_);
  AppendIfSet(out, kADObjectName, adObjectName_);
  AppendIfSet(out, kJobName, jobName_);
  AppendIfSet(out, kSystemName, systemName_);
  AppendIfSet(out, kSoftwareProducer, softwareProducer_);
  AppendIfSet(out, kSoftwareName, softwareName_);
  AppendIfSet(out, kSoftwareVersion, softwareVersion_);
  OFLTools::AppendXMLNode(out, kTags[kTimeStamp], timeStamp_);
  OFLTools::AppendXMLNode(out, kTags[kState], OFLTools::ULToA(state_));
  OFLTools::AppendXMLNode(out, kTags[kStateText], stateText_);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

int OVOUserJobState::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  return UnpackLoaded(parser);
}

int OVOUserJobState::UnpackLoaded(OFLXMLParser& doc) {
  Clear();
  if (!doc.FindElem(GetObjectName().c_str())) return 0;
  OFL::TagSequence fields(kTags);
  ForEachChild(doc, [this, &fields](std::string_view tag, OFLXMLParser& p) {
    const int field = fields.Find(tag);
    if (field < 0) return;
    const std::string_view v = p.GetChildDataView();
    switch (field) {
      case kGUID: guid_.assign(v); break;
      case kGUIDADObject: guidADObject_.assign(v); break;
      case kGUIDJob: guidJob_.assign(v); break;
      case kGUIDSystem: guidSystem_.assign(v); break;
      case kGUIDSoftware: guidSoftware_.assign(v); break;
      case kADObjectName: adObjectName_.assign(v); break;
      case kJobName: jobName_.assign(v); break;
      case kSystemName: systemName_.assign(v); break;
      case kSoftwareProducer: softwareProducer_.assign(v); break;
      case kSoftwareName: softwareName_.assign(v); break;
      case kSoftwareVersion: softwareVersion_.assign(v); break;
      case kTimeStamp: timeStamp_ = OFLTools::AToLL(v); break;
      case kState: state_ = OFLTools::AToUL(v); break;
      case kStateText: stateText_.assign(v); break;
    }
  });
  return 1;
}

// OVOUserJobStateList

OVOUserJobStateList::OVOUserJobStateList(const String& text, bool ownsElements)
    : OVOList<OVOUserJobState>("UserJobStateList", String(), ownsElements) {
  // Unpacked here, not by the base, so that this class's InternalUnpack runs.
  if (!text.empty()) {
    try {
      Unpack(text);
    } catch (...) {  // the base destroys the elements only when it owns them
      OVOList<OVOUserJobState>::InternalClear();
      throw;
    }
  }
}

void OVOUserJobStateList::InternalUnpack(OFLXMLParser& parser) {
  OFLXMLParser child;  // one for all elements
  while (parser.FindChildElem()) {
    auto element = std::make_unique<OVOUserJobState>();
    child.SetDocFromChild(parser);
    element->UnpackLoaded(child);
    AddTail(element.get());
    element.release();
  }
}

}  // namespace orvacmn
