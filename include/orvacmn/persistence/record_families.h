// The families of records in the object store, one row each: the record
// type, the family's name as its operations spell it ("Load" + name), the
// class its records unpack into (as catalogued), what a single load of a
// missing record yields, the shape of the key, the record fields the store
// keys it by, and the conditions its list loads filter on.
//
// The typed operations of CDBAccess, the stores behind IMocInstance and the
// tools all read this one table. Header-only and free of the object model;
// constant data, any thread.
#ifndef ORVACMN_PERSISTENCE_RECORD_FAMILIES_H_
#define ORVACMN_PERSISTENCE_RECORD_FAMILIES_H_

#include <array>
#include <cstdint>
#include <string_view>

#include "ofl/bstr.h"
#include "orvacmn/persistence/record_types.h"
#include "orvacmn/persistence/store_vocabulary.h"

namespace orvacmn {

// How a store finds the records of a family from a key.
enum class RecordKeyPolicy : uint8_t {
  // The key's values are the record's key fields, in order; a "*" ends a
  // prefix that every record whose key begins with the values matches.
  kFields,
  // Clients: (value, kind, "*"), the kind naming which identity the value
  // is (1 GUID, 2 to 7 the identification methods), kept in an index.
  kClientIdentities,
  // Hardware components: (type, generic device id, exact device id), both
  // ids read from the record's "DeviceInfo" (OFLDeviceInfo). The exact id
  // kKeyGenericDevice asks for the component made for the generic id alone.
  kDeviceIds,
};

struct RecordFamily {
  uint32_t type;
  std::string_view family;
  std::string_view className;  // empty: the records are handled as texts
  // A single load that finds nothing returns this status with the text,
  // whose placeholders take the key strings in order. Status 0: a missing
  // record is no failure (the store's status, an empty text).
  HRESULT notFoundStatus;
  std::string_view notFoundText;
  // Key strings a single load takes, and whether it sends "*" after them.
  uint8_t keyStrings;
  bool wildcard;
  RecordKeyPolicy policy;
  // The record's fields its store key is made of, in key order: a create
  // (which names no key) is keyed by them. "Outer/Inner" names the field
  // Inner of the embedded object Outer.
  std::array<std::string_view, 4> keyFields;
  // Names of the conditions its list loads filter on.
  std::array<std::string_view, 3> conditions;

  constexpr bool ReportsMissing() const { return notFoundStatus != 0; }
  constexpr int KeyFieldCount() const {
    int n = 0;
    while (n < int(keyFields.size()) && !keyFields[size_t(n)].empty()) ++n;
    return n;
  }
};

namespace internal {
using K = std::array<std::string_view, 4>;
using C = std::array<std::string_view, 3>;
inline constexpr RecordKeyPolicy kF = RecordKeyPolicy::kFields;
// A missing record fails, or is a success that carries the not-found text.
inline constexpr HRESULT kFail = E_FAIL, kOne = 1;
}  // namespace internal

// Ordered by record type.
inline constexpr RecordFamily kRecordFamilies[] = {
    // clang-format off
    // type  family  class  not found: status, text  key strings, "*", policy  key fields  conditions
    {kRecordTypeSettings, "Settings", "OVOSettings", 0, "", 1, false, internal::kF, {"Name"}, {}},
    {kRecordTypeOrgUnit, "OrgUnit", "OVOOrgUnit", internal::kFail, "OrgUnit [%s] not found", 1, false, internal::kF,
     {"GUID"}, {"GUIDParent", "Name"}},
    {kRecordTypeObjectRights, "ObjectRights", "OVOObjectRights", internal::kFail, "ObjectRights for [%s] not found", 1,
     false, internal::kF, {"GUID"}, {}},
    {kRecordTypeHardwareProfile, "HardwareProfile", "OVOHardwareHWProfile", internal::kFail,
     "Hardware profile [%s] not found", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeHardwareComponent, "HardwareComponent", "OVOHardwareComponent", internal::kOne,
     "Component (%s) [%s %s] not found", 3, false, RecordKeyPolicy::kDeviceIds, {"Type", "DeviceInfo"}, {"Type"}},
    {kRecordTypeMSWProduct, "MSWProduct", "OVO::MSWProduct", internal::kFail, "MSWProduct [%s] in  not found", 1, false,
     internal::kF, {"GUID"}, {}},
    {kRecordTypeBundle, "Bundle", "OVOBundle", internal::kFail, "Bundle [%s] not found", 1, false, internal::kF,
     {"GUID"}, {}},
    {kRecordTypeSoftwareOS, "SoftwareOS", "OVOSoftwareOS", internal::kFail, "OS [%s] not found", 1, false,
     internal::kF, {"GUID"}, {}},
    {kRecordTypeSoftwareApplication, "SoftwareApplication", "OVOSoftwareApplication", internal::kFail,
     "Application [%s] not found", 1, false, internal::kF, {"GUID"}, {"Vendor", "Name", "Version"}},
    {kRecordTypeSoftwareDriver, "SoftwareDriver", "OVOSoftwareDriver", internal::kFail, "Driver [%s] not found", 1,
     false, internal::kF, {"GUID"}, {"OSType"}},
    {kRecordTypeInstallEngine, "InstallEngine", "OVOInstallEngine", 0, "", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeReservedLicense, "ReservedLicense", "", 0, "", 2, false, internal::kF, {"GUIDSoftware", "Key"}, {}},
    {kRecordTypeFileDownloadState, "FileDownloadState", "OVOFileDownloadState", internal::kFail,
     "FileDownloadState [%s] not found", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeJob, "Job", "OVOJob", internal::kFail, "Job [%s] not found", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeJobStep, "JobStep", "OVOJobStep", kStatusNotFound, "JobStep [%s] not found", 1, false, internal::kF,
     {"GUID"}, {"Job"}},
    {kRecordTypeJobTarget, "JobTarget", "OVOJobTarget", internal::kFail, "JobTarget [%s] in Job [%s] not found", 2,
     false, internal::kF, {"GUIDMachine", "GUIDJob"}, {"GUIDJob", "JobTargetBaseState"}},
    {kRecordTypeGroup, "Group", "OVOGroup", internal::kFail, "Group [%s] not found", 1, false, internal::kF, {"GUID"},
     {"GUIDParent"}},
    {kRecordTypeClient, "System", "OVOSystem", 0, "", 2, true, RecordKeyPolicy::kClientIdentities, {"GUID"}, {}},
    {kRecordTypeInstalledSoftware, "InstalledSoftware", "OVOInstalledSoftware", 0, "", 1, false, internal::kF,
     {"GUIDMachine"}, {}},
    {kRecordTypeDynamicGroup, "DynamicGroup", "OVODynamicGroup", internal::kOne,
     "Dynamich Group [%s] in [%s] not found", 2, false, internal::kF, {"GUID", "OrgUnit"}, {"OrgUnit"}},
    {kRecordTypeADObject, "ADObject", "OVOADObject", 0, "", 1, false, internal::kF, {"GUID"}, {"Name"}},
    {kRecordTypeUserJobState, "UserJobState", "OVOUserJobState", 0, "", 3, false, internal::kF,
     {"GUIDJob", "GUIDSystem", "GUIDADObject"}, {"GUIDJob", "GUIDSystem"}},
    {kRecordTypeSecurityProfile, "SecurityProfile", "OVOSecurityProfile", internal::kOne,
     "SecurityProfile [%s] not found", 1, false, internal::kF, {"Name"}, {}},
    {kRecordTypeSecurityUserOrGroup, "SecurityUserOrGroup", "OVOSecurityUserOrGroup", internal::kOne,
     "SecurityUserOrGroup [%s] not found", 1, false, internal::kF, {"Account"}, {}},
    {kRecordTypeUserProfile, "UserProfile", "OVOUserProfile", internal::kOne, "UserProfile [%s] not found", 1, false,
     internal::kF, {"GUID"}, {}},
    {kRecordTypeInventoryScan, "InventoryScan", "OVOInventoryScan", 0, "", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeInventoryNode, "InventoryNode", "", 0, "", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeInventoryFile, "InventoryFile", "OVO::InventoryFile", internal::kOne,
     "Inventory file [%s\\%s] in scan [%s] on machine [%s] not found", 4, false, internal::kF,
     {"Path", "Name", "GUIDScan", "GUIDMachine"}, {}},
    {kRecordTypeClientState, "ClientState", "OVOClientState", 0, "", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeCustomVarDef, "CustomVarDef", "OVOCustomVarDef", 0, "", 1, false, internal::kF, {"Name"}, {}},
    {kRecordTypeSWScanRule, "SWScanRule", "OVOSWScanAppRule", internal::kOne, "SWScanRules [%s, %s, %s] not found", 3,
     false, internal::kF, {"Vendor", "Name", "Version"}, {"GUID"}},
    {kRecordTypeRevisionLogEntry, "RevisionLogEntry", "", 0, "", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeDBMaintenanceJob, "DBMaintenanceJob", "OVODBMaintenanceJob", internal::kFail,
     "Database maintenance job [%s] not found", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeDomain, "Domain", "OVODomain", 0, "", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeDipSyncJob, "DipSyncJob", "OVO::DipSyncJob", internal::kFail, "DipSyncJob [%s] not found", 1, false,
     internal::kF, {"GUID"}, {}},
    {kRecordTypeDownloadJob, "DownloadJob", "OVODownloadJob", internal::kFail, "Download job [%s] not found", 1, false,
     internal::kF, {"GUID"}, {}},
    {kRecordTypeBootEnvironment, "BootEnvironment", "OVOBootEnvironment", 0, "", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypePCIVendor, "PCIVendor", "OVOPCIVendor", internal::kOne, "Component vendor [%s] not found", 1, false,
     internal::kF, {"VendorID"}, {}},
    {kRecordTypePCIDevice, "PCIDevice", "OVOPCIDevice", internal::kOne, "Component device [%s,%04X] not found", 2,
     false, internal::kF, {"VendorID", "DeviceID"}, {}},
    {kRecordTypeDip, "Dip", "OVO::Dip", internal::kFail, "DIP [%s] not found", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypePTMProduct, "PTMProduct", "OVOPTMProduct", internal::kOne, "Bulletin [%s, %s] not found", 2, false,
     internal::kF, {"GUID", "GUIDBulletin"}, {"GUIDBulletin"}},
    {kRecordTypePTMBulletin, "PTMBulletin", "OVOPTMBulletin", internal::kOne, "Bulletin [%s] not found", 1, false,
     internal::kF, {"GUID"}, {}},
    {kRecordTypePTMPatch, "PTMPatch", "OVOPTMPatch", internal::kOne, "Patch [%s] not found", 1, false, internal::kF,
     {"GUID"}, {"GUIDBulletin"}},
    {kRecordTypePTMAffectedProduct, "PTMAffectedProduct", "OVOPTMAffectedProduct", 0, "", 2, false, internal::kF,
     {"GUIDPatch", "GUIDProduct"}, {"GUIDPatch"}},
    {kRecordTypePTMMachinePatchState, "PTMMachinePatchState", "OVOPTMMachinePatchState", internal::kOne,
     "MachinePatchState [%s, %s] not found", 2, false, internal::kF, {"GUIDMachine", "GUIDPatch"}, {"GUIDMachine"}},
    {kRecordTypeInventoryTemplate, "InventoryTemplate", "OVO::InventoryTemplate", internal::kOne,
     "InventoryTemplate [%s] not found", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypePTMBlockedBulletin, "PTMBlockedBulletin", "OVOPTMBlockedBulletin", 0, "", 2, false, internal::kF,
     {"GUIDMachine", "GUIDBulletin"}, {"GUIDMachine"}},
    {kRecordTypeMSWBlockedProduct, "MSWBlockedProduct", "OVO::MSWBlockedProduct", 0, "", 2, false, internal::kF,
     {"GUIDMachine", "GUIDProduct"}, {"GUIDMachine"}},
    {kRecordTypeMachineBaseline, "MachineBaseline", "OVOPTMMachineBaseline", 0, "", 2, false, internal::kF,
     {"GUIDMachine", "GUIDBaseline"}, {"GUIDMachine"}},
    {kRecordTypePersonalBackupTemplate, "PersonalBackupTemplate", "OVOPersonalBackupTemplate", 0, "", 1, false,
     internal::kF, {"GUID"}, {}},
    {kRecordTypePatchScan, "PatchScan", "OVOPTMPatchScan", 0, "", 1, false, internal::kF, {"GUID"}, {"GUIDMachine"}},
    {kRecordTypeADSyncJob, "ADSyncJob", "OVOADSyncJob", 0, "", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeAssetType, "AssetType", "OVO::AssetType", 0, "", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeAsset, "Asset", "OVO::Asset", 0, "", 1, false, internal::kF, {"GUID"}, {"AssetOwner", "AssetType"}},
    {kRecordTypeAssetReference, "AssetReference", "OVO::AssetReference", 0, "", 3, false, internal::kF,
     {"GUIDAsset", "GUIDTarget", "TargetType"}, {"GUIDAsset"}},
    {kRecordTypeSystemAppliedSWScanRule, "SystemAppliedSWScanRule", "OVOSystemAppliedSWScanRule", 0, "", 2, false,
     internal::kF, {"GUIDMachine", "SWScanRule/GUID"}, {"GUIDMachine"}},
    {kRecordTypeEnergyProfile, "EnergyProfile", "OVO::EnergyManagement::Profile", internal::kFail,
     "EnergyProfile [%s] not found", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeEnergyPolicy, "EnergyPolicy", "OVO::EnergyManagement::Policy", internal::kFail,
     "EnergyPolicy [%s] not found", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeVMProvisioningProfile, "VMProvisioningProfile", "CVMProvisioningProfile", internal::kFail,
     "VMProvisioningProfile [%s] not found", 1, false, internal::kF, {"GUID"}, {}},
    {kRecordTypeSnmpScanProfile, "SnmpScanProfile", "OVO::SnmpScanProfile", internal::kFail,
     "SNMP Scan Profile [%s] not found", 1, false, internal::kF, {"GUID"}, {}},
    // clang-format on
};

// The row of a record type (the option word is masked off), or nullptr.
constexpr const RecordFamily* FindRecordFamily(uint32_t typeOrWord) {
  const uint32_t type = RecordTypeOf(typeOrWord);
  for (const RecordFamily& f : kRecordFamilies)
    if (f.type == type) return &f;
  return nullptr;
}

// The row of a family by its name (exact case), or nullptr.
constexpr const RecordFamily* FindRecordFamily(std::string_view family) {
  for (const RecordFamily& f : kRecordFamilies)
    if (f.family == family) return &f;
  return nullptr;
}

// The row of a type that must be in the table. Checked by index: a
// sanitizing build cannot compare a table address with null at compile time.
template <uint32_t Type>
constexpr const RecordFamily& FamilyOf() {
  constexpr size_t index = [] {
    for (size_t i = 0; i < std::size(kRecordFamilies); ++i)
      if (kRecordFamilies[i].type == RecordTypeOf(Type)) return i;
    return std::size(kRecordFamilies);
  }();
  static_assert(index < std::size(kRecordFamilies), "record type without a family row");
  return kRecordFamilies[index];
}

// The key policy the stores apply to a type; types outside the table are
// keyed by their "GUID".
inline constexpr RecordFamily kUnlistedFamily = {
    0, "", "", 0, "", 1, false, RecordKeyPolicy::kFields, {"GUID"}, {}};
constexpr const RecordFamily& StoreFamilyOf(uint32_t typeOrWord) {
  const RecordFamily* f = FindRecordFamily(typeOrWord);
  return f != nullptr ? *f : kUnlistedFamily;
}

}  // namespace orvacmn

#endif  // ORVACMN_PERSISTENCE_RECORD_FAMILIES_H_
