// OVOPCIDevice and OVOPCIVendor: the object store's names of the devices and
// vendors it knows, by vendor id, device id and vendor type (PCI, USB or
// ACPI). Hardware components take their display name from a device record;
// the automatic hardware update creates records for devices that are new.
//
// Packed under "PCIDevice": "VendorID", "DeviceID", "VendorType",
// "VendorName", "DeviceName", "Options"; under "PCIVendor": "VendorID",
// "VendorType", "VendorName". Always written; elements of other kinds are
// kept and written back after them, so a stored record loses nothing.
//
// One thread at a time per object.
#ifndef ORVACMN_HARDWARE_PCI_DEVICE_H_
#define ORVACMN_HARDWARE_PCI_DEVICE_H_

#include <cstdint>

#include "orvacmn/software/nested_objects.h"

namespace orvacmn {

class OVOPCIDevice : public OVOPassThroughObject {
 public:
  // Vendor types: which id space the vendor and device ids belong to.
  static constexpr uint32_t kVendorTypePCI = 0;
  static constexpr uint32_t kVendorTypeUSB = 1;
  static constexpr uint32_t kVendorTypeACPI = 2;
  // Option bits.
  static constexpr uint32_t kOptionNoAutoCreate = 0x1;     // no component is made for the device automatically
  static constexpr uint32_t kOptionGenericId = 0x2;        // components take the vendor and device id only
  static constexpr uint32_t kOptionAutoCreated = 0x10000000;  // made by the automatic hardware update

  OVOPCIDevice();
  // Unpacks `text` when it is not empty.
  explicit OVOPCIDevice(const String& text);
  bool operator==(const OVOPCIDevice& other) const;

  const String& GetVendorID() const { return vendorId_; }
  void SetVendorID(const String& v) { vendorId_ = v; }
  uint32_t GetDeviceID() const { return deviceId_; }
  void SetDeviceID(uint32_t v) { deviceId_ = v; }
  uint32_t GetVendorType() const { return vendorType_; }
  void SetVendorType(uint32_t v) { vendorType_ = v; }
  const String& GetVendorName() const { return vendorName_; }
  void SetVendorName(const String& v) { vendorName_ = v; }
  const String& GetDeviceName() const { return deviceName_; }
  void SetDeviceName(const String& v) { deviceName_ = v; }
  uint32_t GetOptions() const { return options_; }
  void SetOptions(uint32_t v) { options_ = v; }

 protected:
  void PackKnownChildren(String& out) const override;
  bool UnpackKnownChild(const String& tag, OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  String vendorId_;
  uint32_t deviceId_ = 0;
  uint32_t vendorType_ = kVendorTypePCI;
  String vendorName_;
  String deviceName_;
  uint32_t options_ = 0;
};

class OVOPCIVendor : public OVOPassThroughObject {
 public:
  OVOPCIVendor();
  // Unpacks `text` when it is not empty.
  explicit OVOPCIVendor(const String& text);
  bool operator==(const OVOPCIVendor& other) const;

  const String& GetVendorID() const { return vendorId_; }
  void SetVendorID(const String& v) { vendorId_ = v; }
  uint32_t GetVendorType() const { return vendorType_; }
  void SetVendorType(uint32_t v) { vendorType_ = v; }
  const String& GetVendorName() const { return vendorName_; }
  void SetVendorName(const String& v) { vendorName_ = v; }

 protected:
  void PackKnownChildren(String& out) const override;
  bool UnpackKnownChild(const String& tag, OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  String vendorId_;
  uint32_t vendorType_ = OVOPCIDevice::kVendorTypePCI;
  String vendorName_;
};

}  // namespace orvacmn

#endif  // ORVACMN_HARDWARE_PCI_DEVICE_H_
