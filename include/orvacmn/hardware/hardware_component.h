// OVOHardwareComponent: one kind of device that the suite knows (network
// card, graphics card, disk, monitor or other), identified by its device
// string, with the drivers that serve it. Installed components refer to it
// by its GUID. OVOHardwareComponentList: an owning list of them.
//
// Packed form, every element always written: "GUID", "OrgUnit", "Type",
// "Vendor", "Model", "Comment", "AutoDetectOS" (64-bit), "DeviceInfo" (the
// device string), one "SoftwareDriver" per driver in list order, the packed
// "Properties", "SPV", "Vars" (scope "__COMPONENT__") and "ObjectRights",
// then "PerformAutoLink".
//
// One thread at a time per object.
#ifndef ORVACMN_HARDWARE_HARDWARE_COMPONENT_H_
#define ORVACMN_HARDWARE_HARDWARE_COMPONENT_H_

#include <cstdint>

#include "ofl/device_info.h"
#include "orvacmn/hardware/pci_device.h"
#include "orvacmn/hardware/spv.h"
#include "orvacmn/objects/object_rights.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"
#include "orvacmn/software/software_driver.h"
#include "orvacmn/variables/vars.h"

namespace orvacmn {

class OVOHardwareComponent : public OVOXMLSupport {
 public:
  static constexpr char kVarsScope[] = "__COMPONENT__";

  OVOHardwareComponent();
  // Unpacks `text` when it is not empty.
  explicit OVOHardwareComponent(const String& text);
  // Deep copies, drivers included.
  OVOHardwareComponent(const OVOHardwareComponent& other);
  OVOHardwareComponent& operator=(const OVOHardwareComponent& other);
  ~OVOHardwareComponent() override;

  // The packed texts are equal.
  bool operator==(const OVOHardwareComponent& other) const;

  String Pack() const override;
  void AppendPack(String& out) const override;
  using OVOXMLSupport::Unpack;
  void Clear() override;

  const String& GetGUID() const { return guid_; }
  const String& GetOrgUnit() const { return orgUnit_; }
  const String& GetType() const { return type_; }
  const String& GetVendor() const { return vendor_; }
  const String& GetModel() const { return model_; }
  const String& GetComment() const { return comment_; }
  int64_t GetAutoDetectOS() const { return autoDetectOS_; }
  const OFLDeviceInfo& GetDeviceInfo() const { return device_; }
  uint32_t GetPerformAutoLink() const { return performAutoLink_; }

  void SetGUID(const String& v) { guid_ = v; }
  void SetOrgUnit(const String& v) { orgUnit_ = v; }
  void SetType(const String& v) { type_ = v; }
  void SetVendor(const String& v) { vendor_ = v; }
  void SetModel(const String& v) { model_ = v; }
  void SetComment(const String& v) { comment_ = v; }
  void SetAutoDetectOS(int64_t v) { autoDetectOS_ = v; }
  void SetDeviceInfo(const OFLDeviceInfo& v) { device_ = v; }
  void SetDeviceString(const String& v) { device_.SetDeviceString(v); }
  void SetPerformAutoLink(uint32_t v) { performAutoLink_ = v; }

  // The component owns its drivers.
  OVOSoftwareDriverList& GetDrivers() { return drivers_; }
  const OVOSoftwareDriverList& GetDrivers() const { return drivers_; }
  OVO::Properties& GetProperties() { return properties_; }
  const OVO::Properties& GetProperties() const { return properties_; }
  OvoSpv& GetSpv() { return spv_; }
  const OvoSpv& GetSpv() const { return spv_; }
  OVOVars& GetVars() { return vars_; }
  const OVOVars& GetVars() const { return vars_; }
  OVOObjectRights& GetRights() { return rights_; }
  const OVOObjectRights& GetRights() const { return rights_; }

  // The record key: a length-packed String holding the GUID.
  String GetKey() const;
  // Vendor, a blank and Model.
  String GetDisplayName() const;
  // The display text of a type text in the resource language; case counts,
  // and any other text gives "Unknown".
  static String TranslateTypeToDisplayString(const String& type);
  // Appends to `list` a copy of every driver, in list order, whose
  // "SupportedOS" shares a system with `os` (OVOHelper::IsOSSupported); stops
  // after one with the exclusive option bit.
  void GetDriver(uint64_t os, OVOSoftwareDriverList& list) const;
  // Vendor and Model from the device record ("%s [%s]" with a non-empty
  // suffix); true when either changed (case counts).
  bool UpdateDisplaynameFromPCIDevice(const OVOPCIDevice& pciDevice, const String& suffix);
  // OVOHardwareDisplaySettings::FromProperties.
  static int GetDisplaySettingsFromProperties(const OVO::Properties& properties, int32_t& width, int32_t& height,
                                              int32_t& depth, int32_t& frequency);
  // Chooses from `candidates`, in order, the drivers that serve this device
  // on the systems of `wanted`: a candidate is taken (a copy appended to
  // `out`) when it supports the device for some still wanted system of the
  // OS type table, and the systems it supports are then no longer wanted, so
  // earlier candidates win. Returns the OR of the taken drivers' systems.
  uint64_t PerformAutolink(uint64_t wanted, const OVOSoftwareDriverList& candidates,
                           OVOSoftwareDriverList& out) const;

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;

 private:
  void CopyFrom(const OVOHardwareComponent& other);
  void AppendFields(String& out) const;

  String guid_;
  String orgUnit_;
  String type_;
  String vendor_;
  String model_;
  String comment_;
  int64_t autoDetectOS_ = 0;
  OFLDeviceInfo device_;
  OVOSoftwareDriverList drivers_;
  OVO::Properties properties_;
  OvoSpv spv_;
  OVOVars vars_;
  OVOObjectRights rights_;
  uint32_t performAutoLink_ = 0;
};

// Owns its components: DeleteObjects and the destructor delete them.
class OVOHardwareComponentList : public OVOTypedPtrList<OVOHardwareComponent> {
 public:
  OVOHardwareComponentList() = default;
  OVOHardwareComponentList(const OVOHardwareComponentList&) = delete;
  OVOHardwareComponentList& operator=(const OVOHardwareComponentList&) = delete;
  ~OVOHardwareComponentList() override;

  // The first component whose GUID equals `guid` (case ignored), or null.
  OVOHardwareComponent* Find(const String& guid) const;
  // Deletes every component and empties the list.
  void DeleteObjects();
};

}  // namespace orvacmn

#endif  // ORVACMN_HARDWARE_HARDWARE_COMPONENT_H_
