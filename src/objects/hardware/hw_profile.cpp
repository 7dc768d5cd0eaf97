#include "orvacmn/hardware/hw_profile.h"

#include <memory>

#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "ofl/format.h"
#include "orvacmn/hardware/display_settings.h"
#include "orvacmn/system/system.h"

namespace orvacmn {
namespace {

constexpr char kTagGUID[] = "GUID";
constexpr char kTagOrgUnit[] = "OrgUnit";
constexpr char kTagName[] = "Name";
constexpr char kTagVendor[] = "Vendor";
constexpr char kTagModel[] = "Model";
constexpr char kTagCPUType[] = "CPUType";
constexpr char kTagComment[] = "Comment";
constexpr char kTagCPUSpeed[] = "CPUSpeed";
constexpr char kTagMemory[] = "Memory";
constexpr char kTagOptions[] = "Options";
constexpr char kTagDriverPath[] = "DriverPath";

using P = OVOHardwareHWProfile;
using C = OVOHardwareInstalledComponent;

void UnpackNested(OVOXMLSupport& nested, OFLXMLParser& parser) {
  nested.Clear();
  nested.Unpack(parser);
}

}  // namespace

OVOHardwareHWProfile::OVOHardwareHWProfile() : OVOXMLSupport(CatalogueEntryFor("OVOHardwareHWProfile")) {
  vars_.SetScope(kVarsScope);
}

OVOHardwareHWProfile::OVOHardwareHWProfile(const String& text) : OVOHardwareHWProfile() {
  if (!text.empty()) Unpack(text);
}

OVOHardwareHWProfile::OVOHardwareHWProfile(const OVOHardwareHWProfile& other) : OVOXMLSupport(other) {
  CopyFrom(other);
}

OVOHardwareHWProfile& OVOHardwareHWProfile::operator=(const OVOHardwareHWProfile& other) {
  if (this != &other) {
    OVOXMLSupport::operator=(other);
    CopyFrom(other);
  }
  return *this;
}

OVOHardwareHWProfile::~OVOHardwareHWProfile() = default;

void OVOHardwareHWProfile::CopyFrom(const OVOHardwareHWProfile& other) {
  guid_ = other.guid_;
  orgUnit_ = other.orgUnit_;
  name_ = other.name_;
  vendor_ = other.vendor_;
  model_ = other.model_;
  cpuType_ = other.cpuType_;
  comment_ = other.comment_;
  cpuSpeed_ = other.cpuSpeed_;
  memory_ = other.memory_;
  options_ = other.options_;
  driverPath_ = other.driverPath_;
  components_.DeleteObjects();
  for (const OVOHardwareInstalledComponent* c : other.components_)
    if (c != nullptr) components_.TransferAddTail(new OVOHardwareInstalledComponent(*c));
  properties_ = other.properties_;
  vars_ = other.vars_;
  spv_ = other.spv_;
  rights_ = other.rights_;
}

bool OVOHardwareHWProfile::operator==(const OVOHardwareHWProfile& other) const { return Pack() == other.Pack(); }

String OVOHardwareHWProfile::Pack() const {
  if (!IsExactly<P>()) return OVOXMLSupport::Pack();
  String out;
  AppendPack(out);
  return out;
}

void OVOHardwareHWProfile::AppendPack(String& out) const {
  if (!IsExactly<P>()) {
    out += Pack();
    return;
  }
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendFields(out);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

String OVOHardwareHWProfile::InternalPack() const {
  String out;
  AppendFields(out);
  return out;
}

void OVOHardwareHWProfile::AppendFields(String& out) const {
  OFLTools::AppendXMLNode(out, kTagGUID, guid_);
  OFLTools::AppendXMLNode(out, kTagOrgUnit, orgUnit_);
  OFLTools::AppendXMLNode(out, kTagName, name_);
  OFLTools::AppendXMLNode(out, kTagVendor, vendor_);
  OFLTools::AppendXMLNode(out, kTagModel, model_);
  OFLTools::AppendXMLNode(out, kTagCPUType, cpuType_);
  OFLTools::AppendXMLNode(out, kTagComment, comment_);
  OFLTools::AppendXMLNode(out, kTagCPUSpeed, cpuSpeed_);
  OFLTools::AppendXMLNode(out, kTagMemory, memory_);
  OFLTools::AppendXMLNode(out, kTagOptions, options_);
  OFLTools::AppendXMLNode(out, kTagDriverPath, driverPath_);
  for (const OVOHardwareInstalledComponent* c : components_)
    if (c != nullptr) c->AppendPack(out);
  properties_.AppendPack(out);
  vars_.AppendPack(out);
  spv_.AppendPack(out);
  rights_.AppendPack(out);
}

void OVOHardwareHWProfile::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    auto is = [&tag](std::string_view t) { return OFL::EqualsNoCase(tag, t); };
    if (is(kTagGUID)) guid_ = p.GetChildData();
    else if (is(kTagOrgUnit)) orgUnit_ = p.GetChildData();
    else if (is(kTagName)) name_ = p.GetChildData();
    else if (is(kTagVendor)) vendor_ = p.GetChildData();
    else if (is(kTagModel)) model_ = p.GetChildData();
    else if (is(kTagCPUType)) cpuType_ = p.GetChildData();
    else if (is(kTagComment)) comment_ = p.GetChildData();
    else if (is(kTagCPUSpeed)) cpuSpeed_ = OFLTools::AToUL(p.GetChildDataView());
    else if (is(kTagMemory)) memory_ = OFLTools::AToUL(p.GetChildDataView());
    else if (is(kTagOptions)) options_ = OFLTools::AToUL(p.GetChildDataView());
    else if (is(kTagDriverPath)) driverPath_ = p.GetChildData();
    else if (is(properties_.GetObjectName())) UnpackNested(properties_, p);
    else if (is(vars_.GetObjectName())) UnpackNested(vars_, p);
    else if (is(spv_.GetObjectName())) UnpackNested(spv_, p);
    else if (is(rights_.GetObjectName())) UnpackNested(rights_, p);
    else if (is("InstalledComponent")) {
      auto component = std::make_unique<OVOHardwareInstalledComponent>();
      component->Unpack(p);
      components_.TransferAddTail(component.release());
    }
  });
}

void OVOHardwareHWProfile::Clear() {
  // Vendor, Model, CPUType and Comment are kept.
  guid_.clear();
  orgUnit_.clear();
  name_.clear();
  driverPath_.clear();
  cpuSpeed_ = 0;
  memory_ = 0;
  options_ = 0;
  components_.DeleteObjects();
  vars_.Clear();
  vars_.SetScope(kVarsScope);
  properties_.Clear();
  spv_.DeleteList();
  rights_.Clear();
}

String OVOHardwareHWProfile::GetKey() const {
  OFLTokenizer key;
  key.AddString(guid_);
  return key.AsLengthPackedString();
}

int OVOHardwareHWProfile::ContainsDevice(const String& deviceString) const {
  const OFLDeviceInfo device(deviceString);
  for (const OVOHardwareInstalledComponent* c : components_)
    if (c != nullptr && c->GetDeviceInfo().Matches(device)) return 1;
  return 0;
}

int32_t OVOHardwareHWProfile::GetComponentCount(const String& type) const {
  int32_t count = 0;
  for (const OVOHardwareInstalledComponent* c : components_)
    if (c != nullptr && c->GetType() == type) ++count;
  return count;
}

OVOHardwareInstalledComponent* OVOHardwareHWProfile::GetComponent(const String& type, int32_t index) const {
  for (OVOHardwareInstalledComponent* c : components_)
    if (c != nullptr && c->GetType() == type && index-- == 0) return c;
  return nullptr;
}

int OVOHardwareHWProfile::GetDisplaySettings(int32_t& width, int32_t& height, int32_t& depth,
                                             int32_t& frequency) const {
  OVOHardwareDisplaySettings::FromProfileProperties(properties_, width, height, depth, frequency);
  return 1;
}

uint32_t OVOHardwareHWProfile::GetMatchingCriterias(const OVOSystem& system) const {
  // Network cards, graphics cards, other devices.
  uint64_t matching[3] = {0, 0, 0};
  uint64_t owned[3] = {0, 0, 0};
  for (const OVOHardwareInstalledComponent* c : components_) {
    if (c == nullptr) continue;
    const size_t kind = c->GetType() == C::kTypeNetcard ? 0 : c->GetType() == C::kTypeGfxcard ? 1 : 2;
    ++owned[kind];
    if (!c->GetDeviceInfo().IsValid()) continue;
    if (!system.ContainsDetectedDevice(c->GetDeviceInfo().GetDeviceString())) return 0;
    ++matching[kind];
  }
  uint64_t score = 100 * (matching[0] + matching[1] + matching[2]);
  const uint32_t autoOptions[3] = {kOptionAutoNetcards, kOptionAutoGfxcards, kOptionAutoOther};
  const uint64_t detected[3] = {static_cast<uint64_t>(system.GetDetectedNetcardCount()),
                                static_cast<uint64_t>(system.GetDetectedGfxcardCount()),
                                static_cast<uint64_t>(system.GetDetectedOtherComponentCount())};
  for (size_t kind = 0; kind < 3; ++kind)
    if ((options_ & autoOptions[kind]) != 0 && detected[kind] > owned[kind]) score += detected[kind] - owned[kind];
  return score > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(score);
}

// OVOHardwareHWProfileList

OVOHardwareHWProfileList::~OVOHardwareHWProfileList() { DeleteObjects(); }

void OVOHardwareHWProfileList::DeleteObjects() {
  while (!IsEmpty()) delete RemoveHead();
}

OVOHardwareHWProfile* OVOHardwareHWProfileList::FindBestMatchingHardwareProfile(const OVOSystem& system,
                                                                                const OVOGroupProfileRules* group,
                                                                                String& log) const {
  String lines;
  OVOHardwareHWProfile* best = nullptr;
  uint32_t bestScore = 0;
  for (OVOHardwareHWProfile* p : *this) {
    if (p == nullptr) continue;
    const OVOGroupProfileRules::EProfileAccess access =
        group == nullptr ? OVOGroupProfileRules::eProfileAllowed : group->GetProfileAccess(p->GetGUID());
    if (access == OVOGroupProfileRules::eProfileNotAllowed) {
      lines += OFLFormat("skipping profile [%s] not allowed\n", p->GetName()).str();
    } else if ((p->GetOptions() & P::kOptionNoAutoSelect) != 0) {
      lines += OFLFormat("skipping profile [%s] autodetect disabled\n", p->GetName()).str();
    } else if (access == OVOGroupProfileRules::eProfileNoEntry) {
      lines += OFLFormat("skipping profile [%s] disallowed\n", p->GetName()).str();
    } else {
      const uint32_t score = p->GetMatchingCriterias(system);
      lines += OFLFormat("profile [%s] matching criterias = %u\n", p->GetName(), score).str();
      if (score > bestScore) {
        best = p;
        bestScore = score;
      }
    }
  }
  log = best != nullptr
            ? OFLFormat("Profile [%s] matches best with matching criterias = %u: ", best->GetName(), bestScore).str()
            : String("No profile matches best: ");
  log += lines;
  return best;
}

}  // namespace orvacmn
