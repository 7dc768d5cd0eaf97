// The named typed operations of the record families, as one row per family
// for the preprocessor: CDBAccess declares them from these rows and each
// group's source file (src/persistence/families/) defines its rows, every
// operation one call of the shared typed path (typed_load.h) with the
// family's row of kRecordFamilies.
//
// A row: F(Family, Plural, Class, List, load, list, create, save, update,
// delete). Family is the suffix of its kRecordType constant and of the
// operation names; each of the last six names the form of that operation or
// is _ for none:
//   LOAD1   Load<Family>(key, object, out, flags, found)
//   LOAD2   Load<Family>(key, key2, object, out, flags, found)
// (a load and an update take as many keys as the family's row names)
//   LIST    Load<Plural>(list, out, flags): every record
//   CREATE  Create<Family>(object, out)
//   SAVE    Save<Family>(object, out): under the object's own key fields
//   UPDATE1 Update<Family>(key, record text, out)
//   UPDATE2 Update<Family>(key, key2, record text, out)
//   DELETE1 Delete<Family>(key, out): the record, or the records whose key
//           begins with `key`
//   DELETE2 Delete<Family>(key, key2, out)
// Operations with conditions or several forms are written by hand beside.
#ifndef ORVACMN_PERSISTENCE_FAMILY_OPERATIONS_H_
#define ORVACMN_PERSISTENCE_FAMILY_OPERATIONS_H_

#include <cstdint>
#include <map>
#include <memory>

#include "orvacmn/common/types.h"

namespace orvacmn {

// Load flags of the typed loads that take none: everything of the record.
inline constexpr uint32_t kLoadAllFlags = 0xFFFFFF;

template <class T>
class OVOOwningPtrList;
// Objects of one family by their GUID, as the map forms of the list loads fill it.
template <class T>
using OVOObjectMap = std::map<String, std::unique_ptr<T>>;

class OVOADObject;
class OVOADSyncJob;
class OVOBootEnvironment;
class OVOBundle;
class OVODBMaintenanceJob;
class OVODomain;
class OVODomainList;
class OVODownloadJob;
class OVODynamicGroup;
class OVODynamicGroupList;
class OVOFileDownloadState;
class OVOGroup;
class OVOHardwareComponent;
class OVOHardwareComponentList;
class OVOHardwareHWProfile;
class OVOHardwareHWProfileList;
class OVOInstallEngine;
class OVOInstalledSoftware;
class OVOInventoryScan;
class OVOJob;
class OVOJobList;
class OVOJobStep;
class OVOJobTarget;
class OVOJobTargetList;
class OVOObjectRights;
class OVOOrgUnit;
class OVOPCIDevice;
class OVOPCIVendor;
class OVOPTMAffectedProduct;
class OVOPTMBlockedBulletin;
class OVOPTMBulletin;
class OVOPTMMachineBaseline;
class OVOPTMMachinePatchState;
class OVOPTMPatch;
class OVOPTMPatchScan;
class OVOPTMProduct;
class OVOPersonalBackupTemplate;
class OVOSecurityProfile;
class OVOSecurityUserOrGroup;
class OVOSettings;
class OVOSoftwareApplication;
class OVOSoftwareApplicationList;
class OVOSoftwareDriver;
class OVOSoftwareDriverList;
class OVOSoftwareOS;
class OVOSWScanAppRule;
class OVOSystemAppliedSWScanRule;
class OVOUserJobState;
class OVOUserJobStateList;
class OVOJobStepList;
class OVOCustomVarDefList;
class OVOUserProfile;
class CVMProvisioningProfile;
using OVOADObjectList = OVOOwningPtrList<OVOADObject>;
using OVOBundleList = OVOOwningPtrList<OVOBundle>;
using OVOInstallEngineList = OVOOwningPtrList<OVOInstallEngine>;
using OVOSWScanAppRuleList = OVOOwningPtrList<OVOSWScanAppRule>;
using OVOSoftwareOSList = OVOOwningPtrList<OVOSoftwareOS>;
using OVOFileDownloadStateList = OVOOwningPtrList<OVOFileDownloadState>;
using OVODBMaintenanceJobList = OVOOwningPtrList<OVODBMaintenanceJob>;
using OVODownloadJobList = OVOOwningPtrList<OVODownloadJob>;
using OVOADSyncJobList = OVOOwningPtrList<OVOADSyncJob>;
using OVOBootEnvironmentList = OVOOwningPtrList<OVOBootEnvironment>;
using OVOPersonalBackupTemplateList = OVOOwningPtrList<OVOPersonalBackupTemplate>;
using OVOPTMProductList = OVOOwningPtrList<OVOPTMProduct>;
using OVOPTMBulletinList = OVOOwningPtrList<OVOPTMBulletin>;
using OVOPTMPatchList = OVOOwningPtrList<OVOPTMPatch>;
using OVOPTMAffectedProductList = OVOOwningPtrList<OVOPTMAffectedProduct>;
using OVOPTMBlockedBulletinList = OVOOwningPtrList<OVOPTMBlockedBulletin>;
using OVOPTMMachineBaselineList = OVOOwningPtrList<OVOPTMMachineBaseline>;
using OVOOrgUnitList = OVOOwningPtrList<OVOOrgUnit>;
using OVOGroupList = OVOOwningPtrList<OVOGroup>;
using CVMProvisioningProfileList = OVOOwningPtrList<CVMProvisioningProfile>;

namespace OVO {
class MSWProduct;
class MSWBlockedProduct;
class AssetType;
class Asset;
class AssetReference;
class InventoryTemplate;
class SnmpScanProfile;
class Dip;
class DipSyncJob;
using AssetList = OVOOwningPtrList<Asset>;
using DipList = OVOOwningPtrList<Dip>;
using DipSyncJobList = OVOOwningPtrList<DipSyncJob>;
using MSWProductList = OVOOwningPtrList<MSWProduct>;
using MSWBlockedProductList = OVOOwningPtrList<MSWBlockedProduct>;
using InventoryTemplateList = OVOOwningPtrList<InventoryTemplate>;
namespace EnergyManagement {
class Profile;
class ProfileList;
class Policy;
class PolicyList;
}  // namespace EnergyManagement
}  // namespace OVO

}  // namespace orvacmn

// clang-format off
#define ORVACMN_JOB_FAMILY_OPERATIONS(F)                                                                              \
  F(Job, Jobs, OVOJob, OVOJobList, LOAD1, LIST, CREATE, SAVE, _, DELETE1)                                            \
  F(JobStep, JobSteps, OVOJobStep, void, LOAD1, _, CREATE, _, UPDATE1, _)                                             \
  F(JobTarget, JobTargets, OVOJobTarget, OVOJobTargetList, LOAD2, _, CREATE, SAVE, _, DELETE2)                        \
  F(UserJobState, UserJobStates, OVOUserJobState, void, _, _, CREATE, _, _, _)                                        \
  F(DownloadJob, DownloadJobs, OVODownloadJob, OVODownloadJobList, LOAD1, LIST, CREATE, SAVE, _, DELETE1)             \
  F(DBMaintenanceJob, DBMaintenanceJobs, OVODBMaintenanceJob, OVODBMaintenanceJobList, LOAD1, LIST, _, SAVE, _,       \
    DELETE1)                                                                                                          \
  F(ADSyncJob, ADSyncJobs, OVOADSyncJob, OVOADSyncJobList, LOAD1, LIST, _, SAVE, UPDATE1, DELETE1)

#define ORVACMN_SOFTWARE_FAMILY_OPERATIONS(F)                                                                         \
  F(MSWProduct, MSWProducts, OVO::MSWProduct, OVO::MSWProductList, LOAD1, LIST, CREATE, SAVE, _, DELETE1)             \
  F(MSWBlockedProduct, MSWBlockedProducts, OVO::MSWBlockedProduct, OVO::MSWBlockedProductList, _, LIST, CREATE, _, _, \
    _)                                                                                                                \
  F(Bundle, Bundles, OVOBundle, OVOBundleList, LOAD1, LIST, CREATE, SAVE, _, DELETE1)                                 \
  F(SoftwareOS, SoftwareOSs, OVOSoftwareOS, OVOSoftwareOSList, LOAD1, LIST, CREATE, SAVE, _, _)                       \
  F(SoftwareApplication, SoftwareApplications, OVOSoftwareApplication, OVOSoftwareApplicationList, LOAD1, LIST,       \
    CREATE, SAVE, UPDATE1, DELETE1)                                                                                   \
  F(SoftwareDriver, SoftwareDrivers, OVOSoftwareDriver, void, LOAD1, _, _, SAVE, _, _)                                \
  F(InstallEngine, InstallEngines, OVOInstallEngine, OVOInstallEngineList, _, LIST, _, _, _, _)                       \
  F(SWScanRule, SWScanRules, OVOSWScanAppRule, void, _, _, CREATE, SAVE, _, _)                                        \
  F(SystemAppliedSWScanRule, SystemAppliedSWScanRules, OVOSystemAppliedSWScanRule, void, _, _, CREATE, SAVE, _,       \
    DELETE2)                                                                                                          \
  F(FileDownloadState, FileDownloadStates, OVOFileDownloadState, OVOFileDownloadStateList, LOAD1, LIST, CREATE, _,    \
    UPDATE1, _)                                                                                                       \
  F(InstalledSoftware, InstalledSoftwares, OVOInstalledSoftware, void, LOAD1, _, CREATE, _, _, DELETE1)

#define ORVACMN_PATCH_FAMILY_OPERATIONS(F)                                                                            \
  F(PTMProduct, PTMProducts, OVOPTMProduct, OVOPTMProductList, LOAD2, LIST, CREATE, SAVE, _, DELETE1)                 \
  F(PTMBulletin, PTMBulletins, OVOPTMBulletin, OVOPTMBulletinList, LOAD1, LIST, CREATE, SAVE, _, DELETE1)             \
  F(PTMPatch, PTMPatches, OVOPTMPatch, OVOPTMPatchList, LOAD1, LIST, CREATE, SAVE, UPDATE1, DELETE1)                  \
  F(PTMAffectedProduct, PTMAffectedProducts, OVOPTMAffectedProduct, OVOPTMAffectedProductList, _, LIST, _, _, _, _)   \
  F(PTMMachinePatchState, PTMMachinePatchStates, OVOPTMMachinePatchState, void, LOAD2, _, CREATE, SAVE, _, DELETE2)   \
  F(PTMBlockedBulletin, PTMBlockedBulletins, OVOPTMBlockedBulletin, OVOPTMBlockedBulletinList, _, LIST, CREATE, _, _, \
    _)                                                                                                                \
  F(MachineBaseline, MachineBaselines, OVOPTMMachineBaseline, OVOPTMMachineBaselineList, _, LIST, _, SAVE, _, _)      \
  F(PatchScan, PatchScans, OVOPTMPatchScan, void, LOAD1, _, CREATE, _, _, DELETE1)

#define ORVACMN_DIRECTORY_FAMILY_OPERATIONS(F)                                                                        \
  F(Settings, Settings, OVOSettings, void, LOAD1, _, _, SAVE, _, _)                                                   \
  F(OrgUnit, OrgUnits, OVOOrgUnit, OVOOrgUnitList, LOAD1, LIST, CREATE, SAVE, _, DELETE1)                             \
  F(Group, Groups, OVOGroup, OVOGroupList, LOAD1, LIST, CREATE, SAVE, _, DELETE1)                                     \
  F(DynamicGroup, DynamicGroups, OVODynamicGroup, OVODynamicGroupList, LOAD2, LIST, CREATE, SAVE, UPDATE2, DELETE1)   \
  F(ADObject, ADObjects, OVOADObject, OVOADObjectList, LOAD1, LIST, CREATE, SAVE, UPDATE1, DELETE1)                   \
  F(SecurityProfile, SecurityProfiles, OVOSecurityProfile, void, LOAD1, _, CREATE, _, _, _)                           \
  F(SecurityUserOrGroup, SecurityUserOrGroups, OVOSecurityUserOrGroup, void, LOAD1, _, CREATE, SAVE, _, _)            \
  F(UserProfile, UserProfiles, OVOUserProfile, void, LOAD1, _, CREATE, SAVE, _, DELETE1)                              \
  F(Domain, Domains, OVODomain, OVODomainList, _, LIST, _, _, _, _)                                                   \
  F(ObjectRights, ObjectRights, OVOObjectRights, void, LOAD1, _, _, _, _, DELETE1)

#define ORVACMN_HARDWARE_FAMILY_OPERATIONS(F)                                                                         \
  F(HardwareProfile, HardwareProfiles, OVOHardwareHWProfile, OVOHardwareHWProfileList, LOAD1, LIST, _, _, _, _)       \
  F(HardwareComponent, HardwareComponents, OVOHardwareComponent, OVOHardwareComponentList, _, LIST, CREATE, SAVE, _,  \
    _)                                                                                                                \
  F(PCIVendor, PCIVendors, OVOPCIVendor, void, LOAD1, _, CREATE, SAVE, _, DELETE1)                                    \
  F(PCIDevice, PCIDevices, OVOPCIDevice, void, _, _, CREATE, SAVE, _, _)                                              \
  F(BootEnvironment, BootEnvironments, OVOBootEnvironment, OVOBootEnvironmentList, _, LIST, _, _, _, _)

#define ORVACMN_ASSET_FAMILY_OPERATIONS(F)                                                                            \
  F(AssetType, AssetTypes, OVO::AssetType, void, LOAD1, _, CREATE, _, _, _)                                           \
  F(Asset, Assets, OVO::Asset, void, LOAD1, _, CREATE, SAVE, _, DELETE1)                                              \
  F(AssetReference, AssetReferences, OVO::AssetReference, void, _, _, CREATE, _, _, DELETE1)                          \
  F(InventoryScan, InventoryScans, OVOInventoryScan, void, _, _, CREATE, _, _, DELETE1)                               \
  F(InventoryTemplate, InventoryTemplates, OVO::InventoryTemplate, OVO::InventoryTemplateList, LOAD1, LIST, _, _, _,  \
    _)                                                                                                                \
  F(PersonalBackupTemplate, PersonalBackupTemplates, OVOPersonalBackupTemplate, OVOPersonalBackupTemplateList, _,     \
    LIST, _, _, _, _)                                                                                                 \
  F(VMProvisioningProfile, VMProvisioningProfiles, CVMProvisioningProfile, CVMProvisioningProfileList, LOAD1, LIST,   \
    _, _, _, _)                                                                                                       \
  F(SnmpScanProfile, SnmpScanProfiles, OVO::SnmpScanProfile, void, LOAD1, _, _, _, _, _)                              \
  F(EnergyProfile, EnergyProfiles, OVO::EnergyManagement::Profile, OVO::EnergyManagement::ProfileList, LOAD1, LIST,   \
    CREATE, SAVE, _, DELETE1)                                                                                         \
  F(EnergyPolicy, EnergyPolicies, OVO::EnergyManagement::Policy, OVO::EnergyManagement::PolicyList, LOAD1, LIST,      \
    CREATE, SAVE, _, DELETE1)

// Synchronisation jobs are created, saved, updated and deleted as "SyncJob"s.
#define ORVACMN_DISTRIBUTION_FAMILY_OPERATIONS(F)                                                                     \
  F(Dip, Dips, OVO::Dip, OVO::DipList, LOAD1, LIST, _, SAVE, UPDATE1, DELETE1)                                        \
  F(DipSyncJob, DipSyncJobs, OVO::DipSyncJob, OVO::DipSyncJobList, LOAD1, LIST, _, _, _, _)                           \
  F(SyncJob, SyncJobs, OVO::DipSyncJob, void, _, _, CREATE, SAVE, UPDATE1, DELETE1)
// clang-format on

#define ORVACMN_ALL_FAMILY_OPERATIONS(F)                                                               \
  ORVACMN_JOB_FAMILY_OPERATIONS(F) ORVACMN_SOFTWARE_FAMILY_OPERATIONS(F)                               \
  ORVACMN_PATCH_FAMILY_OPERATIONS(F) ORVACMN_DIRECTORY_FAMILY_OPERATIONS(F)                            \
  ORVACMN_HARDWARE_FAMILY_OPERATIONS(F) ORVACMN_ASSET_FAMILY_OPERATIONS(F)                             \
  ORVACMN_DISTRIBUTION_FAMILY_OPERATIONS(F)

// Declarations, inside CDBAccess.
#define ORVACMN_FAMILY_DECL__(F, P, C, L)
#define ORVACMN_FAMILY_DECL_LOAD1(F, P, C, L) \
  HRESULT Load##F(const String& key, C& object, String& out, uint32_t flags = kLoadAllFlags, bool* found = nullptr);
#define ORVACMN_FAMILY_DECL_LOAD2(F, P, C, L)                                                               \
  HRESULT Load##F(const String& key, const String& key2, C& object, String& out, uint32_t flags = kLoadAllFlags, \
                  bool* found = nullptr);
#define ORVACMN_FAMILY_DECL_LIST(F, P, C, L) HRESULT Load##P(L& list, String& out, uint32_t flags = kLoadAllFlags);
#define ORVACMN_FAMILY_DECL_CREATE(F, P, C, L) HRESULT Create##F(const C& object, String& out);
#define ORVACMN_FAMILY_DECL_SAVE(F, P, C, L) HRESULT Save##F(const C& object, String& out);
#define ORVACMN_FAMILY_DECL_UPDATE1(F, P, C, L) HRESULT Update##F(const String& key, const String& record, String& out);
#define ORVACMN_FAMILY_DECL_UPDATE2(F, P, C, L) \
  HRESULT Update##F(const String& key, const String& key2, const String& record, String& out);
#define ORVACMN_FAMILY_DECL_DELETE1(F, P, C, L) HRESULT Delete##F(const String& key, String& out);
#define ORVACMN_FAMILY_DECL_DELETE2(F, P, C, L) HRESULT Delete##F(const String& key, const String& key2, String& out);
#define ORVACMN_DECLARE_FAMILY_OPERATIONS(F, P, C, L, load, list, create, save, update, del)            \
  ORVACMN_FAMILY_DECL_##load(F, P, C, L) ORVACMN_FAMILY_DECL_##list(F, P, C, L)                       \
      ORVACMN_FAMILY_DECL_##create(F, P, C, L) ORVACMN_FAMILY_DECL_##save(F, P, C, L)                 \
          ORVACMN_FAMILY_DECL_##update(F, P, C, L) ORVACMN_FAMILY_DECL_##del(F, P, C, L)

#endif  // ORVACMN_PERSISTENCE_FAMILY_OPERATIONS_H_
