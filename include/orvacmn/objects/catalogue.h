// The catalogue of object names and schema numbers.
//
// Every packable business class is constructed with a fixed pair: its object
// name (the tag of the root element of its packed text, compared letter for
// letter when a text is unpacked) and its schema number (kept, never written).
// This table holds the pair of every catalogued class, keyed by the class
// name as written in the code ("OVOSystem", "OVO::Properties",
// "OVO::EnergyManagement::TimeTracking::CComputer").
//
// Order: first the classes whose object name is the class name without its
// namespace and without a leading "OVO"/"Ovo", then the classes named
// otherwise. The generic OVOList and its named subclasses are not listed:
// they take their object name from whoever constructs them.
//
// A class takes its pair with OVOXMLSupport(CatalogueEntryFor("OVOJob")),
// which does not compile for a class name that is not catalogued.
#ifndef ORVACMN_OBJECTS_CATALOGUE_H_
#define ORVACMN_OBJECTS_CATALOGUE_H_

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>

namespace orvacmn {

// Schema numbers.
constexpr uint32_t kSchema0 = 0;
constexpr uint32_t kSchema50001 = 0x50001;
constexpr uint32_t kSchema50002 = 0x50002;

// The string views refer to literals, so data() is NUL-terminated.
struct CatalogueEntry {
  std::string_view className;
  std::string_view objectName;
  uint32_t schema;
};

inline constexpr CatalogueEntry kCatalogue[] = {
    // Object name by the rule.
    {"OVO::Asset", "Asset", kSchema50001},
    {"OVO::AssetEnergyDay", "AssetEnergyDay", kSchema0},
    {"OVO::AssetReference", "AssetReference", kSchema50001},
    {"OVO::AssetType", "AssetType", kSchema50001},
    {"OVO::BitLockerProfile", "BitLockerProfile", kSchema50001},
    {"OVO::ComplianceScanProfile", "ComplianceScanProfile", kSchema50001},
    {"OVO::FileRule", "FileRule", kSchema50001},
    {"OVO::MSWBlockedProduct", "MSWBlockedProduct", kSchema50001},
    {"OVO::MSWProduct", "MSWProduct", kSchema50001},
    {"OVO::Properties", "Properties", kSchema50002},
    {"OVO::SnmpScanProfile", "SnmpScanProfile", kSchema50001},
    {"OVO::OVOWellKnownCategory", "WellKnownCategory", kSchema50001},
    {"OVO::OVOWuaJobStepSettings", "WuaJobStepSettings", kSchema50001},
    {"OVO::EnergyManagement::TimeTracking", "TimeTracking", kSchema0},
    {"HashObject", "HashObject", kSchema50001},
    {"OVOADObject", "ADObject", kSchema50001},
    {"OVOADSyncJob", "ADSyncJob", kSchema50001},
    {"OVOAUTAppTrackingData", "AUTAppTrackingData", kSchema50001},
    {"OVOAUTApplicationDetectRules", "AUTApplicationDetectRules", kSchema50001},
    {"OVOAUTFileRule", "AUTFileRule", kSchema50001},
    {"OVOAUTTrackingData", "AUTTrackingData", kSchema50001},
    {"OVOBootEnvironment", "BootEnvironment", kSchema50001},
    {"OVOBundle", "Bundle", kSchema50001},
    {"OVOBundleList", "BundleList", kSchema50001},
    {"OVOClientIdentification", "ClientIdentification", kSchema50001},
    {"OVOClientState", "ClientState", kSchema50001},
    {"OVOCommRule", "CommRule", kSchema50001},
    {"OVOCommRuleEntries", "CommRuleEntries", kSchema50001},
    {"OVOCustomVar", "CustomVar", kSchema50001},
    {"OVOCustomVarDef", "CustomVarDef", kSchema50001},
    {"OVOCustomVarDefList", "CustomVarDefList", kSchema50001},
    {"OVODBMaintenanceJob", "DBMaintenanceJob", kSchema50001},
    {"OVODesasterBackup", "DesasterBackup", kSchema50001},
    {"OVODesasterRestore", "DesasterRestore", kSchema50001},
    {"OVODomain", "Domain", kSchema50001},
    {"OVODownloadJob", "DownloadJob", kSchema50001},
    {"OVODynamicGroup", "DynamicGroup", kSchema50001},
    {"OVOFileDownloadState", "FileDownloadState", kSchema50001},
    {"OVOHardwareComponent", "HardwareComponent", kSchema50001},
    {"OVOIPNetwork", "IPNetwork", kSchema50001},
    {"OVOInstallEngine", "InstallEngine", kSchema50001},
    {"OVOInstalledSoftware", "InstalledSoftware", kSchema50001},
    {"OVOInstalledSoftwareEntry", "InstalledSoftwareEntry", kSchema50001},
    {"OVOInventoryData", "InventoryData", kSchema50001},
    {"OVOInventoryFileInformation", "InventoryFileInformation", kSchema50001},
    {"OVOInventoryScan", "InventoryScan", kSchema50001},
    {"OVOInventoryWMIData", "InventoryWMIData", kSchema50001},
    {"OVOJob", "Job", kSchema50001},
    {"OVOJobList", "JobList", kSchema50001},
    {"OVOJobStep", "JobStep", kSchema50001},
    {"OVOJobStepList", "JobStepList", kSchema50001},
    {"OVOJobTarget", "JobTarget", kSchema50001},
    {"OVOJobTargetList", "JobTargetList", kSchema50001},
    {"OVOOSCloningBackupOptions", "OSCloningBackupOptions", kSchema50001},
    {"OVOObjectRights", "ObjectRights", kSchema50001},
    {"OVOOrgUnit", "OrgUnit", kSchema50001},
    {"OVOPCIDevice", "PCIDevice", kSchema50001},
    {"OVOPCIVendor", "PCIVendor", kSchema50001},
    {"OVOPTMAffectedProduct", "PTMAffectedProduct", kSchema50001},
    {"OVOPTMBaseline", "PTMBaseline", kSchema50001},
    {"OVOPTMBlockedBulletin", "PTMBlockedBulletin", kSchema50001},
    {"OVOPTMBulletin", "PTMBulletin", kSchema50001},
    {"OVOPTMBulletinBaseline", "PTMBulletinBaseline", kSchema50001},
    {"OVOPTMCfg", "PTMCfg", kSchema50001},
    {"OVOPTMCriticality", "PTMCriticality", kSchema50001},
    {"OVOPTMMachineBaseline", "PTMMachineBaseline", kSchema50001},
    {"OVOPTMMachinePatchState", "PTMMachinePatchState", kSchema50001},
    {"OVOPTMPatch", "PTMPatch", kSchema50001},
    {"OVOPTMPriority", "PTMPriority", kSchema50001},
    {"OVOPTMProduct", "PTMProduct", kSchema50001},
    {"OVOPTMSLAEntry", "PTMSLAEntry", kSchema50001},
    {"OVOPartitioning", "Partitioning", kSchema50001},
    {"OVOPersonalBackupTemplate", "PersonalBackupTemplate", kSchema50001},
    {"OVOProperties", "Properties", kSchema50001},
    {"OVOReferencedObject", "ReferencedObject", kSchema50001},
    {"OVOReservedLicense", "ReservedLicense", kSchema50001},
    {"OVOSecurityProfile", "SecurityProfile", kSchema50001},
    {"OVOSecurityUserOrGroup", "SecurityUserOrGroup", kSchema50001},
    {"OVOSettings", "Settings", kSchema50001},
    {"OVOSoftwareApplication", "SoftwareApplication", kSchema50001},
    {"OVOSoftwareDriver", "SoftwareDriver", kSchema50001},
    {"OVOSoftwareFiles", "SoftwareFiles", kSchema50001},
    {"OVOSoftwareLicenses", "SoftwareLicenses", kSchema50001},
    {"OVOSoftwareOS", "SoftwareOS", kSchema50001},
    {"OVOStatisticData", "StatisticData", kSchema50001},
    {"OVOSystemAppliedSWScanRule", "SystemAppliedSWScanRule", kSchema50001},
    {"OVOTextEntry", "TextEntry", kSchema50001},
    {"OVOUserJobState", "UserJobState", kSchema50001},
    {"OVOUserProfile", "UserProfile", kSchema50001},
    {"OVOVars", "Vars", kSchema50001},
    // Object names of their own.
    {"OVOSystem", "Client", kSchema50001},
    {"OVOGroup", "LogicalGroup", kSchema50001},
    {"OVOSoftwareApplicationList", "SoftwareApplications", kSchema50001},
    {"OVOSWScanAppRule", "SWScanRule", kSchema50001},
    {"OVO::SWRule", "SWScanRuleFileEntry", kSchema50001},
    {"OVOSoftwareFiles::FileEntry", "SoftwareFilesFileEntry", kSchema50001},
    {"OVOSoftwareApplication::DependencyEntry", "Dependencies", kSchema0},
    {"_OVOLicenseActions", "LicenseActions", kSchema50001},
    {"OVOManagedSoftwareProperties", "ManagedSoftwareData", kSchema50001},
    {"OVOHardwareInstalledComponent", "InstalledComponent", kSchema50001},
    {"OVOHardwareHWProfile", "HardwareProfile", kSchema50001},
    {"OVOAUTWhiteList", "AUTWhitelist", kSchema50001},
    {"OvoSpv", "SPV", kSchema50001},
    {"OvoSqlCondition", "SQLCondition", kSchema50001},
    {"OVOPTMPatchScan", "PatchScan", kSchema50001},
    {"OVOPTMBulletinStateEntry", "BulletinStateEntry", kSchema50001},
    {"OVOPTMShortMachinePatchState", "ShortMachinePatchState", kSchema50001},
    {"OVOPTMShortMachinePatchState::_StrongestBaseline", "StrongestBaseline", kSchema50001},
    {"OVOPTMShortMachinePatchState::_RequiredPatch", "RequiredPatch", kSchema50001},
    {"OVOPTMShortMachinePatchState::_InstalledPatch", "InstalledPatch", kSchema50001},
    {"OVO::Dip", "DIP", kSchema50001},
    {"OVO::DipSyncJob", "SyncJob", kSchema50001},
    {"OVO::InventoryTemplate", "OVOInventoryTemplate", kSchema50001},
    {"OVO::AssetEnergyWeek", "AssetEnergyData", kSchema0},
    {"OVO::EnergyManagement::Profile", "EnergyProfile", kSchema50001},
    {"OVO::EnergyManagement::Policy", "EnergyPolicy", kSchema50001},
    {"OVO::EnergyManagement::Policy::PolicyProfile", "EnergyPolicyProfile", kSchema50001},
    {"OVO::EnergyManagement::PowerSettings", "OVOPowerSettings", kSchema0},
    {"OVO::EnergyManagement::TimeTracking::CComputer", "Computer", kSchema0},
    {"OVO::EnergyManagement::TimeTracking::CMonitor", "Monitor", kSchema0},
    {"COVKVars", "OVSVars", kSchema50001},
    {"CVMProvisioningProfile", "VMProvisioningProfile", kSchema50001},
};

// Entries before this index follow the naming rule; the rest do not.
inline constexpr size_t kCatalogueRuleCount = 90;
inline constexpr size_t kCatalogueSize = std::size(kCatalogue);

constexpr std::span<const CatalogueEntry> Catalogue() { return kCatalogue; }

// The entry of a class, by its exact class name; for use in constructors. A
// class name that is not catalogued makes the program ill-formed.
consteval CatalogueEntry CatalogueEntryFor(std::string_view className) {
  for (const CatalogueEntry& e : kCatalogue)
    if (e.className == className) return e;
  throw "class is not catalogued";
}

// The entry of a class by its exact class name, or nullptr.
const CatalogueEntry* FindCatalogueEntry(std::string_view className);

// Entries carrying an object name (compared exactly), in catalogue order. A
// view into static data: no allocation, valid for the program's lifetime.
class CatalogueEntries {
 public:
  class iterator {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = CatalogueEntry;
    using difference_type = std::ptrdiff_t;
    using pointer = const CatalogueEntry*;
    using reference = const CatalogueEntry&;

    iterator() = default;
    explicit iterator(const uint16_t* p) : p_(p) {}
    reference operator*() const { return kCatalogue[*p_]; }
    pointer operator->() const { return &kCatalogue[*p_]; }
    iterator& operator++() { ++p_; return *this; }
    iterator operator++(int) { iterator t = *this; ++p_; return t; }
    difference_type operator-(const iterator& o) const { return p_ - o.p_; }
    bool operator==(const iterator& o) const { return p_ == o.p_; }

   private:
    const uint16_t* p_ = nullptr;
  };

  CatalogueEntries() = default;
  CatalogueEntries(const uint16_t* first, const uint16_t* last) : first_(first), last_(last) {}
  iterator begin() const { return iterator(first_); }
  iterator end() const { return iterator(last_); }
  size_t size() const { return static_cast<size_t>(last_ - first_); }
  bool empty() const { return first_ == last_; }
  const CatalogueEntry& operator[](size_t i) const { return kCatalogue[first_[i]]; }

 private:
  const uint16_t* first_ = nullptr;
  const uint16_t* last_ = nullptr;
};

CatalogueEntries FindCatalogueEntriesByObjectName(std::string_view objectName);

}  // namespace orvacmn

#endif  // ORVACMN_OBJECTS_CATALOGUE_H_
