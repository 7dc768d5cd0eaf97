// The device report of a client against the hardware profiles of the object
// store: the profile choice and the components kept, removed and set up.
#include "orvacmn/drivers/hardware_updater.h"

#include <memory>
#include <set>
#include <unordered_map>

#include "hardware_updater_pass.h"
#include "ofl/format.h"
#include "ofl/hash_sha1.h"
#include "ofl/string.h"
#include "ofl/tokenizer.h"
#include "orvacmn/directory/group.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/persistence/db_access.h"

namespace orvacmn {

namespace hardware_update {

bool Manages(const OVOHardwareHWProfile& profile, const String& type) {
  using IC = OVOHardwareInstalledComponent;
  const uint32_t option = type == IC::kTypeNetcard   ? OVOHardwareHWProfile::kOptionAutoNetcards
                          : type == IC::kTypeGfxcard ? OVOHardwareHWProfile::kOptionAutoGfxcards
                          : type == IC::kTypeOther   ? OVOHardwareHWProfile::kOptionAutoOther
                                                     : 0;
  return (profile.GetOptions() & option) != 0;
}

String PartsKey(const OFLDeviceInfo& d) {
  String key = OFL::String(OFLDeviceInfo::GetBusName(d.GetBus())) + "|" + d.GetVendor();
  const auto add = [&key](bool has, uint32_t value) { key += has ? OFLFormat("|%X", value).str() : String("|-"); };
  add(true, d.GetDevice());
  add(d.HasSubsystem(), d.GetSubsystem());
  add(d.HasRevision(), d.GetRevision());
  add(d.HasClassCode(), d.GetClassCode());
  add(d.HasProgIf(), d.GetProgIf());
  add(d.HasFunction(), d.GetFunction());
  add(d.HasInterface(), d.GetInterface());
  return key;
}

}  // namespace hardware_update

namespace {

using namespace hardware_update;  // NOLINT
using IC = OVOHardwareInstalledComponent;
using L = OVO::ILogger;

// Display settings of new graphics cards the profile does not give.
constexpr char kDefaultResolution[] = "1024 x 768";
constexpr char kDefaultColor[] = "High Color (16 bit)";
constexpr uint32_t kDefaultFrequency = 75;

// A group's allowed profiles by GUID, so that a choice among many profiles
// reads each entry once.
class IndexedProfileRules : public OVOGroupProfileRules {
 public:
  explicit IndexedProfileRules(const OVOGroup& group) {
    for (const OVOGroup::_AllowedEntry& e : group.GetAllowedEntries())
      access_.emplace(OFL::ToLower(e.profileGUID), e.allowed ? eProfileAllowed : eProfileNotAllowed);
  }
  EProfileAccess GetProfileAccess(const String& profileGUID) const override {
    const auto at = access_.find(OFL::ToLower(profileGUID));
    return at == access_.end() ? eProfileNoEntry : at->second;
  }

 private:
  std::unordered_map<String, EProfileAccess> access_;  // the first entry of each profile
};

String DevicesHash(const OVOSystem& system, const String& report) {
  return OFL::HashSha1::HashString(system.GetText(OVOSystem::eGUIDHWProfile) + "#" + report);
}

}  // namespace

HardwareAndPNPUpdater::Pass::Pass(OVOSystem& s) : system(s) {
  for (IC* c : system.GetInstalledComponents()) {
    if (c == nullptr) continue;
    byComponent.emplace(OFL::ToLower(c->GetGUIDComponent()), c);
    if (c->GetDeviceInfo().IsValid()) byDevice.emplace(PartsKey(c->GetDeviceInfo()), c);
  }
}

HardwareAndPNPUpdater::HardwareAndPNPUpdater(CDBAccess& db, OVO::ILogger& logger, const String& context)
    : db_(&db), logger_(&logger), context_(context) {}

void HardwareAndPNPUpdater::Log(uint32_t level, const String& text) const { logger_->Log(level, context_, text); }

int32_t HardwareAndPNPUpdater::PerformDynamicHardwareUpdate(OVOSystem& system, const String& report) {
  String stored;
  system.GetProperties().GetProperty(kPropDevicesHash, stored);
  if (DevicesHash(system, report) == stored) return S_OK;

  Log(L::kProgress, OFLFormat(kResUpdateStart, system.GetDisplayName()));
  system.SetDetectedDevices(report);
  Log(L::kDetail, "PCI device list");
  for (const OFLDeviceInfo* d : system.GetDetectedDevices())
    if (d != nullptr) Log(L::kDetail, OFLFormat("Device: %s", d->GetDeviceString()));

  OVOHardwareHWProfile profile;
  String error;
  const String& profileGuid = system.GetText(OVOSystem::eGUIDHWProfile);
  if (!profileGuid.empty()) {
    const HRESULT hr = db_->LoadHardwareProfile(profileGuid, profile, error);
    if (FAILED(hr)) {
      Log(L::kError, OFLFormat(kResReadProfileError, profileGuid, error));
      return hr;
    }
  } else {
    const HRESULT hr = FindBestMatchingHardwareProfile(system, profile, error);
    if (FAILED(hr)) {
      Log(L::kError, OFLFormat(kResDetectProfileError, error));
      return hr;
    }
  }
  if (!profile.GetGUID().empty()) {
    const HRESULT hr = PNPUpdateSystem(system, &profile);
    if (FAILED(hr)) return hr;
  }
  system.GetProperties().SetProperty(kPropDevicesHash, DevicesHash(system, report));
  system.SetModified(true);
  return S_OK;
}

HRESULT HardwareAndPNPUpdater::FindBestMatchingHardwareProfile(OVOSystem& system, OVOHardwareHWProfile& profile,
                                                               String& error) {
  // A client outside any group may take any profile.
  OVOGroup group;
  std::unique_ptr<IndexedProfileRules> rules;
  if (!system.GetGUIDGroup().empty()) {
    const HRESULT hr = db_->LoadGroupByGUID(system.GetGUIDGroup(), group, error);
    if (FAILED(hr)) {
      error = OFLFormat(kResReadGroupError, system.GetGUIDGroup(), error).str();
      Log(L::kError, error);
      return hr;
    }
    rules = std::make_unique<IndexedProfileRules>(group);
  }
  OVOHardwareHWProfileList profiles;
  if (const HRESULT hr = db_->LoadHardwareProfiles(profiles, error); FAILED(hr)) {
    error = OFLFormat(kResReadProfilesError, error).str();
    Log(L::kError, error);
    return hr;
  }

  String log;
  const OVOHardwareHWProfile* best = profiles.FindBestMatchingHardwareProfile(system, rules.get(), log);
  // One entry per profile, then the verdict that heads the text.
  const size_t named = best == nullptr ? 0 : best->GetName().size() + 9;  // after "Profile [NAME"
  const size_t headline = log.find(": ", named);
  const String verdict = headline == String::npos ? log : log.substr(0, headline);
  if (headline != String::npos)
    for (const String& line : OFLTokenizer(std::string_view(log).substr(headline + 2), "\n")) Log(L::kTrace, line);
  Log(L::kTrace, OFLFormat("Find best matching hardware profile for client [%s] and group [%s]: %s",
                           system.GetDisplayName(), group.GetName(), verdict));

  if (best == nullptr) {
    Log(L::kProgress, OFLFormat("No Hardware profile found for system [%s]", system.GetDisplayName()));
    profile.Clear();
    profile.SetGUID(String());
    return S_OK;
  }
  system.SetText(OVOSystem::eHWProfile, best->GetName());
  system.SetText(OVOSystem::eGUIDHWProfile, best->GetGUID());
  system.SetModified(true);
  profile = *best;
  Log(L::kProgress, OFLFormat("HW profile set for system [%s] to name [%s], GUID [%s]", system.GetDisplayName(),
                              profile.GetName(), profile.GetGUID()));

  std::set<String> inProfile;
  for (const IC* c : profile.GetComponents())
    if (c != nullptr && !c->GetGUIDComponent().empty()) inProfile.insert(c->GetGUIDComponent());
  OVOHardwareInstalledComponentList& installed = system.GetInstalledComponents();
  for (POSITION pos = installed.GetHeadPosition(); pos != nullptr;) {
    const POSITION at = pos;
    IC* c = installed.GetNext(pos);
    if (c == nullptr || !inProfile.contains(c->GetGUIDComponent())) continue;
    Log(L::kDetail, OFLFormat("Removing component (%s) [%s %s] from system because already in hardware profile",
                              c->GetType(), c->GetVendor(), c->GetModel()));
    installed.RemoveAt(at);
    delete c;
  }
  return S_OK;
}

HRESULT HardwareAndPNPUpdater::PNPUpdateSystem(OVOSystem& system, const OVOHardwareHWProfile* profile) {
  if (profile == nullptr) return S_OK;
  Log(L::kProgress, OFLFormat("Performing PNP update for client [%s] using hardware profile [%s]",
                              system.GetDisplayName(), profile->GetName()));
  OVOHardwareInstalledComponentList& installed = system.GetInstalledComponents();
  for (IC* c : installed)
    if (c != nullptr && Manages(*profile, c->GetType()))
      c->SetState(c->IsAutodetected() ? IC::eStateNotSeen : IC::eStatePresent);

  Pass pass(system);
  std::vector<const OFLDeviceInfo*> wanted;
  std::set<String> seen;
  for (const OFLDeviceInfo* d : system.GetDetectedDevices()) {
    if (d == nullptr) continue;
    const String& text = d->GetDeviceString();
    // Ids without vendor and device name no component.
    if (!d->IsValid() || d->GetVendor().empty()) {
      Log(L::kDetail, OFLFormat("Skipping invalid device [%s]", text));
      continue;
    }
    const String key = PartsKey(*d);
    if (!seen.insert(key).second) {
      Log(L::kDetail, OFLFormat("Skipping duplicate device [%s]", text));
    } else if (profile->ContainsDevice(text)) {
      Log(L::kDetail, OFLFormat("Skipping device [%s] because already present in hardware profile", text));
    } else if (const auto at = pass.byDevice.find(key); at != pass.byDevice.end()) {
      at->second->SetState(IC::eStatePresent);
      Log(L::kDetail, OFLFormat("Skipping device [%s] because already present in system", text));
    } else {
      Log(L::kDetail, OFLFormat("Checking device [%s]", text));
      wanted.push_back(d);
    }
  }
  const HRESULT hr = PNPUpdateComponentList(pass, wanted, profile);
  pass.byComponent.clear();
  pass.byDevice.clear();

  // Gone: automatically detected components not seen in this report. The
  // removed cards are kept in order, for their successors' settings.
  for (POSITION pos = installed.GetHeadPosition(); pos != nullptr;) {
    const POSITION at = pos;
    IC* c = installed.GetNext(pos);
    if (c == nullptr || !c->IsAutodetected() || c->GetState() != IC::eStateNotSeen) continue;
    if (Manages(*profile, c->GetType())) {
      if (c->GetType() == IC::kTypeNetcard) pass.removedNetcards.push_back(c->Pack());
      else if (c->GetType() == IC::kTypeGfxcard) pass.removedGfxcards.push_back(c->Pack());
    }
    c->SetState(IC::eStateRemoved);
    Log(L::kDetail, OFLFormat("Removing component (%s) [%s %s] from system because no longer detected", c->GetType(),
                              c->GetVendor(), c->GetModel()));
    installed.RemoveAt(at);
    delete c;
    system.SetModified(true);
  }
  SetUpNewComponents(pass, *profile);
  return hr;
}

void HardwareAndPNPUpdater::SetUpNewComponents(Pass& pass, const OVOHardwareHWProfile& profile) {
  bool groupRead = false;
  OVOGroup group;
  HRESULT groupStatus = S_OK;
  for (IC* c : pass.system.GetInstalledComponents()) {
    if (c == nullptr || c->GetState() != IC::eStateAdded) continue;
    const bool net = c->GetType() == IC::kTypeNetcard, gfx = c->GetType() == IC::kTypeGfxcard;
    if (!net && !gfx) continue;
    const std::vector<String>& removed = net ? pass.removedNetcards : pass.removedGfxcards;
    const uint32_t number = c->GetNumber();
    if (number >= 1 && number <= removed.size()) {
      c->SetConfigurationFromOldComponent(removed[number - 1]);
    } else if (net) {
      // A client outside any group gets DHCP without further ado.
      if (!groupRead) {
        groupRead = true;
        String error;
        const String& guid = pass.system.GetGUIDGroup();
        groupStatus = guid.empty() ? E_FAIL : db_->LoadGroupByGUID(guid, group, error);
        if (!guid.empty() && FAILED(groupStatus)) Log(L::kError, OFLFormat(kResReadGroupError, guid, error));
      }
      if (FAILED(groupStatus)) {
        c->GetProperties().SetProperty(IC::kPropIP, IC::kDHCP);
      } else {
        const OVOGroupNetSettings settings = group.GetNetSettings();
        c->SetNetSettingsFromGroup(&settings);
      }
    } else {
      String resolution, color;
      uint32_t frequency = kDefaultFrequency;
      const OVO::Properties& p = profile.GetProperties();
      p.GetProperty("VideoResolution", resolution, kDefaultResolution);
      p.GetProperty("VideoColorDepth", color, kDefaultColor);
      p.GetProperty("VideoRefreshRate", frequency, kDefaultFrequency);
      c->GetProperties().SetProperty(IC::kPropMaxResolution, resolution);
      c->GetProperties().SetProperty(IC::kPropColor, color);
      c->GetProperties().SetProperty(IC::kPropMaxFrequency, frequency);
    }
    // The settings taken replace the properties; the mark stays.
    c->GetProperties().SetProperty(IC::kPropAutoDetected, kAutoDetectedValue);
    pass.system.SetModified(true);
  }
}


}  // namespace orvacmn
