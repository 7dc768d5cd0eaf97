#include "orvacmn/hardware/hardware_component.h"

#include <memory>

#include "ofl/format.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/hardware/display_settings.h"

namespace orvacmn {
namespace {

constexpr char kTagGUID[] = "GUID";
constexpr char kTagOrgUnit[] = "OrgUnit";
constexpr char kTagType[] = "Type";
constexpr char kTagVendor[] = "Vendor";
constexpr char kTagModel[] = "Model";
constexpr char kTagComment[] = "Comment";
constexpr char kTagAutoDetectOS[] = "AutoDetectOS";
constexpr char kTagDeviceInfo[] = "DeviceInfo";
constexpr char kTagPerformAutoLink[] = "PerformAutoLink";

struct TypeText {
  const char* type;
  uint32_t resource;
};
constexpr TypeText kTypeTexts[] = {
    {"NETCARD", 7125}, {"GFXCARD", 7126}, {"HDD", 7127}, {"MONITOR", 7128}, {"OTHER", 7129},
};

using C = OVOHardwareComponent;

// A nested object read where it stands, cleared first as reading its own
// markup would.
void UnpackNested(OVOXMLSupport& nested, OFLXMLParser& parser) {
  nested.Clear();
  nested.Unpack(parser);
}

}  // namespace

OVOHardwareComponent::OVOHardwareComponent() : OVOXMLSupport(CatalogueEntryFor("OVOHardwareComponent")) {
  vars_.SetScope(kVarsScope);
}

OVOHardwareComponent::OVOHardwareComponent(const String& text) : OVOHardwareComponent() {
  if (!text.empty()) Unpack(text);
}

OVOHardwareComponent::OVOHardwareComponent(const OVOHardwareComponent& other) : OVOXMLSupport(other) {
  CopyFrom(other);
}

OVOHardwareComponent& OVOHardwareComponent::operator=(const OVOHardwareComponent& other) {
  if (this != &other) {
    OVOXMLSupport::operator=(other);
    CopyFrom(other);
  }
  return *this;
}

OVOHardwareComponent::~OVOHardwareComponent() = default;

void OVOHardwareComponent::CopyFrom(const OVOHardwareComponent& other) {
  guid_ = other.guid_;
  orgUnit_ = other.orgUnit_;
  type_ = other.type_;
  vendor_ = other.vendor_;
  model_ = other.model_;
  comment_ = other.comment_;
  autoDetectOS_ = other.autoDetectOS_;
  device_ = other.device_;
  drivers_.DeleteObjects();
  for (const OVOSoftwareDriver* d : other.drivers_)
    if (d != nullptr) drivers_.TransferAddTail(new OVOSoftwareDriver(*d));
  properties_ = other.properties_;
  spv_ = other.spv_;
  vars_ = other.vars_;
  rights_ = other.rights_;
  performAutoLink_ = other.performAutoLink_;
}

bool OVOHardwareComponent::operator==(const OVOHardwareComponent& other) const { return Pack() == other.Pack(); }

String OVOHardwareComponent::Pack() const {
  if (!IsExactly<C>()) return OVOXMLSupport::Pack();
  String out;
  AppendPack(out);
  return out;
}

void OVOHardwareComponent::AppendPack(String& out) const {
  if (!IsExactly<C>()) {
    out += Pack();
    return;
  }
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendFields(out);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

String OVOHardwareComponent::InternalPack() const {
  String out;
  AppendFields(out);
  return out;
}

void OVOHardwareComponent::AppendFields(String& out) const {
  OFLTools::AppendXMLNode(out, kTagGUID, guid_);
  OFLTools::AppendXMLNode(out, kTagOrgUnit, orgUnit_);
  OFLTools::AppendXMLNode(out, kTagType, type_);
  OFLTools::AppendXMLNode(out, kTagVendor, vendor_);
  OFLTools::AppendXMLNode(out, kTagModel, model_);
  OFLTools::AppendXMLNode(out, kTagComment, comment_);
  OFLTools::AppendXMLNode(out, kTagAutoDetectOS, autoDetectOS_);
  OFLTools::AppendXMLNode(out, kTagDeviceInfo, device_.GetDeviceString());
  for (const OVOSoftwareDriver* d : drivers_)
    if (d != nullptr) d->AppendPack(out);
  properties_.AppendPack(out);
  spv_.AppendPack(out);
  vars_.AppendPack(out);
  rights_.AppendPack(out);
  OFLTools::AppendXMLNode(out, kTagPerformAutoLink, performAutoLink_);
}

void OVOHardwareComponent::InternalUnpack(OFLXMLParser& parser) {
  constexpr std::string_view driverTag = CatalogueEntryFor("OVOSoftwareDriver").objectName;
  ForEachChild(parser, [this, driverTag](const String& tag, OFLXMLParser& p) {
    auto is = [&tag](std::string_view t) { return OFL::EqualsNoCase(tag, t); };
    if (is(kTagGUID)) guid_ = p.GetChildData();
    else if (is(kTagOrgUnit)) orgUnit_ = p.GetChildData();
    else if (is(kTagType)) type_ = p.GetChildData();
    else if (is(kTagVendor)) vendor_ = p.GetChildData();
    else if (is(kTagModel)) model_ = p.GetChildData();
    else if (is(kTagComment)) comment_ = p.GetChildData();
    else if (is(kTagAutoDetectOS)) autoDetectOS_ = OFLTools::AToLL(p.GetChildDataView());
    else if (is(kTagDeviceInfo)) device_.SetDeviceString(p.GetChildDataView());
    else if (is(kTagPerformAutoLink)) performAutoLink_ = OFLTools::AToUL(p.GetChildDataView());
    else if (is(properties_.GetObjectName())) UnpackNested(properties_, p);
    else if (is(spv_.GetObjectName())) UnpackNested(spv_, p);
    else if (is(vars_.GetObjectName())) UnpackNested(vars_, p);
    else if (is(rights_.GetObjectName())) UnpackNested(rights_, p);
    else if (is(driverTag)) {
      auto driver = std::make_unique<OVOSoftwareDriver>();
      driver->Unpack(p);
      drivers_.TransferAddTail(driver.release());
    }
  });
}

void OVOHardwareComponent::Clear() {
  guid_.clear();
  orgUnit_.clear();
  type_.clear();
  vendor_.clear();
  model_.clear();
  comment_.clear();
  autoDetectOS_ = 0;
  performAutoLink_ = 0;
  device_.Reset();
  drivers_.DeleteObjects();
  properties_.Clear();
  spv_.DeleteList();
  vars_.Clear();
  vars_.SetScope(kVarsScope);
  rights_.Clear();
}

String OVOHardwareComponent::GetKey() const {
  OFLTokenizer key;
  key.AddString(guid_);
  return key.AsLengthPackedString();
}

String OVOHardwareComponent::GetDisplayName() const { return vendor_ + " " + model_; }

String OVOHardwareComponent::TranslateTypeToDisplayString(const String& type) {
  for (const TypeText& t : kTypeTexts)
    if (type == t.type) return OFLTools::LoadResString(t.resource);
  return "Unknown";
}

void OVOHardwareComponent::GetDriver(uint64_t os, OVOSoftwareDriverList& list) const {
  for (const OVOSoftwareDriver* d : drivers_) {
    if (d == nullptr || !OVOHelper::IsOSSupported(d->GetSupportedOS(), os)) continue;
    list.TransferAddTail(new OVOSoftwareDriver(*d));
    if ((d->GetOptions() & OVOSoftwareDriver::kOptionExclusive) != 0) break;
  }
}

bool OVOHardwareComponent::UpdateDisplaynameFromPCIDevice(const OVOPCIDevice& pciDevice, const String& suffix) {
  const String model = suffix.empty() ? pciDevice.GetDeviceName()
                                      : OFLFormat("%s [%s]", pciDevice.GetDeviceName(), suffix).str();
  const bool changed = vendor_ != pciDevice.GetVendorName() || model_ != model;
  vendor_ = pciDevice.GetVendorName();
  model_ = model;
  return changed;
}

int OVOHardwareComponent::GetDisplaySettingsFromProperties(const OVO::Properties& properties, int32_t& width,
                                                           int32_t& height, int32_t& depth, int32_t& frequency) {
  return OVOHardwareDisplaySettings::FromProperties(properties, width, height, depth, frequency);
}

uint64_t OVOHardwareComponent::PerformAutolink(uint64_t wanted, const OVOSoftwareDriverList& candidates,
                                               OVOSoftwareDriverList& out) const {
  const OS_TYPE* table = OVOHelper::GetOSTypesPtr();
  uint64_t known = 0;
  for (const OS_TYPE* row = table; row->shortName != nullptr; ++row)
    if (row->flag != 0) known |= row->type;

  uint64_t remaining = wanted;
  uint64_t found = 0;
  for (const OVOSoftwareDriver* d : candidates) {
    if ((remaining & known) == 0) break;
    if (d == nullptr) continue;
    for (const OS_TYPE* row = table; row->shortName != nullptr; ++row) {
      if (row->flag == 0 || (row->type & remaining) == 0) continue;
      if (d->FindSupportedDevice(row->type, &device_, 0) == nullptr) continue;
      found |= d->GetSupportedOS();
      remaining &= ~d->GetSupportedOS();
      out.TransferAddTail(new OVOSoftwareDriver(*d));
      break;
    }
  }
  return found;
}

// OVOHardwareComponentList

OVOHardwareComponentList::~OVOHardwareComponentList() { DeleteObjects(); }

OVOHardwareComponent* OVOHardwareComponentList::Find(const String& guid) const {
  for (OVOHardwareComponent* c : *this)
    if (c != nullptr && OFL::EqualsNoCase(c->GetGUID(), guid)) return c;
  return nullptr;
}

void OVOHardwareComponentList::DeleteObjects() {
  while (!IsEmpty()) delete RemoveHead();
}

}  // namespace orvacmn
