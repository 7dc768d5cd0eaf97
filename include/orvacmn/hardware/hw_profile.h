// OVOHardwareHWProfile: typical hardware that an administrator prepares once
// and that clients are matched to, with its installed components and the
// settings new clients inherit. OVOHardwareHWProfileList: an owning list.
//
// Packed form, every element always written: "GUID", "OrgUnit", "Name",
// "Vendor", "Model", "CPUType", "Comment", "CPUSpeed", "Memory", "Options",
// "DriverPath", one "InstalledComponent" per component in list order, then
// the packed "Properties", "Vars" (scope "__PROFILE__"), "SPV" and
// "ObjectRights".
//
// Clear (and so Unpack) keeps Vendor, Model, CPUType and Comment.
//
// One thread at a time per object.
#ifndef ORVACMN_HARDWARE_HW_PROFILE_H_
#define ORVACMN_HARDWARE_HW_PROFILE_H_

#include <cstdint>

#include "orvacmn/hardware/group_profile_rules.h"
#include "orvacmn/hardware/installed_component.h"
#include "orvacmn/hardware/spv.h"
#include "orvacmn/objects/object_rights.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"
#include "orvacmn/variables/vars.h"

namespace orvacmn {

class OVOSystem;

class OVOHardwareHWProfile : public OVOXMLSupport {
 public:
  // Option bits.
  static constexpr uint32_t kOptionNoAutoSelect = 0x2;
  static constexpr uint32_t kOptionAutoNetcards = 0x01000000;
  static constexpr uint32_t kOptionAutoGfxcards = 0x02000000;
  static constexpr uint32_t kOptionAutoOther = 0x80000000;

  static constexpr char kVarsScope[] = "__PROFILE__";

  OVOHardwareHWProfile();
  // Unpacks `text` when it is not empty.
  explicit OVOHardwareHWProfile(const String& text);
  // Deep copies, components included.
  OVOHardwareHWProfile(const OVOHardwareHWProfile& other);
  OVOHardwareHWProfile& operator=(const OVOHardwareHWProfile& other);
  ~OVOHardwareHWProfile() override;

  // The packed texts are equal.
  bool operator==(const OVOHardwareHWProfile& other) const;

  String Pack() const override;
  void AppendPack(String& out) const override;
  using OVOXMLSupport::Unpack;
  void Clear() override;

  const String& GetGUID() const { return guid_; }
  const String& GetOrgUnit() const { return orgUnit_; }
  const String& GetName() const { return name_; }
  const String& GetVendor() const { return vendor_; }
  const String& GetModel() const { return model_; }
  const String& GetCPUType() const { return cpuType_; }
  const String& GetComment() const { return comment_; }
  uint32_t GetCPUSpeed() const { return cpuSpeed_; }
  uint32_t GetMemory() const { return memory_; }
  uint32_t GetOptions() const { return options_; }
  const String& GetDriverPath() const { return driverPath_; }

  void SetGUID(const String& v) { guid_ = v; }
  void SetOrgUnit(const String& v) { orgUnit_ = v; }
  void SetName(const String& v) { name_ = v; }
  void SetVendor(const String& v) { vendor_ = v; }
  void SetModel(const String& v) { model_ = v; }
  void SetCPUType(const String& v) { cpuType_ = v; }
  void SetComment(const String& v) { comment_ = v; }
  void SetCPUSpeed(uint32_t v) { cpuSpeed_ = v; }
  void SetMemory(uint32_t v) { memory_ = v; }
  void SetOptions(uint32_t v) { options_ = v; }
  void SetDriverPath(const String& v) { driverPath_ = v; }

  OVOHardwareInstalledComponentList& GetComponents() { return components_; }
  const OVOHardwareInstalledComponentList& GetComponents() const { return components_; }
  OVO::Properties& GetProperties() { return properties_; }
  const OVO::Properties& GetProperties() const { return properties_; }
  OVOVars& GetVars() { return vars_; }
  const OVOVars& GetVars() const { return vars_; }
  OvoSpv& GetSpv() { return spv_; }
  const OvoSpv& GetSpv() const { return spv_; }
  OVOObjectRights& GetRights() { return rights_; }
  const OVOObjectRights& GetRights() const { return rights_; }

  // The record key: a length-packed String holding the GUID.
  String GetKey() const;
  // 1 when the device info of one of the components matches (as the more
  // generic id, OFLDeviceInfo::Matches) the device of `deviceString`, else 0.
  int ContainsDevice(const String& deviceString) const;
  // The number of components whose type equals `type` (case counts).
  int32_t GetComponentCount(const String& type) const;
  // The component at the 0-based `index` among those of `type`, or null.
  OVOHardwareInstalledComponent* GetComponent(const String& type, int32_t index) const;
  // OVOHardwareDisplaySettings::FromProfileProperties; always 1.
  int GetDisplaySettings(int32_t& width, int32_t& height, int32_t& depth, int32_t& frequency) const;
  // The profile's score for `system`: 0 when a component with a valid device
  // is not among the system's detected devices; otherwise 100 per matching
  // component, plus, for each type the profile manages automatically
  // (network, graphics, other), the detected devices of that type beyond
  // the profile's components of that type. Saturates at 0xFFFFFFFF.
  uint32_t GetMatchingCriterias(const OVOSystem& system) const;

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;

 private:
  void CopyFrom(const OVOHardwareHWProfile& other);
  void AppendFields(String& out) const;

  String guid_;
  String orgUnit_;
  String name_;
  String vendor_;
  String model_;
  String cpuType_;
  String comment_;
  uint32_t cpuSpeed_ = 0;
  uint32_t memory_ = 0;
  uint32_t options_ = 0;
  String driverPath_;
  OVOHardwareInstalledComponentList components_;
  OVO::Properties properties_;
  OVOVars vars_;
  OvoSpv spv_;
  OVOObjectRights rights_;
};

// Owns its profiles: DeleteObjects and the destructor delete them.
class OVOHardwareHWProfileList : public OVOTypedPtrList<OVOHardwareHWProfile> {
 public:
  OVOHardwareHWProfileList() = default;
  OVOHardwareHWProfileList(const OVOHardwareHWProfileList&) = delete;
  OVOHardwareHWProfileList& operator=(const OVOHardwareHWProfileList&) = delete;
  ~OVOHardwareHWProfileList() override;

  // Deletes every profile and empties the list.
  void DeleteObjects();
  // The first profile, in list order, with the highest score above 0
  // (GetMatchingCriterias), among those that take part in automatic
  // selection and that `group` allows (a null group allows every profile);
  // null if none. `log` receives "Profile [name] matches best with matching
  // criterias = N: " or "No profile matches best: ", then one line (ended by
  // "\n") per profile: why it was skipped, or its score.
  OVOHardwareHWProfile* FindBestMatchingHardwareProfile(const OVOSystem& system, const OVOGroupProfileRules* group,
                                                        String& log) const;
};

}  // namespace orvacmn

#endif  // ORVACMN_HARDWARE_HW_PROFILE_H_
