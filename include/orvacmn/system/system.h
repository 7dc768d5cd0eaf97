// OVOSystem: one managed client computer: identity, network identity with
// address histories, hardware and operating-system facts as last reported,
// agent state, per-client options, client variables, rights, free
// properties, and the jobs offered to it (kiosk) or installed automatically.
// OVOSystemList: an owning list of systems (no text form).
//
// Packed as "Client" (whole-object style): the fields in their fixed order,
// many only when they differ from their default; Unpack(const String&) clears
// and reads the children of that root by tag (case ignored, any order),
// nested objects where they stand. Copies go through the packed text, so the
// detected devices, the security-centre states and the name cache of a copy
// are empty.
//
// Times are written as local DB times (OVOHelper::CTimeToDBTime) in the time
// zone of the process. Name resolution (GetClientAddress) may block up to
// the resolver's time limit.
//
// Objects carry no locks; use each from one thread at a time.
#ifndef ORVACMN_SYSTEM_SYSTEM_H_
#define ORVACMN_SYSTEM_SYSTEM_H_

#include <array>
#include <cstdint>

#include "ofl/device_info.h"
#include "ofl/net_address.h"
#include "ofl/remote_system.h"
#include "ofl/user_account.h"
#include "orvacmn/common/types.h"
#include "orvacmn/hardware/group_net_settings.h"
#include "orvacmn/hardware/installed_component.h"
#include "orvacmn/hardware/spv.h"
#include "orvacmn/jobs/job.h"
#include "orvacmn/objects/object_rights.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"
#include "orvacmn/system/connection_mode.h"
#include "orvacmn/common/file_time.h"
#include "orvacmn/system/public_key.h"
#include "orvacmn/variables/vars.h"

namespace orvacmn {

class COVKVars;

class OVOSystem : public OVOXMLSupport {
 public:
  // Values of the option bits 0x0C and 0x30; only the masks carry meaning here.
  enum EUpdatingMainUserOptions : uint32_t {};
  enum EUserJobOptions : uint32_t {};

  // Option bits.
  static constexpr uint32_t kOptionUpdatingMainUserMask = 0x0000000C;
  static constexpr uint32_t kOptionUserJobMask = 0x00000030;
  static constexpr uint32_t kOptionStoreAppUsageTracking = 0x00000100;
  static constexpr uint32_t kOptionStoreEnergyManagement = 0x00000200;
  static constexpr uint32_t kOptionLastUsedInternetChannel = 0x00000400;
  static constexpr uint32_t kOptionInternetMode = 0x00000800;
  static constexpr uint32_t kOptionDynamicMode = 0x00001000;
  static constexpr uint32_t kOptionLastUsedAutoRoaming = 0x00002000;
  static constexpr uint32_t kOptionUseLanResources = 0x00004000;
  static constexpr uint32_t kOptionDeactivated = 0x80000000;
  static constexpr uint32_t kDefaultOptions = 0x232;

  static constexpr uint32_t kDefaultPriority = 1;
  static constexpr uint32_t kFeatureUpdateDelayNotReported = 0xFFFFFFFF;
  static constexpr char kVarsScope[] = "__MACHINE__";

  // String fields, in packing order.
  enum ETextField {
    eGUID, eOrgUnit, eDisplayName, eHostName, eOVSServer, eMACList, eLAAList, eIPList, eGUIDHWProfile, eHWProfile,
    eDomain, eUsername, eGUIDGroup, eGroup, eComment, ePreinstallApp, ePostinstallApp, eCustomStateText, eBootMode,
    eBootEnvironment, eCPUDesc, eCPUType, eArchitecture, eEnergySchemeName, eEnergySchemeID, eAgentVersion,
    eOVAInstallPath, eOSVerString, eOSReleaseId, eOSDisplayVersion, eOSServiceBranch, eOSPatchLevel, eIEVerString,
    eLastUser, eCurrentUserSID, eClientActivity, kTextFieldCount
  };
  // Unsigned 32-bit fields.
  enum ENumberField {
    ePriority, eCustomStateType, eBootCounter, eOptions, eCPUSpeed, eCPUCountPhysical, eCPUCountLogical,
    eCPUCountTotalCores, eTotalMemory, eLCID, eOSVerMajor, eOSVerMinor, eOSVerBuild, eFeatureUpdateDelayDays,
    eOSVerSpMajor, eDriveCSize, eDriveCFree, eDriveDSize, eDriveDFree, eDriveESize, eDriveEFree, eSaveOptions,
    kNumberFieldCount
  };
  // Signed 64-bit fields.
  enum EWideField { eCustomStateChange, eOSType, eLastSeen, eLastActivityChange, eTimezoneOffset, kWideFieldCount };

  // Object name "Client"; the defaults, then Unpack(text) when it is not empty.
  explicit OVOSystem(const String& text = String());
  // Through the packed text of `other`.
  OVOSystem(const OVOSystem& other);
  OVOSystem& operator=(const OVOSystem& other);
  ~OVOSystem() override;

  // The GUID texts, case-sensitive.
  bool operator<(const OVOSystem& other) const { return text_[eGUID] < other.text_[eGUID]; }

  String Pack() const override;
  void AppendPack(String& out) const override;
  using OVOXMLSupport::Unpack;
  // 1 when the text holds a "Client" root, else 0; clears first.
  int Unpack(const String& text) override;
  int UnpackLoaded(OFLXMLParser& loaded) override;
  // Every field to its default, lists emptied and their objects deleted,
  // "TimeStamp" to the current time.
  void Clear() override;
  // The overview text: "TimeStamp", "GUID", "OrgUnit", "DisplayName",
  // "HostName", "WOLSent", "LastBoot", then "Domain", "Comment", "LastSeen",
  // "AgentVersion", "LastUser" and "CurrentUserSID" when set.
  String SmallPack() const;

  // ---- plain fields ----
  const String& GetText(ETextField f) const { return text_[f]; }
  void SetText(ETextField f, const String& v) { text_[f] = v; }
  uint32_t GetNumber(ENumberField f) const { return number_[f]; }
  void SetNumber(ENumberField f, uint32_t v) { number_[f] = v; }
  int64_t GetWide(EWideField f) const { return wide_[f]; }
  void SetWide(EWideField f, int64_t v) { wide_[f] = v; }

  const CFileTime& GetTimeStamp() const { return timeStamp_; }
  void SetTimeStamp(const CFileTime& t) { timeStamp_ = t; }
  bool GetModified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }
  bool IsModified() const { return modified_; }
  int32_t GetClientAgentState() const { return clientAgentState_; }
  void SetClientAgentState(int32_t v) { clientAgentState_ = v; }

  const String& GetGuid() const { return text_[eGUID]; }
  void SetGuid(const String& v) { text_[eGUID] = v; }
  const String& GetOrgUnit() const { return text_[eOrgUnit]; }
  void SetOrgUnit(const String& v) { text_[eOrgUnit] = v; }
  // The display name, or the host name when it is empty.
  const String& GetDisplayName() const;
  void SetDisplayName(const String& v) { text_[eDisplayName] = v; }
  const String& GetHostName() const { return text_[eHostName]; }
  void SetHostName(const String& v) { text_[eHostName] = v; }
  const String& GetDomain() const { return text_[eDomain]; }
  void SetDomain(const String& v) { text_[eDomain] = v; }
  const String& GetGroup() const { return text_[eGroup]; }
  void SetGroup(const String& v) { text_[eGroup] = v; }
  const String& GetGUIDGroup() const { return text_[eGUIDGroup]; }
  void SetGUIDGroup(const String& v) { text_[eGUIDGroup] = v; }
  const String& GetUsername() const { return text_[eUsername]; }
  void SetUsername(const String& v) { text_[eUsername] = v; }
  const String& GetLastUser() const { return text_[eLastUser]; }
  void SetLastUser(const String& v) { text_[eLastUser] = v; }
  const String& GetCurrentUserSID() const { return text_[eCurrentUserSID]; }
  void SetCurrentUserSID(const String& v) { text_[eCurrentUserSID] = v; }
  const String& GetArchitecture() const { return text_[eArchitecture]; }
  void SetArchitecture(const String& v) { text_[eArchitecture] = v; }
  const String& GetAgentVersion() const { return text_[eAgentVersion]; }
  void SetAgentVersion(const String& v) { text_[eAgentVersion] = v; }
  const String& GetOVAInstallPath() const { return text_[eOVAInstallPath]; }
  void SetOVAInstallPath(const String& v) { text_[eOVAInstallPath] = v; }
  const String& GetComment() const { return text_[eComment]; }
  void SetComment(const String& v) { text_[eComment] = v; }
  const String& GetMACList() const { return text_[eMACList]; }
  const String& GetLAAList() const { return text_[eLAAList]; }
  const String& GetIPList() const { return text_[eIPList]; }
  uint32_t GetLCID() const { return number_[eLCID]; }
  void SetLCID(uint32_t v) { number_[eLCID] = v; }
  uint64_t GetOSType() const { return static_cast<uint64_t>(wide_[eOSType]); }
  void SetOSType(uint64_t v) { wide_[eOSType] = static_cast<int64_t>(v); }
  uint32_t GetOSVerSpMajor() const { return number_[eOSVerSpMajor]; }
  uint32_t GetPriority() const { return number_[ePriority]; }
  void SetPriority(uint32_t v) { number_[ePriority] = v; }
  uint32_t GetSaveOptions() const { return number_[eSaveOptions]; }
  void SetSaveOptions(uint32_t v) { number_[eSaveOptions] = v; }
  int64_t GetLastSeen() const { return wide_[eLastSeen]; }
  void SetLastSeen(int64_t v) { wide_[eLastSeen] = v; }

  // A length-packed String of the GUID, "1" (key by GUID) and "*".
  String GetKey() const;
  // With a host name, the fully qualified name of (host name, domain);
  // otherwise GetDisplayName().
  String GetFQDNOrDisplayname() const;
  // A computer name or an IPv4 address.
  static bool IsValidHostName(const String& name);

  // ---- network identity ----
  const OFLMAC& GetPrimaryMAC() const { return primaryMAC_; }
  const OFLMAC& GetLogicalMAC() const { return logicalMAC_; }
  const OFLIP& GetPrimaryIP() const { return primaryIP_; }
  const OFLIP& GetPrimarySubnetMask() const { return primarySubnetMask_; }
  // Each stores the value and moves its text to the front of its history
  // list ("MACList", "LAAList", "IPList"), dropping the old value's text; an
  // empty value only drops. A text that is no address counts as empty.
  void SetPrimaryMAC(const OFLMAC& mac);
  void SetPrimaryMAC(const String& mac) { SetPrimaryMAC(OFLMAC(mac)); }
  void SetLogicalMAC(const OFLMAC& mac);
  void SetLogicalMAC(const String& mac) { SetLogicalMAC(OFLMAC(mac)); }
  void SetPrimaryIP(const OFLIP& ip);
  void SetPrimaryIP(const String& ip) { SetPrimaryIP(OFLIP(ip)); }
  // Only a netmask or the empty address is stored; a text that is neither
  // empty nor an address changes nothing.
  void SetPrimarySubnetMask(const OFLIP& mask);
  void SetPrimarySubnetMask(const String& mask);
  // Empties both MACs, both addresses and the three history lists.
  void ClearIdentification();
  // Mode 2: the primary IP ("0.0.0.0" when empty); mode 1 with a primary
  // IP: that IP; otherwise the name resolved (again, when `refresh` is set or
  // nothing was resolved yet): all addresses joined by ";" or the first,
  // and the fully qualified name when there is none.
  String GetClientAddress(EConnectionMode mode, bool refresh, bool allAddresses) const;
  // The primary subnet mask for the primary IP, else the empty address.
  OFLIP GetSubnetMaskForClientAddress(const OFLIP& ip) const;
  // The name cache behind GetClientAddress, for its time limit.
  OFLRemoteSystem& GetResolverCache() const { return resolver_; }

  // ---- options ----
  uint32_t GetOptions() const { return number_[eOptions]; }
  void SetOptions(uint32_t v) { number_[eOptions] = v; }
  bool GetOption(uint32_t bits) const { return (number_[eOptions] & bits) != 0; }
  void SetOption(uint32_t bits, bool on);
  EUserJobOptions GetUserJobOptions() const;
  void SetUserJobOptions(EUserJobOptions v);
  EUpdatingMainUserOptions GetUpdatingMainUserOption() const;
  void SetUpdatingMainUserOption(EUpdatingMainUserOptions v);
  // The option word SetUpdatingMainUserOption(v) would store.
  uint32_t DrySetUpdatingMainUserOption(EUpdatingMainUserOptions v) const;

  void SetLANMode();
  void SetInternetMode();
  void SetDynamicMode();
  bool HasDynamicModeSet() const { return GetOption(kOptionDynamicMode); }
  bool HasInternetModeSet() const { return !HasDynamicModeSet() && GetOption(kOptionInternetMode); }
  bool HasLANModeSet() const { return !HasDynamicModeSet() && !HasInternetModeSet(); }
  bool LastUsedInternetChannel() const { return GetOption(kOptionLastUsedInternetChannel); }
  bool LastUsedLANChannel() const { return !LastUsedInternetChannel(); }
  bool LastUsedAutoRoaming() const { return GetOption(kOptionLastUsedAutoRoaming); }
  bool UseLanResources() const { return GetOption(kOptionUseLanResources); }
  bool IsInternetClient() const;
  bool IsLANClient() const;
  bool IsInternetOnlyClientWithNoLANRessources() const;
  bool IsAutoSelectClientWithNoLANRessourcesInInternet() const;
  bool IsDeactivated() const { return GetOption(kOptionDeactivated); }

  // ---- times (0: not set) ----
  CTime WolSent() const { return wolSent_; }
  void WolSent(CTime t) { wolSent_ = t; }
  CTime LastBoot() const { return lastBoot_; }
  void LastBoot(CTime t) { lastBoot_ = t; }
  CTime DoNotDisturbUntil() const { return doNotDisturbUntil_; }
  void DoNotDisturbUntil(CTime t) { doNotDisturbUntil_ = t; }
  static const char* StrOvsUpdate_LastBoot() { return "SystemLastBoot"; }
  static const char* StrOvsUpdate_WolSent() { return "SystemWolSent"; }

  // ---- security centre (not packed) ----
  uint32_t FirewallStatus = 0;
  uint32_t AutoUpdateStatus = 0;
  uint32_t AntiVirusStatus = 0;
  uint32_t InternetSettingsStatus = 0;
  uint32_t UserAccountControlStatus = 0;
  uint32_t SecurityCenterStatus = 0;
  String SecurityCenterUser;

  // ---- devices and components ----
  // Replaces the detected devices by one per entry of a length-packed list.
  void SetDetectedDevices(const String& list);
  void DeleteListDetectedDevices();
  const OVOTypedPtrList<OFLDeviceInfo>& GetDetectedDevices() const { return detectedDevices_; }
  // An id made from `text` matches a detected device (an installed component).
  bool ContainsDetectedDevice(const String& text) const;
  bool ContainsDevice(const String& text) const;
  // Detected devices whose PCI base class (low 8 bits) is `pciClass`.
  int GetDetectedDeviceCount(uint8_t pciClass) const;
  int GetDetectedNetcardCount() const { return GetDetectedDeviceCount(2); }
  int GetDetectedGfxcardCount() const { return GetDetectedDeviceCount(3); }
  int GetDetectedOtherComponentCount() const;

  OVOHardwareInstalledComponentList& GetInstalledComponents() { return components_; }
  const OVOHardwareInstalledComponentList& GetInstalledComponents() const { return components_; }
  // Components whose type equals `type` (case counts).
  int GetComponentCount(const String& type) const;
  // The one at `index` among them, or null.
  OVOHardwareInstalledComponent* GetComponent(const String& type, int index) const;
  // The first component whose device `device` matches; its position in
  // `pos` when given. Null if none.
  OVOHardwareInstalledComponent* FindInstalledComponent(const OFLDeviceInfo& device, POSITION* pos = nullptr) const;
  OVOHardwareInstalledComponent* FindInstalledComponent(const String& device, POSITION* pos = nullptr) const;
  // Nothing without a group; otherwise the domain becomes `groupDomain` and
  // the first "NETCARD" takes the group's network settings.
  void SetNetSettingsFromGroup(const OVOGroupNetSettings* group, const String& groupDomain);
  // Whether the components may be taken from a pre-boot scan; else the
  // reason.
  bool IsPEComponentUpdateAllowed(String& reason) const;
  // Marks hardware data (components, profile, devices hash) just loaded
  // from the store and not yet reported to the client merge. Not packed;
  // false after a clear.
  bool IsHardwareFreshlyLoaded() const { return hardwareFreshlyLoaded_; }
  void SetHardwareFreshlyLoaded(bool v) { hardwareFreshlyLoaded_ = v; }

  // ---- nested objects ----
  OVOVars& GetVars() { return vars_; }
  const OVOVars& GetVars() const { return vars_; }
  OvoSpv& GetSpv() { return spv_; }
  const OvoSpv& GetSpv() const { return spv_; }
  OVOObjectRights& GetObjectRights() { return rights_; }
  const OVOObjectRights& GetObjectRights() const { return rights_; }
  OVO::Properties& GetProperties() { return properties_; }
  const OVO::Properties& GetProperties() const { return properties_; }

  // ---- jobs ----
  // Appends the job packed in `text` unless a job with its GUID (case
  // ignored) is listed; true when appended.
  bool InsertKioskJob(const String& text);
  bool InsertAutoInstallJob(const String& text);
  void DeleteListKioskJobs() { kioskJobs_.DeleteObjects(); }
  void DeleteListAutoInstallJobs() { autoInstallJobs_.DeleteObjects(); }
  const OVOJobList& GetKioskJobs() const { return kioskJobs_; }
  const OVOJobList& GetAutoInstallJobs() const { return autoInstallJobs_; }

  // ---- public key ----
  bool HasPublicKey() const { return publicKey_.IsSet(); }
  const OVO::PublicKey& GetPublicKey() const { return publicKey_; }
  void SetPublicKey(const OVO::PublicKey& key) { publicKey_ = key; }

  // ---- operating system and users ----
  // "OSType", "OSVerMajor" and "OSVerMinor" from an OS name; false (and
  // nothing changed) for a name not recognised.
  bool UpdateOsTypeFromString(const String& text);
  // "OSVerSpMajor" from a text holding "service pack N" (case ignored).
  void UpdateServicePackVerFromString(const String& text);
  // Takes the logged-on user: "LastUser", "CurrentUserSID" and, unless kept,
  // the registered user "Username". The outputs report which changed.
  void UpdateSystemByUserAccount(const OFLUserAccount& account, const String& sid, int& lastUserChanged,
                                 int& registeredUserChanged, int& sidChanged, int& optionsChanged,
                                 bool keepRegisteredUser);

  // The client's variables (aliases split, runtime), then with
  // `withClientVars` its own variables under their full names.
  void PopulateVars(COVKVars& vars, EConnectionMode mode, bool withClientVars, bool skipClientAddress) const;

 private:
  struct Field;
  void AppendFields(String& out) const;
  void ReadFields(OFLXMLParser& parser);
  void ReadField(const Field& f, OFLXMLParser& p, OFLXMLParser& scratch);
  static bool InsertJob(OVOJobList& list, const String& text);

 protected:
  // Reads the fields of the element the parser stands on (base Unpack of a
  // parser); does not clear.
  void InternalUnpack(OFLXMLParser& parser) override { ReadFields(parser); }

 private:
  CFileTime timeStamp_;
  std::array<String, kTextFieldCount> text_;
  std::array<uint32_t, kNumberFieldCount> number_{};
  std::array<int64_t, kWideFieldCount> wide_{};
  OFLMAC primaryMAC_;
  OFLMAC logicalMAC_;
  OFLIP primaryIP_;
  OFLIP primarySubnetMask_;
  int32_t clientAgentState_ = 0;
  bool modified_ = false;
  CTime wolSent_ = 0;
  CTime lastBoot_ = 0;
  CTime doNotDisturbUntil_ = 0;
  OVOTypedPtrList<OFLDeviceInfo> detectedDevices_;
  bool hardwareFreshlyLoaded_ = false;
  mutable OFLRemoteSystem resolver_;
  OVOHardwareInstalledComponentList components_;
  OVOVars vars_;
  OvoSpv spv_;
  OVOObjectRights rights_;
  OVO::Properties properties_;
  OVOJobList kioskJobs_;
  OVOJobList autoInstallJobs_;
  OVO::PublicKey publicKey_;
};

// Owns its systems: the destructor and DeleteObjects delete them.
class OVOSystemList : public OVOTypedPtrList<OVOSystem> {
 public:
  OVOSystemList() = default;
  OVOSystemList(const OVOSystemList&) = delete;
  OVOSystemList& operator=(const OVOSystemList&) = delete;
  ~OVOSystemList() override;

  // The first system whose GUID equals `guid` (case ignored), its position
  // in `pos` when given; null if none.
  OVOSystem* FindEntryByGUID(const String& guid, POSITION* pos = nullptr) const;
  void DeleteObjects();
};

}  // namespace orvacmn

#endif  // ORVACMN_SYSTEM_SYSTEM_H_
