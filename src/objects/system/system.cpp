// The managed system: its packed text, network identity, options, devices,
// jobs and users. The operating-system name table is in system_os.cpp.
#include "orvacmn/system/system.h"

#include <cinttypes>
#include <cstdio>
#include <memory>
#include <span>
#include <string_view>
#include <unordered_map>

#include "ofl/tag_sequence.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/variables/ovk_vars.h"

namespace orvacmn {
namespace {

using Sys = OVOSystem;

enum class Kind : uint8_t {
  TimeStamp, Text, Number, Wide, MAC, IP, LCID, OSVersion, Drive, Components, Vars, Spv, Rights, Properties,
  KioskJob, AutoInstallJob, AgentState, Modified, Time, PublicKey
};
// When a field is written.
enum class When : uint8_t { Always, IfSet, Never };

// Time fields, by index.
enum { eWolSent, eLastBoot, eDoNotDisturbUntil };
enum { eMAC, eLAA };
enum { eIP, eMask };

constexpr char kTagDriveFree[][11] = {"DriveCFree", "DriveDFree", "DriveEFree"};
// Texts lower than this read as "not set", so a zero time written in any
// zone reads back as zero.
constexpr std::string_view kFirstDBTime = "19700102000000";
constexpr char kSetupAccount[] = "defaultuser0";
constexpr uint32_t kMainUserFollows = 0x8;

// Removes the texts of the old and the new value from a ";" list and puts the
// new one in front.
void UpdateHistory(String& list, const String& oldText, const String& newText) {
  OFLTokenizer items(list, ";");
  for (const String* t : {&oldText, &newText}) {
    if (t->empty()) continue;
    const int32_t at = items.FindString(*t);
    if (at >= 0) items.RemoveAt(at);
  }
  if (!newText.empty()) items.InsertAt(0, newText);
  list = items.AsString(";");
}

CTime ReadTime(std::string_view text) {
  if (text < kFirstDBTime) return 0;
  return OVOHelper::DBTimeToCTime(String(text));
}

}  // namespace

struct OVOSystem::Field {
  std::string_view tag;
  Kind kind;
  int index;
  When when;

  static std::span<const Field> All() {
    using K = Kind;
    using W = When;
    static constexpr Field kFields[] = {
        {"TimeStamp", K::TimeStamp, 0, W::Always},
        {"GUID", K::Text, eGUID, W::Always},
        {"OrgUnit", K::Text, eOrgUnit, W::Always},
        {"DisplayName", K::Text, eDisplayName, W::Always},
        {"HostName", K::Text, eHostName, W::Always},
        {"OVSServer", K::Text, eOVSServer, W::IfSet},
        {"PrimaryMAC", K::MAC, eMAC, W::IfSet},
        {"LogicalMAC", K::MAC, eLAA, W::IfSet},
        {"MACList", K::Text, eMACList, W::Always},
        {"LAAList", K::Text, eLAAList, W::Always},
        {"IPList", K::Text, eIPList, W::Always},
        {"PrimaryIP", K::IP, eIP, W::IfSet},
        {"PrimarySubnetMask", K::IP, eMask, W::IfSet},
        {"GUIDHWProfile", K::Text, eGUIDHWProfile, W::IfSet},
        {"HWProfile", K::Text, eHWProfile, W::IfSet},
        {"Domain", K::Text, eDomain, W::IfSet},
        {"Username", K::Text, eUsername, W::IfSet},
        {"GUIDGroup", K::Text, eGUIDGroup, W::IfSet},
        {"Group", K::Text, eGroup, W::IfSet},
        {"Comment", K::Text, eComment, W::IfSet},
        {"Priority", K::Number, ePriority, W::Always},
        {"PreinstallApp", K::Text, ePreinstallApp, W::IfSet},
        {"PostinstallApp", K::Text, ePostinstallApp, W::IfSet},
        {"CustomStateType", K::Number, eCustomStateType, W::IfSet},
        {"CustomStateChange", K::Wide, eCustomStateChange, W::IfSet},
        {"CustomStateText", K::Text, eCustomStateText, W::IfSet},
        {"BootCounter", K::Number, eBootCounter, W::IfSet},
        {"OSType", K::Wide, eOSType, W::IfSet},
        {"BootMode", K::Text, eBootMode, W::IfSet},
        {"Options", K::Number, eOptions, W::Always},
        {"LastSeen", K::Wide, eLastSeen, W::IfSet},
        {"BootEnvironment", K::Text, eBootEnvironment, W::IfSet},
        {"CPUDesc", K::Text, eCPUDesc, W::IfSet},
        {"CPUType", K::Text, eCPUType, W::IfSet},
        {"CPUSpeed", K::Number, eCPUSpeed, W::IfSet},
        {"CPUCountPhysical", K::Number, eCPUCountPhysical, W::IfSet},
        {"CPUCountLogical", K::Number, eCPUCountLogical, W::IfSet},
        {"CPUCountTotalCores", K::Number, eCPUCountTotalCores, W::IfSet},
        {"TotalMemory", K::Number, eTotalMemory, W::IfSet},
        {"LCID", K::LCID, eLCID, W::IfSet},
        {"Architecture", K::Text, eArchitecture, W::IfSet},
        {"EnergySchemeName", K::Text, eEnergySchemeName, W::IfSet},
        {"EnergySchemeID", K::Text, eEnergySchemeID, W::IfSet},
        {"AgentVersion", K::Text, eAgentVersion, W::IfSet},
        {"OVAInstallPath", K::Text, eOVAInstallPath, W::IfSet},
        {"OSVerString", K::Text, eOSVerString, W::IfSet},
        // The three version numbers go together, written by the first row.
        {"OSVerMajor", K::OSVersion, eOSVerMajor, W::IfSet},
        {"OSVerMinor", K::Number, eOSVerMinor, W::Never},
        {"OSVerBuild", K::Number, eOSVerBuild, W::Never},
        {"OSReleaseId", K::Text, eOSReleaseId, W::IfSet},
        {"OSDisplayVersion", K::Text, eOSDisplayVersion, W::IfSet},
        {"OSServiceBranch", K::Text, eOSServiceBranch, W::IfSet},
        {"FeatureUpdateDelayDays", K::Number, eFeatureUpdateDelayDays, W::Always},
        {"OSPatchLevel", K::Text, eOSPatchLevel, W::IfSet},
        {"OSVerSpMajor", K::Number, eOSVerSpMajor, W::IfSet},
        {"IEVerString", K::Text, eIEVerString, W::IfSet},
        {"LastUser", K::Text, eLastUser, W::IfSet},
        {"CurrentUserSID", K::Text, eCurrentUserSID, W::IfSet},
        // Size and free space go together, written by the size row.
        {"DriveCSize", K::Drive, eDriveCSize, W::IfSet},
        {kTagDriveFree[0], K::Number, eDriveCFree, W::Never},
        {"DriveDSize", K::Drive, eDriveDSize, W::IfSet},
        {kTagDriveFree[1], K::Number, eDriveDFree, W::Never},
        {"DriveESize", K::Drive, eDriveESize, W::IfSet},
        {kTagDriveFree[2], K::Number, eDriveEFree, W::Never},
        {"InstalledComponent", K::Components, 0, W::IfSet},
        {"Vars", K::Vars, 0, W::IfSet},
        {"SPV", K::Spv, 0, W::IfSet},
        {"ObjectRights", K::Rights, 0, W::Always},
        {"Properties", K::Properties, 0, W::IfSet},
        {"KioskJobEntry", K::KioskJob, 0, W::IfSet},
        {"AutoInstallJobEntry", K::AutoInstallJob, 0, W::IfSet},
        {"ClientAgentState", K::AgentState, 0, W::Always},
        {"ClientActivity", K::Text, eClientActivity, W::IfSet},
        {"LastActivityChange", K::Wide, eLastActivityChange, W::Always},
        {"Modified", K::Modified, 0, W::Always},
        {"SaveOptions", K::Number, eSaveOptions, W::Always},
        {"WOLSent", K::Time, eWolSent, W::Always},
        {"LastBoot", K::Time, eLastBoot, W::Always},
        {"PublicKey", K::PublicKey, 0, W::IfSet},
        {"TimezoneOffset", K::Wide, eTimezoneOffset, W::Always},
        {"DoNotDisturbUntil", K::Time, eDoNotDisturbUntil, W::Always},
    };
    return kFields;
  }

  // The field of a child tag (case ignored), or null.
  static const Field* Find(std::string_view tag) {
    static const OFL::TagIndex<Field> index(All());
    return index.Find(tag);
  }
};

// ---- lifecycle ----

OVOSystem::OVOSystem(const String& text) : OVOXMLSupport(CatalogueEntryFor("OVOSystem")) {
  Clear();
  if (!text.empty()) Unpack(text);
}

OVOSystem::OVOSystem(const OVOSystem& other) : OVOXMLSupport(other) {
  Clear();
  Unpack(other.Pack());
}

OVOSystem& OVOSystem::operator=(const OVOSystem& other) {
  if (this != &other) Unpack(other.Pack());
  return *this;
}

OVOSystem::~OVOSystem() { DeleteListDetectedDevices(); }

void OVOSystem::Clear() {
  timeStamp_ = CFileTime::GetCurrentTime();
  for (String& t : text_) t.clear();
  number_.fill(0);
  wide_.fill(0);
  number_[ePriority] = kDefaultPriority;
  number_[eOptions] = kDefaultOptions;
  number_[eFeatureUpdateDelayDays] = kFeatureUpdateDelayNotReported;
  primaryMAC_.Clear();
  logicalMAC_.Clear();
  primaryIP_.Clear();
  primarySubnetMask_.Clear();
  clientAgentState_ = 0;
  modified_ = false;
  wolSent_ = lastBoot_ = doNotDisturbUntil_ = 0;
  FirewallStatus = AutoUpdateStatus = AntiVirusStatus = InternetSettingsStatus = UserAccountControlStatus =
      SecurityCenterStatus = 0;
  SecurityCenterUser.clear();
  DeleteListDetectedDevices();
  resolver_.Reset();  // an address resolved for the previous content is not this client's
  hardwareFreshlyLoaded_ = false;
  components_.DeleteObjects();
  vars_.Clear();
  vars_.SetScope(kVarsScope);
  spv_.Clear();
  rights_.Clear();
  properties_.Clear();
  kioskJobs_.DeleteObjects();
  autoInstallJobs_.DeleteObjects();
  publicKey_.Clear();
}

// ---- packing ----

String OVOSystem::Pack() const {
  String out;
  AppendFields(out);
  return out;
}

void OVOSystem::AppendPack(String& out) const {
  if (!IsExactly<OVOSystem>()) out += Pack();
  else AppendFields(out);
}

void OVOSystem::AppendFields(String& out) const {
  OFLTools::AppendXMLTag(out, GetObjectName());
  for (const Field& f : Field::All()) {
    if (f.when == When::Never) continue;
    const bool always = f.when == When::Always;
    switch (f.kind) {
      case Kind::TimeStamp: {
        char text[24];
        std::snprintf(text, sizeof text, "%" PRIu32 ".%" PRIu32, timeStamp_.GetHigh(), timeStamp_.GetLow());
        OFLTools::AppendXMLNode(out, f.tag, std::string_view(text));
        break;
      }
      case Kind::Text: {
        const String& v = text_[f.index];
        if (f.index == eMACList || f.index == eLAAList || f.index == eIPList) {
          out += OFLTools::MakeXMLNode(f.tag, v, {}, true, true);  // any code page: every non-ASCII escaped
        } else if (always || !v.empty()) {
          OFLTools::AppendXMLNode(out, f.tag, v);
        }
        break;
      }
      case Kind::Number:
        if (always || number_[f.index] != 0) OFLTools::AppendXMLNode(out, f.tag, number_[f.index]);
        break;
      case Kind::Wide:
        if (always || wide_[f.index] != 0) OFLTools::AppendXMLNode(out, f.tag, wide_[f.index]);
        break;
      case Kind::MAC: {
        const OFLMAC& mac = f.index == eMAC ? primaryMAC_ : logicalMAC_;
        if (!mac.IsEmpty()) OFLTools::AppendXMLNode(out, f.tag, mac.GetString(':'));
        break;
      }
      case Kind::IP: {
        const OFLIP& ip = f.index == eIP ? primaryIP_ : primarySubnetMask_;
        if (!ip.IsEmpty()) OFLTools::AppendXMLNode(out, f.tag, ip.GetString());
        break;
      }
      case Kind::LCID: {
        const uint32_t lcid = number_[eLCID];
        if (lcid == 0) break;
        String attrib = "shortname=\"";
        OFLTools::AppendXMLAttributeData(attrib, OVOHelper::LCIDToText(lcid, 0x59));
        attrib += "\" longname=\"";
        OFLTools::AppendXMLAttributeData(attrib, OVOHelper::LCIDToText(lcid, 2));
        attrib += '"';
        out += OFLTools::MakeXMLNode(f.tag, lcid, attrib);
        break;
      }
      case Kind::OSVersion:
        if (number_[eOSVerMajor] || number_[eOSVerMinor] || number_[eOSVerBuild]) {
          OFLTools::AppendXMLNode(out, "OSVerMajor", number_[eOSVerMajor]);
          OFLTools::AppendXMLNode(out, "OSVerMinor", number_[eOSVerMinor]);
          OFLTools::AppendXMLNode(out, "OSVerBuild", number_[eOSVerBuild]);
        }
        break;
      case Kind::Drive:
        if (number_[f.index] > 0) {
          OFLTools::AppendXMLNode(out, f.tag, number_[f.index]);
          OFLTools::AppendXMLNode(out, kTagDriveFree[(f.index - eDriveCSize) / 2], number_[f.index + 1]);
        }
        break;
      case Kind::Components:
        for (const OVOHardwareInstalledComponent* c : components_)
          if (c) c->AppendPack(out);
        break;
      case Kind::Vars:
        if (!vars_.IsEmpty()) vars_.AppendPack(out);
        break;
      case Kind::Spv:
        if (!spv_.IsEmpty()) spv_.AppendPack(out);
        break;
      case Kind::Rights: rights_.AppendPack(out); break;
      case Kind::Properties:
        if (!properties_.IsEmpty()) properties_.AppendPack(out);
        break;
      case Kind::KioskJob:
      case Kind::AutoInstallJob:
        for (const OVOJob* job : f.kind == Kind::KioskJob ? kioskJobs_ : autoInstallJobs_)
          if (job) OFLTools::AppendXMLNode(out, f.tag, job->Pack());
        break;
      case Kind::AgentState: OFLTools::AppendXMLNode(out, f.tag, clientAgentState_); break;
      case Kind::Modified: OFLTools::AppendXMLNode(out, f.tag, std::string_view(modified_ ? "1" : "0")); break;
      case Kind::Time: {
        const CTime t = f.index == eWolSent ? wolSent_ : f.index == eLastBoot ? lastBoot_ : doNotDisturbUntil_;
        OFLTools::AppendXMLNode(out, f.tag, OVOHelper::CTimeToDBTime(t));
        break;
      }
      case Kind::PublicKey:
        if (publicKey_.IsSet()) publicKey_.AppendPack(out);
        break;
    }
  }
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

String OVOSystem::SmallPack() const {
  static constexpr std::string_view kAlways[] = {"TimeStamp", "GUID", "OrgUnit", "DisplayName",
                                                 "HostName",  "WOLSent", "LastBoot"};
  static constexpr std::string_view kIfSet[] = {"Domain",       "Comment",  "LastSeen",
                                                "AgentVersion", "LastUser", "CurrentUserSID"};
  // The same rows as the full text, each under its full-text rule.
  OVOSystem::Field rows[std::size(kAlways) + std::size(kIfSet)];
  size_t n = 0;
  for (std::string_view tag : kAlways) rows[n++] = *Field::Find(tag);
  for (std::string_view tag : kIfSet) rows[n++] = *Field::Find(tag);
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  for (const Field& f : rows) {
    switch (f.kind) {
      case Kind::TimeStamp: {
        char text[24];
        std::snprintf(text, sizeof text, "%" PRIu32 ".%" PRIu32, timeStamp_.GetHigh(), timeStamp_.GetLow());
        OFLTools::AppendXMLNode(out, f.tag, std::string_view(text));
        break;
      }
      case Kind::Text:
        if (f.when == When::Always || !text_[f.index].empty()) OFLTools::AppendXMLNode(out, f.tag, text_[f.index]);
        break;
      case Kind::Wide:
        if (wide_[f.index] != 0) OFLTools::AppendXMLNode(out, f.tag, wide_[f.index]);
        break;
      case Kind::Time:
        OFLTools::AppendXMLNode(out, f.tag, OVOHelper::CTimeToDBTime(f.index == eWolSent ? wolSent_ : lastBoot_));
        break;
      default: break;
    }
  }
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

// ---- unpacking ----

int OVOSystem::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  return UnpackLoaded(parser);
}

int OVOSystem::UnpackLoaded(OFLXMLParser& loaded) {
  Clear();
  if (!loaded.FindElem(GetObjectName().c_str())) return 0;
  ReadFields(loaded);
  return 1;
}

void OVOSystem::ReadFields(OFLXMLParser& parser) {
  OFLXMLParser scratch;  // reads nested objects where they stand
  ForEachChild(parser, [&](const String& tag, OFLXMLParser& p) {
    if (const Field* f = Field::Find(tag)) ReadField(*f, p, scratch);
  });
}

void OVOSystem::ReadField(const Field& f, OFLXMLParser& p, OFLXMLParser& scratch) {
  const auto nested = [&](OVOXMLSupport& object) {
    scratch.SetDocFromChild(p);
    object.UnpackLoaded(scratch);
  };
  const std::string_view v = p.GetChildDataView();
  switch (f.kind) {
    case Kind::TimeStamp: {
      const size_t dot = v.find('.');
      timeStamp_ = dot == std::string_view::npos
                       ? CFileTime()
                       : CFileTime(OFLTools::AToUL(v.substr(0, dot)), OFLTools::AToUL(v.substr(dot + 1)));
      break;
    }
    case Kind::Text: text_[f.index].assign(v); break;
    case Kind::Number:
    case Kind::LCID:
    case Kind::OSVersion:
    case Kind::Drive: number_[f.index] = OFLTools::AToUL(v); break;
    case Kind::Wide: wide_[f.index] = OFLTools::AToLL(v); break;
    case Kind::MAC: (f.index == eMAC ? primaryMAC_ : logicalMAC_).Set(v); break;
    case Kind::IP: (f.index == eIP ? primaryIP_ : primarySubnetMask_).Set(v); break;
    case Kind::Components: {
      auto component = std::make_unique<OVOHardwareInstalledComponent>();
      nested(*component);
      component->SetGUIDSystem(text_[eGUID]);
      components_.AddTail(component.get());
      component.release();
      break;
    }
    case Kind::Vars: nested(vars_); break;
    case Kind::Spv: nested(spv_); break;
    case Kind::Rights: nested(rights_); break;
    case Kind::Properties: properties_.Unpack(p); break;
    case Kind::KioskJob: InsertKioskJob(String(v)); break;
    case Kind::AutoInstallJob: InsertAutoInstallJob(String(v)); break;
    case Kind::AgentState: clientAgentState_ = OFL::CRT::atol(String(v)); break;
    case Kind::Modified: modified_ = OFL::CRT::atol(String(v)) != 0; break;
    case Kind::Time: {
      const CTime t = ReadTime(v);
      (f.index == eWolSent ? wolSent_ : f.index == eLastBoot ? lastBoot_ : doNotDisturbUntil_) = t;
      break;
    }
    case Kind::PublicKey:
      scratch.SetDocFromChild(p);
      publicKey_.UnpackLoaded(scratch);
      break;
  }
}

// ---- identity and network ----

const String& OVOSystem::GetDisplayName() const {
  return text_[eDisplayName].empty() ? text_[eHostName] : text_[eDisplayName];
}

String OVOSystem::GetKey() const {
  OFLTokenizer key;
  key.AddString(text_[eGUID]);
  key.AddString("1");
  key.AddString("*");
  return key.AsLengthPackedString();
}

String OVOSystem::GetFQDNOrDisplayname() const {
  if (text_[eHostName].empty()) return GetDisplayName();
  return OFLRemoteSystem(text_[eHostName], text_[eDomain], 0).GetFQDN();
}

bool OVOSystem::IsValidHostName(const String& name) {
  return OFL::Tools::IsValidNetbiosName(name) || OFLIP::IsIPAddress(name);
}

void OVOSystem::SetPrimaryMAC(const OFLMAC& mac) {
  UpdateHistory(text_[eMACList], primaryMAC_.GetString(':'), mac.GetString(':'));
  primaryMAC_ = mac;
}

void OVOSystem::SetLogicalMAC(const OFLMAC& mac) {
  UpdateHistory(text_[eLAAList], logicalMAC_.GetString(':'), mac.GetString(':'));
  logicalMAC_ = mac;
}

void OVOSystem::SetPrimaryIP(const OFLIP& ip) {
  UpdateHistory(text_[eIPList], primaryIP_.GetString(), ip.GetString());
  primaryIP_ = ip;
}

void OVOSystem::SetPrimarySubnetMask(const OFLIP& mask) {
  if (mask.IsEmpty() || mask.IsNetmask()) primarySubnetMask_ = mask;
}

void OVOSystem::SetPrimarySubnetMask(const String& mask) {
  if (mask.empty() || OFLIP::IsIPAddress(mask)) SetPrimarySubnetMask(OFLIP(mask));
}

void OVOSystem::ClearIdentification() {
  primaryMAC_.Clear();
  logicalMAC_.Clear();
  primaryIP_.Clear();
  primarySubnetMask_.Clear();
  text_[eMACList].clear();
  text_[eLAAList].clear();
  text_[eIPList].clear();
}

String OVOSystem::GetClientAddress(EConnectionMode mode, bool refresh, bool allAddresses) const {
  if (mode == eConnectByIPOnly) return primaryIP_.IsEmpty() ? String("0.0.0.0") : primaryIP_.GetString();
  if (mode == eConnectByIPFirst && !primaryIP_.IsEmpty()) return primaryIP_.GetString();
  if (refresh || !resolver_.IsSet()) resolver_.Set(text_[eHostName], text_[eDomain], OFLRemoteSystem::kResolve);
  String address = allAddresses ? resolver_.GetAllAddresses() : resolver_.GetAddress();
  return address.empty() ? resolver_.GetFQDN() : address;
}

OFLIP OVOSystem::GetSubnetMaskForClientAddress(const OFLIP& ip) const {
  return ip == primaryIP_ ? primarySubnetMask_ : OFLIP();
}

// ---- options ----

void OVOSystem::SetOption(uint32_t bits, bool on) {
  uint32_t& o = number_[eOptions];
  o = on ? (o | bits) : (o & ~bits);
}

OVOSystem::EUserJobOptions OVOSystem::GetUserJobOptions() const {
  return static_cast<EUserJobOptions>(number_[eOptions] & kOptionUserJobMask);
}

void OVOSystem::SetUserJobOptions(EUserJobOptions v) {
  number_[eOptions] = (number_[eOptions] & ~kOptionUserJobMask) | (v & kOptionUserJobMask);
}

OVOSystem::EUpdatingMainUserOptions OVOSystem::GetUpdatingMainUserOption() const {
  return static_cast<EUpdatingMainUserOptions>(number_[eOptions] & kOptionUpdatingMainUserMask);
}

void OVOSystem::SetUpdatingMainUserOption(EUpdatingMainUserOptions v) {
  number_[eOptions] = DrySetUpdatingMainUserOption(v);
}

uint32_t OVOSystem::DrySetUpdatingMainUserOption(EUpdatingMainUserOptions v) const {
  return (number_[eOptions] & ~kOptionUpdatingMainUserMask) | (v & kOptionUpdatingMainUserMask);
}

void OVOSystem::SetLANMode() { SetOption(kOptionInternetMode | kOptionDynamicMode, false); }

void OVOSystem::SetInternetMode() {
  SetOption(kOptionInternetMode, true);
  SetOption(kOptionDynamicMode, false);
}

void OVOSystem::SetDynamicMode() {
  SetOption(kOptionInternetMode, false);
  SetOption(kOptionDynamicMode, true);
}

bool OVOSystem::IsInternetClient() const {
  return HasInternetModeSet() || (HasDynamicModeSet() && LastUsedInternetChannel());
}

bool OVOSystem::IsLANClient() const { return HasLANModeSet() || (HasDynamicModeSet() && LastUsedLANChannel()); }

bool OVOSystem::IsInternetOnlyClientWithNoLANRessources() const {
  return HasInternetModeSet() && !UseLanResources();
}

bool OVOSystem::IsAutoSelectClientWithNoLANRessourcesInInternet() const {
  return HasDynamicModeSet() && !UseLanResources();
}

// ---- devices and components ----

void OVOSystem::SetDetectedDevices(const String& list) {
  DeleteListDetectedDevices();
  OFLTokenizer entries;
  entries.FromLengthPackedString(list);
  for (const String& e : entries) {
    auto device = std::make_unique<OFLDeviceInfo>();
    device->SetDeviceString(e);
    detectedDevices_.AddTail(device.get());
    device.release();
  }
}

void OVOSystem::DeleteListDetectedDevices() {
  for (OFLDeviceInfo* d : detectedDevices_) delete d;
  detectedDevices_.RemoveAll();
}

bool OVOSystem::ContainsDetectedDevice(const String& text) const {
  const OFLDeviceInfo probe(text);
  for (const OFLDeviceInfo* d : detectedDevices_)
    if (d && probe.Matches(*d)) return true;
  return false;
}

bool OVOSystem::ContainsDevice(const String& text) const { return FindInstalledComponent(text) != nullptr; }

int OVOSystem::GetDetectedDeviceCount(uint8_t pciClass) const {
  int n = 0;
  for (const OFLDeviceInfo* d : detectedDevices_)
    if (d && (d->GetDevInfoPCIClass() & 0xFF) == pciClass) ++n;
  return n;
}

int OVOSystem::GetDetectedOtherComponentCount() const {
  int n = 0;
  for (const OFLDeviceInfo* d : detectedDevices_) {
    if (!d) continue;
    const uint32_t cls = d->GetDevInfoPCIClass() & 0xFF;
    if (cls != 2 && cls != 3) ++n;
  }
  return n;
}

int OVOSystem::GetComponentCount(const String& type) const {
  int n = 0;
  for (const OVOHardwareInstalledComponent* c : components_)
    if (c && c->GetType() == type) ++n;
  return n;
}

OVOHardwareInstalledComponent* OVOSystem::GetComponent(const String& type, int index) const {
  if (index < 0) return nullptr;
  for (OVOHardwareInstalledComponent* c : components_)
    if (c && c->GetType() == type && index-- == 0) return c;
  return nullptr;
}

OVOHardwareInstalledComponent* OVOSystem::FindInstalledComponent(const OFLDeviceInfo& device, POSITION* pos) const {
  for (auto it = components_.begin(); it != components_.end(); ++it) {
    if (*it && device.Matches((*it)->GetDeviceInfo())) {
      if (pos) *pos = it.position();
      return *it;
    }
  }
  return nullptr;
}

OVOHardwareInstalledComponent* OVOSystem::FindInstalledComponent(const String& device, POSITION* pos) const {
  return FindInstalledComponent(OFLDeviceInfo(device), pos);
}

void OVOSystem::SetNetSettingsFromGroup(const OVOGroupNetSettings* group, const String& groupDomain) {
  if (!group) return;
  text_[eDomain] = groupDomain;
  if (OVOHardwareInstalledComponent* card = GetComponent(OVOHardwareInstalledComponent::kTypeNetcard, 0))
    card->SetNetSettingsFromGroup(group);
}

bool OVOSystem::IsPEComponentUpdateAllowed(String& reason) const {
  reason.clear();
  if (IsDeactivated()) reason = "Client is deactivated";
  else if (IsInternetClient()) reason = "Client is in internet mode";
  else if (HasPublicKey()) reason = "Client is already pinned";
  else {
    using C = OVOHardwareInstalledComponent;
    for (const char* type : {C::kTypeHDD, C::kTypeNetcard, C::kTypeGfxcard, C::kTypeMonitor, C::kTypeOther}) {
      if (GetComponentCount(type) > 0) {
        reason = "Unpinned Client has already defined components";
        break;
      }
    }
  }
  return reason.empty();
}

// ---- jobs ----

bool OVOSystem::InsertJob(OVOJobList& list, const String& text) {
  auto job = std::make_unique<OVOJob>(text);
  for (const OVOJob* j : list)
    if (j && OFL::EqualsNoCase(j->GetGUID(), job->GetGUID())) return false;
  list.AddTail(job.get());
  job.release();
  return true;
}

bool OVOSystem::InsertKioskJob(const String& text) { return InsertJob(kioskJobs_, text); }
bool OVOSystem::InsertAutoInstallJob(const String& text) { return InsertJob(autoInstallJobs_, text); }

// ---- users ----

void OVOSystem::UpdateServicePackVerFromString(const String& text) {
  if (text.empty()) return;
  static constexpr std::string_view kServicePack = "service pack";
  const String lower = OFL::ToLower(text);
  const size_t at = lower.find(kServicePack);
  if (at == String::npos) return;
  const size_t end = at + kServicePack.size();
  if (end >= lower.size()) return;
  number_[eOSVerSpMajor] = OFLTools::AToUL(std::string_view(lower).substr(end + 1));
}

void OVOSystem::UpdateSystemByUserAccount(const OFLUserAccount& account, const String& sid, int& lastUserChanged,
                                          int& registeredUserChanged, int& sidChanged, int& optionsChanged,
                                          bool keepRegisteredUser) {
  lastUserChanged = registeredUserChanged = sidChanged = optionsChanged = 0;
  const String name = account.IsSet() ? account.GetAccount() : String();
  if (!name.empty() && name != text_[eLastUser]) {
    text_[eLastUser] = name;
    lastUserChanged = 1;
  }
  if (sid != text_[eCurrentUserSID]) {
    text_[eCurrentUserSID] = sid;
    sidChanged = 1;
  }
  const uint32_t follow = number_[eOptions] & kOptionUpdatingMainUserMask;
  if (name.empty() || (follow != 0 && follow != kMainUserFollows) || keepRegisteredUser ||
      name == text_[eUsername] || OFL::ToLower(account.GetUser()) == kSetupAccount)
    return;
  text_[eUsername] = name;
  registeredUserChanged = 1;
  if (follow == 0) {
    number_[eOptions] |= kOptionUpdatingMainUserMask;
    optionsChanged = 1;
  }
}

// ---- variables ----

void OVOSystem::PopulateVars(COVKVars& vars, EConnectionMode mode, bool withClientVars,
                             bool skipClientAddress) const {
  const auto add = [&vars](const char* name, const String& value) {
    vars.AddVar(name, value, false, true, CVariableType::Runtime, false);
  };
  // Resolved at most once, and not at all when the caller skips it.
  const String clientAddress = skipClientAddress ? String() : GetClientAddress(mode, false, false);
  add("Client;Machine", text_[eHostName]);
  add("Client:IP;PrimaryIP", primaryIP_.IsEmpty() ? clientAddress : primaryIP_.GetString());
  add("Client:SubnetMask;PrimarySubnetMask", primarySubnetMask_.GetString());
  add("ClientAddress", clientAddress);
  add("Client:MAC;PrimaryMAC", primaryMAC_.GetString(':'));
  add("Group", text_[eGroup]);
  add("Domain", text_[eDomain]);
  add("OVAPath", text_[eOVAInstallPath]);
  add("RegisteredUser", text_[eUsername]);
  add("OSType", OVOHelper::OSType_DWord_to_String(GetOSType()));
  add("Architecture;Arch", text_[eArchitecture]);
  add("Client:DisplayName", text_[eDisplayName]);
  add("Client:GUID", text_[eGUID]);
  add("LCID;LangID", std::to_string(static_cast<int32_t>(number_[eLCID])));
  if (withClientVars) vars.AddVars(&vars_, true);
}

// ---- list ----

OVOSystemList::~OVOSystemList() { DeleteObjects(); }

OVOSystem* OVOSystemList::FindEntryByGUID(const String& guid, POSITION* pos) const {
  for (auto it = begin(); it != end(); ++it) {
    if (*it && OFL::EqualsNoCase((*it)->GetGuid(), guid)) {
      if (pos) *pos = it.position();
      return *it;
    }
  }
  return nullptr;
}

void OVOSystemList::DeleteObjects() {
  for (OVOSystem* s : *this) delete s;
  RemoveAll();
}

}  // namespace orvacmn
