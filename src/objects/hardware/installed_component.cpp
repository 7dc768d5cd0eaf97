#include "orvacmn/hardware/installed_component.h"

#include <memory>

#include "ofl/tools.h"
#include "orvacmn/hardware/display_settings.h"
#include "orvacmn/hardware/hardware_component.h"

namespace orvacmn {
namespace {

constexpr char kTagGUID[] = "GUID";
constexpr char kTagGUIDSystem[] = "GUIDSystem";
constexpr char kTagGUIDComponent[] = "GUIDComponent";
constexpr char kTagNumber[] = "Number";
constexpr char kTagType[] = "Type";
constexpr char kTagVendor[] = "Vendor";
constexpr char kTagModel[] = "Model";
constexpr char kTagData[] = "Data";
constexpr char kTagDeviceInfo[] = "DeviceInfo";

using C = OVOHardwareInstalledComponent;

// A nested object read where it stands, cleared first as reading its own
// markup would.
void UnpackNested(OVOXMLSupport& nested, OFLXMLParser& parser) {
  nested.Clear();
  nested.Unpack(parser);
}

}  // namespace

OVOHardwareInstalledComponent::OVOHardwareInstalledComponent()
    : OVOXMLSupport(CatalogueEntryFor("OVOHardwareInstalledComponent")) {}

OVOHardwareInstalledComponent::OVOHardwareInstalledComponent(const String& text) : OVOHardwareInstalledComponent() {
  if (!text.empty()) Unpack(text);
}

OVOHardwareInstalledComponent::~OVOHardwareInstalledComponent() = default;

bool OVOHardwareInstalledComponent::operator==(const OVOHardwareInstalledComponent& other) const {
  return Pack() == other.Pack();
}

String OVOHardwareInstalledComponent::Pack() const {
  if (!IsExactly<C>()) return OVOXMLSupport::Pack();
  String out;
  AppendPack(out);
  return out;
}

void OVOHardwareInstalledComponent::AppendPack(String& out) const {
  if (!IsExactly<C>()) {
    out += Pack();
    return;
  }
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendFields(out);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

String OVOHardwareInstalledComponent::InternalPack() const {
  String out;
  AppendFields(out);
  return out;
}

void OVOHardwareInstalledComponent::AppendFields(String& out) const {
  OFLTools::AppendXMLNode(out, kTagGUID, guid_);
  OFLTools::AppendXMLNode(out, kTagGUIDSystem, guidSystem_);
  OFLTools::AppendXMLNode(out, kTagGUIDComponent, guidComponent_);
  OFLTools::AppendXMLNode(out, kTagNumber, number_);
  OFLTools::AppendXMLNode(out, kTagType, type_);
  OFLTools::AppendXMLNode(out, kTagVendor, vendor_);
  OFLTools::AppendXMLNode(out, kTagModel, model_);
  OFLTools::AppendXMLNode(out, kTagData, data_);
  OFLTools::AppendXMLNode(out, kTagDeviceInfo, device_.GetDeviceString());
  properties_.AppendPack(out);
  spv_.AppendPack(out);
}

void OVOHardwareInstalledComponent::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    auto is = [&tag](const char* t) { return OFL::EqualsNoCase(tag, t); };
    if (is(kTagGUID)) guid_ = p.GetChildData();
    else if (is(kTagGUIDSystem)) guidSystem_ = p.GetChildData();
    else if (is(kTagGUIDComponent)) guidComponent_ = p.GetChildData();
    else if (is(kTagNumber)) number_ = OFLTools::AToUL(p.GetChildDataView());
    else if (is(kTagType)) type_ = p.GetChildData();
    else if (is(kTagVendor)) vendor_ = p.GetChildData();
    else if (is(kTagModel)) model_ = p.GetChildData();
    else if (is(kTagData)) data_ = p.GetChildData();
    else if (is(kTagDeviceInfo)) device_.SetDeviceString(p.GetChildDataView());
    else if (is(properties_.GetObjectName().c_str())) UnpackNested(properties_, p);
    else if (is(spv_.GetObjectName().c_str())) UnpackNested(spv_, p);
  });
}

void OVOHardwareInstalledComponent::Clear() {
  guid_.clear();
  guidSystem_.clear();
  guidComponent_.clear();
  number_ = 0;
  type_.clear();
  vendor_.clear();
  model_.clear();
  data_.clear();
  device_.Reset();
  properties_.Clear();
  spv_.DeleteList();
}

bool OVOHardwareInstalledComponent::IsAutodetected() const { return properties_.HasProperty(kPropAutoDetected); }

void OVOHardwareInstalledComponent::SetConfigurationFromOldComponent(const String& packed) {
  const OVOHardwareInstalledComponent old(packed);
  properties_ = old.properties_;
  spv_ = old.spv_;
}

void OVOHardwareInstalledComponent::SetNetSettingsFromGroup(const OVOGroupNetSettings* group) {
  if (group == nullptr) return;
  properties_.Clear();
  properties_.SetProperty(kPropIP, group->GetIP());
  if (group->GetIP() == kDHCP) return;
  properties_.SetProperty("IP.Netmask", group->GetNetmask());
  properties_.SetProperty("IP.DefGateway", group->GetDefGateway());
  properties_.SetProperty("IP.DNS1", group->GetDNS1());
  properties_.SetProperty("IP.DNS2", group->GetDNS2());
  properties_.SetProperty("IP.DNSDomain", group->GetDNSDomain());
  properties_.SetProperty("IP.WINS1", group->GetWINS1());
  properties_.SetProperty("IP.WINS2", group->GetWINS2());
}

int OVOHardwareInstalledComponent::GetDisplaySettings(int32_t& width, int32_t& height, int32_t& depth,
                                                      int32_t& frequency) const {
  if (type_ != kTypeGfxcard && type_ != kTypeMonitor) return 0;
  return OVOHardwareDisplaySettings::FromProperties(properties_, width, height, depth, frequency);
}

void OVOHardwareInstalledComponent::SetFromComponent(const OVOHardwareComponent& component) {
  guidComponent_ = component.GetGUID();
  type_ = component.GetType();
  vendor_ = component.GetVendor();
  model_ = component.GetModel();
  if (type_ == kTypeGfxcard) {
    static constexpr const char* kDisplay[][2] = {
        {kPropMaxResolution, "1024 x 768"}, {kPropColor, "High Color (16 bit)"}, {kPropMaxFrequency, "75"}};
    for (const auto& [name, fallback] : kDisplay) {
      String value;
      if (!component.GetProperties().GetProperty(name, value)) value = fallback;
      properties_.SetProperty(name, value);
    }
  }
  device_ = component.GetDeviceInfo();
}

// OVOHardwareInstalledComponentList

OVOHardwareInstalledComponentList::~OVOHardwareInstalledComponentList() { DeleteObjects(); }

void OVOHardwareInstalledComponentList::AddFromList(const OVOHardwareInstalledComponentList& other,
                                                    const String& type) {
  if (&other == this) {
    // Copies of the list's own components are appended after them only.
    OVOHardwareInstalledComponentList copies;
    copies.AddFromList(other, type);
    while (!copies.IsEmpty()) TransferAddTail(copies.RemoveHead());
    return;
  }
  for (const OVOHardwareInstalledComponent* c : other) {
    if (c == nullptr || (!type.empty() && c->GetType() != type)) continue;
    auto copy = std::make_unique<OVOHardwareInstalledComponent>(c->Pack());
    TransferAddTail(copy.release());
  }
}

POSITION OVOHardwareInstalledComponentList::FindEntry(const String& guid) const {
  for (auto it = begin(); it != end(); ++it)
    if (*it != nullptr && (*it)->GetGUIDComponent() == guid) return it.position();
  return nullptr;
}

void OVOHardwareInstalledComponentList::DeleteObjects() {
  while (!IsEmpty()) delete RemoveHead();
}

}  // namespace orvacmn
