// UpdateSystemProperties: a bag of changed properties applied to a system.
#include <memory>
#include <vector>

#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/server/client_mgmt_helper.h"
#include "report_fields.h"

namespace orvacmn {
namespace {

using report::Field;
using report::Kind;

// Replaces the components by those of a joined list of packed components;
// a list that does not read leaves them as they are.
void ReplaceComponents(OVOSystem& system, const String& joined) {
  static constexpr char kTag[] = "InstalledComponent";
  OFLXMLParser parser;
  if (!parser.SetDoc("<List>" + joined + "</List>") || !parser.FindElem()) return;
  std::vector<std::unique_ptr<OVOHardwareInstalledComponent>> read;
  OFLXMLParser child;
  while (parser.FindChildElem()) {
    if (!parser.ChildTagIs(kTag)) continue;
    auto component = std::make_unique<OVOHardwareInstalledComponent>();
    child.SetDocFromChild(parser);
    component->UnpackLoaded(child);
    component->SetGUIDSystem(system.GetGuid());
    read.push_back(std::move(component));
  }
  OVOHardwareInstalledComponentList& components = system.GetInstalledComponents();
  components.DeleteObjects();
  for (auto& c : read) components.AddTail(c.release());
}

void SetMask(OVOSystem& system, const String& value) {
  OFLIP mask;
  if (!mask.Set(value) && !ClientMgmtHelper::TryResolveIpToSubnetmask(value, system.GetPrimaryIP(), mask)) return;
  if (!mask.IsEmpty() && mask.IsNetmask()) system.SetPrimarySubnetMask(mask);
}

void SetTime(OVOSystem& system, int which, const String& value) {
  if (!report::IsTimeText(value)) return;
  const CTime t = value.empty() ? 0 : OVOHelper::DBTimeToCTime(value);
  if (which == 0) system.LastBoot(t);
  else if (which == 1) system.WolSent(t);
  else system.DoNotDisturbUntil(t);
}

void Apply(OVOSystem& system, const Field& f, const String& value, CConfiguration::EIPUpdateMode ipUpdateMode) {
  switch (f.kind) {
    case Kind::kNumber:
      if (const auto v = report::ReadUnsigned(value))
        system.SetNumber(static_cast<OVOSystem::ENumberField>(f.index), *v);
      break;
    case Kind::kDrive:
      if (const auto v = report::ReadSaturated(value))
        system.SetNumber(static_cast<OVOSystem::ENumberField>(f.index), *v);
      break;
    case Kind::kSecurity:
      if (const auto v = report::ReadUnsigned(value)) system.*report::kSecurityStates[f.index] = *v;
      break;
    case Kind::kWide:
      if (const auto v = report::ReadSigned(value)) system.SetWide(static_cast<OVOSystem::EWideField>(f.index), *v);
      break;
    case Kind::kText:
      if (report::IsText(value)) system.SetText(static_cast<OVOSystem::ETextField>(f.index), value);
      break;
    case Kind::kSecurityUser:
      if (report::IsText(value)) system.SecurityCenterUser = value;
      break;
    case Kind::kFree:
      if (report::IsText(value)) system.GetProperties().SetProperty(f.free, value, true);
      break;
    case Kind::kTime: SetTime(system, f.index, value); break;
    case Kind::kMask:
      if (ipUpdateMode == CConfiguration::eIPUpdateSubnetMask) SetMask(system, value);
      break;
    case Kind::kComponents: ReplaceComponents(system, value); break;
  }
}

}  // namespace

void ClientMgmtHelper::UpdateSystemProperties(OVOSystem& system, const OVOProperties& bag,
                                              CConfiguration::EIPUpdateMode ipUpdateMode) {
  for (const OVOProperties::_PropertyEntry& entry : bag)
    if (const Field* f = report::FindField(entry.name)) Apply(system, *f, entry.value, ipUpdateMode);
}

}  // namespace orvacmn
