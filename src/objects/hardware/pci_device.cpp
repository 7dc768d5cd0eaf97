#include "orvacmn/hardware/pci_device.h"

#include <string_view>

#include "ofl/string.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr std::string_view kTagVendorID = "VendorID", kTagDeviceID = "DeviceID", kTagVendorType = "VendorType",
                           kTagVendorName = "VendorName", kTagDeviceName = "DeviceName", kTagOptions = "Options";

}  // namespace

OVOPCIDevice::OVOPCIDevice() : OVOPassThroughObject(CatalogueEntryFor("OVOPCIDevice")) {}

OVOPCIDevice::OVOPCIDevice(const String& text) : OVOPCIDevice() {
  if (!text.empty()) Unpack(text);
}

bool OVOPCIDevice::operator==(const OVOPCIDevice& o) const {
  return vendorId_ == o.vendorId_ && deviceId_ == o.deviceId_ && vendorType_ == o.vendorType_ &&
         vendorName_ == o.vendorName_ && deviceName_ == o.deviceName_ && options_ == o.options_ && ChildrenEqual(o);
}

void OVOPCIDevice::PackKnownChildren(String& out) const {
  OFLTools::AppendXMLNode(out, kTagVendorID, vendorId_);
  OFLTools::AppendXMLNode(out, kTagDeviceID, deviceId_);
  OFLTools::AppendXMLNode(out, kTagVendorType, vendorType_);
  OFLTools::AppendXMLNode(out, kTagVendorName, vendorName_);
  OFLTools::AppendXMLNode(out, kTagDeviceName, deviceName_);
  OFLTools::AppendXMLNode(out, kTagOptions, options_);
}

bool OVOPCIDevice::UnpackKnownChild(const String& tag, OFLXMLParser& p) {
  String* text = OFL::EqualsNoCase(tag, kTagVendorID)     ? &vendorId_
                 : OFL::EqualsNoCase(tag, kTagVendorName) ? &vendorName_
                 : OFL::EqualsNoCase(tag, kTagDeviceName) ? &deviceName_
                                                          : nullptr;
  uint32_t* number = OFL::EqualsNoCase(tag, kTagDeviceID)     ? &deviceId_
                     : OFL::EqualsNoCase(tag, kTagVendorType) ? &vendorType_
                     : OFL::EqualsNoCase(tag, kTagOptions)    ? &options_
                                                              : nullptr;
  if (text != nullptr) *text = p.GetChildData();
  else if (number != nullptr) *number = OFLTools::AToUL(p.GetChildDataView());
  return text != nullptr || number != nullptr;
}

void OVOPCIDevice::InternalClear() {
  OVOPassThroughObject::InternalClear();
  vendorId_.clear();
  deviceId_ = 0;
  vendorType_ = kVendorTypePCI;
  vendorName_.clear();
  deviceName_.clear();
  options_ = 0;
}

OVOPCIVendor::OVOPCIVendor() : OVOPassThroughObject(CatalogueEntryFor("OVOPCIVendor")) {}

OVOPCIVendor::OVOPCIVendor(const String& text) : OVOPCIVendor() {
  if (!text.empty()) Unpack(text);
}

bool OVOPCIVendor::operator==(const OVOPCIVendor& o) const {
  return vendorId_ == o.vendorId_ && vendorType_ == o.vendorType_ && vendorName_ == o.vendorName_ &&
         ChildrenEqual(o);
}

void OVOPCIVendor::PackKnownChildren(String& out) const {
  OFLTools::AppendXMLNode(out, kTagVendorID, vendorId_);
  OFLTools::AppendXMLNode(out, kTagVendorType, vendorType_);
  OFLTools::AppendXMLNode(out, kTagVendorName, vendorName_);
}

bool OVOPCIVendor::UnpackKnownChild(const String& tag, OFLXMLParser& p) {
  if (OFL::EqualsNoCase(tag, kTagVendorID)) vendorId_ = p.GetChildData();
  else if (OFL::EqualsNoCase(tag, kTagVendorType)) vendorType_ = OFLTools::AToUL(p.GetChildDataView());
  else if (OFL::EqualsNoCase(tag, kTagVendorName)) vendorName_ = p.GetChildData();
  else return false;
  return true;
}

void OVOPCIVendor::InternalClear() {
  OVOPassThroughObject::InternalClear();
  vendorId_.clear();
  vendorType_ = OVOPCIDevice::kVendorTypePCI;
  vendorName_.clear();
}

}  // namespace orvacmn
