#include "orvacmn/software/software_driver.h"

#include <string_view>

#include "ofl/string.h"
#include "ofl/tools.h"
#include "orvacmn/objects/catalogue.h"

namespace orvacmn {

namespace {

constexpr std::string_view kTagGUID = "GUID", kTagType = "Type", kTagVendor = "Vendor", kTagName = "Name",
                           kTagVersion = "Version", kTagInstallSource = "InstallSource",
                           kTagComponentID = "ComponentID", kTagSupportedOS = "SupportedOS", kTagOptions = "Options",
                           kTagDevices = "SupportedDevices", kTagDevice = "Device", kTagOS = "OS",
                           kTagHardwareID = "HardwareID", kTagDescription = "Description", kTagText = "Text",
                           kTagFlags = "Flags";

OVOSoftwareDriver::_SupportedDevice ReadDevice(OFLXMLParser& p) {
  OVOSoftwareDriver::_SupportedDevice d;
  p.IntoElem();
  ForEachChild(p, [&d](std::string_view tag, OFLXMLParser& q) {
    if (OFL::EqualsNoCase(tag, kTagOS)) d.os = OFLTools::AToULL(q.GetChildDataView());
    else if (OFL::EqualsNoCase(tag, kTagHardwareID)) d.hardwareId = q.GetChildData();
    else if (OFL::EqualsNoCase(tag, kTagDescription)) d.description = q.GetChildData();
    else if (OFL::EqualsNoCase(tag, kTagText)) d.text = q.GetChildData();
    else if (OFL::EqualsNoCase(tag, kTagFlags)) d.flags = OFLTools::AToUL(q.GetChildDataView());
  });
  p.OutOfElem();
  return d;
}

}  // namespace

OVOSoftwareDriver::OVOSoftwareDriver() : OVOPassThroughObject(CatalogueEntryFor("OVOSoftwareDriver")) {}

OVOSoftwareDriver::OVOSoftwareDriver(const String& text) : OVOSoftwareDriver() {
  if (!text.empty()) Unpack(text);
}

bool OVOSoftwareDriver::operator==(const OVOSoftwareDriver& o) const {
  return guid_ == o.guid_ && type_ == o.type_ && vendor_ == o.vendor_ && name_ == o.name_ &&
         version_ == o.version_ && installSource_ == o.installSource_ && componentId_ == o.componentId_ &&
         supportedOS_ == o.supportedOS_ && options_ == o.options_ && devices_ == o.devices_ && ChildrenEqual(o);
}

void OVOSoftwareDriver::AddSupportedDevice(uint64_t os, String hardwareId, String description, String text,
                                           uint32_t flags) {
  devices_.push_back({os, std::move(hardwareId), std::move(description), std::move(text), flags});
}

const OVOSoftwareDriver::_SupportedDevice* OVOSoftwareDriver::FindSupportedDevice(uint64_t os,
                                                                                  const OFLDeviceInfo* device,
                                                                                  size_t start) const {
  if (device == nullptr || !device->IsValid()) return nullptr;
  for (size_t i = start; i < devices_.size(); ++i) {
    const _SupportedDevice& d = devices_[i];
    if ((d.os & os) != 0 && OFLDeviceInfo(d.hardwareId).Matches(*device)) return &d;
  }
  return nullptr;
}

void OVOSoftwareDriver::PackKnownChildren(String& out) const {
  OFLTools::AppendXMLNode(out, kTagGUID, guid_);
  OFLTools::AppendXMLNode(out, kTagType, type_);
  OFLTools::AppendXMLNode(out, kTagVendor, vendor_);
  OFLTools::AppendXMLNode(out, kTagName, name_);
  OFLTools::AppendXMLNode(out, kTagVersion, version_);
  OFLTools::AppendXMLNode(out, kTagInstallSource, installSource_);
  OFLTools::AppendXMLNode(out, kTagComponentID, componentId_);
  OFLTools::AppendXMLNode(out, kTagSupportedOS, supportedOS_);
  OFLTools::AppendXMLNode(out, kTagOptions, options_);
  OFLTools::AppendXMLTag(out, kTagDevices);
  for (const _SupportedDevice& d : devices_) {
    OFLTools::AppendXMLTag(out, kTagDevice);
    OFLTools::AppendXMLNode(out, kTagOS, d.os);
    OFLTools::AppendXMLNode(out, kTagHardwareID, d.hardwareId);
    OFLTools::AppendXMLNode(out, kTagDescription, d.description);
    OFLTools::AppendXMLNode(out, kTagText, d.text);
    OFLTools::AppendXMLNode(out, kTagFlags, d.flags);
    OFLTools::AppendXMLTag(out, kTagDevice, true);
  }
  OFLTools::AppendXMLTag(out, kTagDevices, true);
}

bool OVOSoftwareDriver::UnpackKnownChild(const String& tag, OFLXMLParser& p) {
  String* text = OFL::EqualsNoCase(tag, kTagGUID)            ? &guid_
                 : OFL::EqualsNoCase(tag, kTagType)          ? &type_
                 : OFL::EqualsNoCase(tag, kTagVendor)        ? &vendor_
                 : OFL::EqualsNoCase(tag, kTagName)          ? &name_
                 : OFL::EqualsNoCase(tag, kTagVersion)       ? &version_
                 : OFL::EqualsNoCase(tag, kTagInstallSource) ? &installSource_
                 : OFL::EqualsNoCase(tag, kTagComponentID)   ? &componentId_
                                                             : nullptr;
  if (text != nullptr) {
    *text = p.GetChildData();
  } else if (OFL::EqualsNoCase(tag, kTagSupportedOS)) {
    supportedOS_ = OFLTools::AToULL(p.GetChildDataView());
  } else if (OFL::EqualsNoCase(tag, kTagOptions)) {
    options_ = OFLTools::AToUL(p.GetChildDataView());
  } else if (OFL::EqualsNoCase(tag, kTagDevices)) {
    p.IntoElem();
    ForEachChild(p, [this](std::string_view t, OFLXMLParser& q) {
      if (OFL::EqualsNoCase(t, kTagDevice)) devices_.push_back(ReadDevice(q));
    });
    p.OutOfElem();
  } else {
    return false;
  }
  return true;
}

void OVOSoftwareDriver::InternalClear() {
  OVOPassThroughObject::InternalClear();
  guid_.clear(), type_.clear(), vendor_.clear(), name_.clear(), version_.clear();
  installSource_.clear(), componentId_.clear();
  supportedOS_ = 0;
  options_ = 0;
  devices_.clear();
}

OVOSoftwareDriverList::~OVOSoftwareDriverList() { DeleteObjects(); }

OVOSoftwareDriver* OVOSoftwareDriverList::FindEntryByGUID(const String& guid) const {
  for (OVOSoftwareDriver* d : *this)
    if (d != nullptr && OFL::EqualsNoCase(d->GetGUID(), guid)) return d;
  return nullptr;
}

void OVOSoftwareDriverList::DeleteObjects() {
  for (OVOSoftwareDriver* d : *this) delete d;
  RemoveAll();
}

}  // namespace orvacmn
