// OVOUserJobState: the state of a job that a user or directory object
// received for a piece of software on a computer. OVOUserJobStateList: an
// OVOList of them ("UserJobStateList").
//
// Packs as "UserJobState" (whole-object style): "GUID", "GUIDJob",
// "GUIDSystem", "TimeStamp", "State" and "StateText" always, the other
// Strings only when not empty. Clear (and so Unpack) leaves "TimeStamp" as it
// was, so a text without it keeps the previous timestamp.
//
// Objects carry no locks; use each from one thread at a time.
#ifndef ORVACMN_JOBS_USER_JOB_STATE_H_
#define ORVACMN_JOBS_USER_JOB_STATE_H_

#include <cstdint>

#include "orvacmn/common/types.h"
#include "orvacmn/objects/ovo_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVOUserJobStateList;

class OVOUserJobState : public OVOXMLSupport {
 public:
  // Object name "UserJobState", timestamp 0; unpacks `text` when not empty.
  explicit OVOUserJobState(const String& text = String());
  OVOUserJobState(const OVOUserJobState&) = default;
  OVOUserJobState& operator=(const OVOUserJobState&) = default;
  ~OVOUserJobState() override = default;

  String Pack() const override;
  void AppendPack(String& out) const override;
  using OVOXMLSupport::Unpack;
  // 1 when the text holds a "UserJobState" root, else 0; clears first.
  int Unpack(const String& text) override;
  // The same on the element a loaded parser holds, read in place.
  int UnpackLoaded(OFLXMLParser& loaded) override;
  // Empties the Strings and sets "State" to 0; the timestamp stays.
  void Clear() override;

  // Every field equal, the timestamp included.
  bool operator==(const OVOUserJobState& other) const;
  bool operator!=(const OVOUserJobState& other) const { return !(*this == other); }

  const String& GetGUID() const { return guid_; }
  void SetGUID(const String& v) { guid_ = v; }
  const String& GetGUIDADObject() const { return guidADObject_; }
  void SetGUIDADObject(const String& v) { guidADObject_ = v; }
  const String& GetGUIDJob() const { return guidJob_; }
  void SetGUIDJob(const String& v) { guidJob_ = v; }
  const String& GetGUIDSystem() const { return guidSystem_; }
  void SetGUIDSystem(const String& v) { guidSystem_ = v; }
  const String& GetGUIDSoftware() const { return guidSoftware_; }
  void SetGUIDSoftware(const String& v) { guidSoftware_ = v; }
  const String& GetADObjectName() const { return adObjectName_; }
  void SetADObjectName(const String& v) { adObjectName_ = v; }
  const String& GetJobName() const { return jobName_; }
  void SetJobName(const String& v) { jobName_ = v; }
  const String& GetSystemName() const { return systemName_; }
  void SetSystemName(const String& v) { systemName_ = v; }
  const String& GetSoftwareProducer() const { return softwareProducer_; }
  void SetSoftwareProducer(const String& v) { softwareProducer_ = v; }
  const String& GetSoftwareName() const { return softwareName_; }
  void SetSoftwareName(const String& v) { softwareName_ = v; }
  const String& GetSoftwareVersion() const { return softwareVersion_; }
  void SetSoftwareVersion(const String& v) { softwareVersion_ = v; }
  CTime GetTimeStamp() const { return timeStamp_; }
  void SetTimeStamp(CTime v) { timeStamp_ = v; }
  uint32_t GetState() const { return state_; }
  void SetState(uint32_t v) { state_ = v; }
  const String& GetStateText() const { return stateText_; }
  void SetStateText(const String& v) { stateText_ = v; }

 private:
  void AppendFields(String& out) const;

  String guid_;
  String guidADObject_;
  String guidJob_;
  String guidSystem_;
  String guidSoftware_;
  String adObjectName_;
  String jobName_;
  String systemName_;
  String softwareProducer_;
  String softwareName_;
  String softwareVersion_;
  CTime timeStamp_ = 0;
  uint32_t state_ = 0;
  String stateText_;
};

class OVOUserJobStateList : public OVOList<OVOUserJobState> {
 public:
  explicit OVOUserJobStateList(const String& text = String(), bool ownsElements = true);

 protected:
  // As the list's rule: one new state per child of any tag, each unpacked
  // from the child where it stands rather than from a printed copy.
  void InternalUnpack(OFLXMLParser& parser) override;
};

}  // namespace orvacmn

#endif  // ORVACMN_JOBS_USER_JOB_STATE_H_
