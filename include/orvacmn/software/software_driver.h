// OVOSoftwareDriver: a driver package in the catalogue, as its INF file
// describes it: type, vendor, name, version, install source, the operating
// systems it is signed for and the devices it supports, each device for a
// set of OS bits. Hardware components link the drivers that serve them.
//
// Packed under "SoftwareDriver": "GUID", "Type", "Vendor", "Name",
// "Version", "InstallSource", "ComponentID", "SupportedOS" (64-bit),
// "Options", then "SupportedDevices" with one "Device" per entry ("OS",
// "HardwareID", "Description", "Text", "Flags"), always written; elements
// of other kinds are kept and written back after them.
//
// OVOSoftwareDriverList owns its drivers. Neither class is shared between
// threads while one changes it.
#ifndef ORVACMN_SOFTWARE_SOFTWARE_DRIVER_H_
#define ORVACMN_SOFTWARE_SOFTWARE_DRIVER_H_

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ofl/device_info.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/software/nested_objects.h"

namespace orvacmn {

class OVOSoftwareDriver : public OVOPassThroughObject {
 public:
  // Option bit: no further driver is wanted for a component once this one
  // serves it.
  static constexpr uint32_t kOptionExclusive = 0x2;

  struct _SupportedDevice {
    uint64_t os = 0;    // OS bits the device is supported on
    String hardwareId;  // as written in the INF (generic or exact)
    String description;
    String text;
    uint32_t flags = 0;
    bool operator==(const _SupportedDevice&) const = default;
  };

  OVOSoftwareDriver();
  explicit OVOSoftwareDriver(const String& text);
  bool operator==(const OVOSoftwareDriver& other) const;

  const String& GetGUID() const { return guid_; }
  void SetGUID(const String& v) { guid_ = v; }
  const String& GetType() const { return type_; }
  void SetType(const String& v) { type_ = v; }
  const String& GetVendor() const { return vendor_; }
  void SetVendor(const String& v) { vendor_ = v; }
  const String& GetName() const { return name_; }
  void SetName(const String& v) { name_ = v; }
  const String& GetVersion() const { return version_; }
  void SetVersion(const String& v) { version_ = v; }
  const String& GetInstallSource() const { return installSource_; }
  void SetInstallSource(const String& v) { installSource_ = v; }
  const String& GetComponentID() const { return componentId_; }
  void SetComponentID(const String& v) { componentId_ = v; }
  uint64_t GetSupportedOS() const { return supportedOS_; }
  void SetSupportedOS(uint64_t v) { supportedOS_ = v; }
  uint32_t GetOptions() const { return options_; }
  void SetOptions(uint32_t v) { options_ = v; }

  // Appends a device entry; one hardware id may appear for several OS sets.
  void AddSupportedDevice(uint64_t os, String hardwareId, String description, String text,
                          uint32_t flags);
  // Room for at least `count` entries; grows geometrically, so that many
  // small reservations stay linear.
  void ReserveSupportedDevices(size_t count) {
    if (count > devices_.capacity()) devices_.reserve(std::max(count, 2 * devices_.capacity()));
  }
  const std::vector<_SupportedDevice>& GetSupportedDevices() const { return devices_; }
  // The first entry, from index `start` on, whose OS bits meet `os` and
  // whose hardware id covers `device` (the entry's id as the more generic
  // one: OFLDeviceInfo::Matches); null when none or `device` is null.
  const _SupportedDevice* FindSupportedDevice(uint64_t os, const OFLDeviceInfo* device, size_t start = 0) const;

 protected:
  void PackKnownChildren(String& out) const override;
  bool UnpackKnownChild(const String& tag, OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  String guid_, type_, vendor_, name_, version_, installSource_, componentId_;
  uint64_t supportedOS_ = 0;
  uint32_t options_ = 0;
  std::vector<_SupportedDevice> devices_;
};

class OVOSoftwareDriverList : public OVOTypedPtrList<OVOSoftwareDriver> {
 public:
  OVOSoftwareDriverList() = default;
  OVOSoftwareDriverList(const OVOSoftwareDriverList&) = delete;
  OVOSoftwareDriverList& operator=(const OVOSoftwareDriverList&) = delete;
  ~OVOSoftwareDriverList() override;

  // The first driver whose GUID equals `guid` (case ignored), or null.
  OVOSoftwareDriver* FindEntryByGUID(const String& guid) const;
  void DeleteObjects();
};

}  // namespace orvacmn

#endif  // ORVACMN_SOFTWARE_SOFTWARE_DRIVER_H_
