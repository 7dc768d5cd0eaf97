// The record classes of the object store whose content the library does not
// interpret: each knows its object name and schema from the catalogue, reads
// the fields its family's operations build record keys from, and keeps every
// other child element as it came (OVOKeptChildrenObject), so that a record
// another program wrote survives a load and a save unchanged.
//
// Class                         object name              key fields (then data fields)
// OVOSettings                   Settings                 Name
// OVOOrgUnit                    OrgUnit                  GUID, GUIDParent, Name (SupportedObjects, ObjectRights)
// OVOGroup (directory/group.h)  LogicalGroup             GUID, GUIDParent, Name (Domain, network settings,
//                                                        AllowedHWProfiles, ObjectRights)
// OVOBundle                     Bundle                   GUID (Name)
// OVOSoftwareOS                 SoftwareOS               GUID (Name)
// OVOFileDownloadState          FileDownloadState        GUID (Name)
// OVOInstalledSoftware          InstalledSoftware        GUIDMachine
// OVOInventoryScan              InventoryScan            GUID, GUIDMachine
// OVODBMaintenanceJob           DBMaintenanceJob         GUID (Name)
// OVODownloadJob                DownloadJob              GUID (Name)
// OVOADSyncJob                  ADSyncJob                GUID (Name)
// OVOBootEnvironment            BootEnvironment          GUID (Name)
// OVOUserProfile                UserProfile              GUID (Name)
// OVOPersonalBackupTemplate     PersonalBackupTemplate   GUID (Name)
// OVOPTMProduct                 PTMProduct               GUID, GUIDBulletin (Name)
// OVOPTMBulletin                PTMBulletin              GUID (Name)
// OVOPTMPatch                   PTMPatch                 GUID, GUIDBulletin (Name, Bulletin, ReleaseLevel)
// OVOPTMAffectedProduct         PTMAffectedProduct       GUIDPatch, GUIDProduct
// OVOPTMMachinePatchState       PTMMachinePatchState     GUIDMachine, GUIDPatch
// OVOPTMBlockedBulletin         PTMBlockedBulletin       GUIDMachine, GUIDBulletin
// OVOPTMMachineBaseline         PTMMachineBaseline       GUIDMachine, GUIDBaseline
// OVOPTMPatchScan               PatchScan                GUID, GUIDMachine
// OVOPTMBaseline                PTMBaseline              GUID (Name)
// OVOPTMBulletinBaseline        PTMBulletinBaseline      GUIDBulletin, GUIDBaseline
// CVMProvisioningProfile        VMProvisioningProfile    GUID (Name)
// OVO::MSWProduct               MSWProduct               GUID (Name)
// OVO::MSWBlockedProduct        MSWBlockedProduct        GUIDMachine, GUIDProduct
// OVO::AssetType                AssetType                GUID (Name)
// OVO::Asset                    Asset                    GUID, AssetOwner, AssetType (Name)
// OVO::AssetReference           AssetReference           GUIDAsset, GUIDTarget, TargetType
// OVO::InventoryTemplate        OVOInventoryTemplate     GUID (Name)
// OVO::SnmpScanProfile          SnmpScanProfile          GUID (Name)
//
// Key fields are the fields the family's store operations build record keys
// from; an operation takes those it names, in its own order (an
// organisational unit is found by its GUID, or by its parent and name; a
// patch by its GUID, or its patches by their bulletin).
//
// Every field is a String under the tag of its name, except: SupportedObjects
// and TargetType (unsigned 32-bit, decimal), ReleaseLevel (the release level
// as its decimal value), AllowedHWProfiles and ObjectRights (nested
// elements). Each class has its owning list, named after it with "List"
// (OVOBundleList, OVO::AssetList, OVOGroupList). kKeyedRecordClasses holds
// the same table for code: each class with its field table (KeptField::key
// marks the key fields) and a factory.
//
// Objects carry no locks; one thread at a time per object.
#ifndef ORVACMN_RECORDS_KEYED_RECORDS_H_
#define ORVACMN_RECORDS_KEYED_RECORDS_H_

#include <memory>
#include <span>
#include <string_view>

#include "orvacmn/directory/group.h"
#include "orvacmn/objects/owning_ptr_list.h"
#include "orvacmn/records/record_fields.h"

// Field lists.
#define ORVACMN_GUID_KEY(F) F(GUID, Text, kKeyField)
#define ORVACMN_GUID_NAME(F) ORVACMN_GUID_KEY(F) F(Name, Text, kDataField)
#define ORVACMN_MACHINE_KEY(F) F(GUIDMachine, Text, kKeyField)
#define ORVACMN_SETTINGS_FIELDS(F) F(Name, Text, kKeyField)
#define ORVACMN_ORG_UNIT_FIELDS(F)                                                  \
  ORVACMN_GUID_KEY(F) F(GUIDParent, Text, kKeyField) F(Name, Text, kKeyField)       \
  F(SupportedObjects, UInt32, kDataField) F(ObjectRights, Rights, kDataField)
#define ORVACMN_SCAN_FIELDS(F) ORVACMN_GUID_KEY(F) ORVACMN_MACHINE_KEY(F)
#define ORVACMN_PRODUCT_FIELDS(F) ORVACMN_GUID_KEY(F) F(GUIDBulletin, Text, kKeyField) F(Name, Text, kDataField)
#define ORVACMN_PATCH_FIELDS(F)                                                            \
  ORVACMN_PRODUCT_FIELDS(F) F(Bulletin, Text, kDataField) F(ReleaseLevel, Level, kDataField)
#define ORVACMN_AFFECTED_PRODUCT_FIELDS(F) F(GUIDPatch, Text, kKeyField) F(GUIDProduct, Text, kKeyField)
#define ORVACMN_MACHINE_PATCH_FIELDS(F) ORVACMN_MACHINE_KEY(F) F(GUIDPatch, Text, kKeyField)
#define ORVACMN_MACHINE_BULLETIN_FIELDS(F) ORVACMN_MACHINE_KEY(F) F(GUIDBulletin, Text, kKeyField)
#define ORVACMN_MACHINE_BASELINE_FIELDS(F) ORVACMN_MACHINE_KEY(F) F(GUIDBaseline, Text, kKeyField)
#define ORVACMN_BULLETIN_BASELINE_FIELDS(F) F(GUIDBulletin, Text, kKeyField) F(GUIDBaseline, Text, kKeyField)
#define ORVACMN_MACHINE_PRODUCT_FIELDS(F) ORVACMN_MACHINE_KEY(F) F(GUIDProduct, Text, kKeyField)
#define ORVACMN_ASSET_FIELDS(F) \
  ORVACMN_GUID_KEY(F) F(AssetOwner, Text, kKeyField) F(AssetType, Text, kKeyField) F(Name, Text, kDataField)
#define ORVACMN_ASSET_REFERENCE_FIELDS(F) \
  F(GUIDAsset, Text, kKeyField) F(GUIDTarget, Text, kKeyField) F(TargetType, UInt32, kKeyField)

// R(Class, FIELDS): the classes of the global namespace, then those of the
// namespace OVO.
#define ORVACMN_KEYED_RECORDS(R)                              \
  R(OVOSettings, ORVACMN_SETTINGS_FIELDS)                     \
  R(OVOOrgUnit, ORVACMN_ORG_UNIT_FIELDS)                      \
  R(OVOBundle, ORVACMN_GUID_NAME)                             \
  R(OVOSoftwareOS, ORVACMN_GUID_NAME)                         \
  R(OVOFileDownloadState, ORVACMN_GUID_NAME)                  \
  R(OVOInstalledSoftware, ORVACMN_MACHINE_KEY)                \
  R(OVOInventoryScan, ORVACMN_SCAN_FIELDS)                    \
  R(OVODBMaintenanceJob, ORVACMN_GUID_NAME)                   \
  R(OVODownloadJob, ORVACMN_GUID_NAME)                        \
  R(OVOADSyncJob, ORVACMN_GUID_NAME)                          \
  R(OVOBootEnvironment, ORVACMN_GUID_NAME)                    \
  R(OVOUserProfile, ORVACMN_GUID_NAME)                        \
  R(OVOPersonalBackupTemplate, ORVACMN_GUID_NAME)             \
  R(OVOPTMProduct, ORVACMN_PRODUCT_FIELDS)                    \
  R(OVOPTMBulletin, ORVACMN_GUID_NAME)                        \
  R(OVOPTMPatch, ORVACMN_PATCH_FIELDS)                        \
  R(OVOPTMAffectedProduct, ORVACMN_AFFECTED_PRODUCT_FIELDS)   \
  R(OVOPTMMachinePatchState, ORVACMN_MACHINE_PATCH_FIELDS)    \
  R(OVOPTMBlockedBulletin, ORVACMN_MACHINE_BULLETIN_FIELDS)   \
  R(OVOPTMMachineBaseline, ORVACMN_MACHINE_BASELINE_FIELDS)   \
  R(OVOPTMPatchScan, ORVACMN_SCAN_FIELDS)                     \
  R(OVOPTMBaseline, ORVACMN_GUID_NAME)                        \
  R(OVOPTMBulletinBaseline, ORVACMN_BULLETIN_BASELINE_FIELDS) \
  R(CVMProvisioningProfile, ORVACMN_GUID_NAME)
#define ORVACMN_KEYED_RECORDS_OVO(R)                   \
  R(MSWProduct, ORVACMN_GUID_NAME)                     \
  R(MSWBlockedProduct, ORVACMN_MACHINE_PRODUCT_FIELDS) \
  R(AssetType, ORVACMN_GUID_NAME)                      \
  R(Asset, ORVACMN_ASSET_FIELDS)                       \
  R(AssetReference, ORVACMN_ASSET_REFERENCE_FIELDS)    \
  R(InventoryTemplate, ORVACMN_GUID_NAME)              \
  R(SnmpScanProfile, ORVACMN_GUID_NAME)

// Each class with its owning list ClassList; `Catalogued` is its name in the
// catalogue.
#define ORVACMN_DECLARE_KEYED_RECORD(Class, Catalogued, FIELDS)           \
  class Class : public ::orvacmn::OVOKeptChildrenObject {                 \
    ORVACMN_RECORD_BODY(Class, OVOKeptChildrenObject, Catalogued, FIELDS) \
  };                                                                      \
  using Class##List = ::orvacmn::OVOOwningPtrList<Class>;
#define ORVACMN_DECLARE_KEYED_RECORD_GLOBAL(Class, FIELDS) ORVACMN_DECLARE_KEYED_RECORD(Class, #Class, FIELDS)
#define ORVACMN_DECLARE_KEYED_RECORD_OVO(Class, FIELDS) ORVACMN_DECLARE_KEYED_RECORD(Class, "OVO::" #Class, FIELDS)

namespace orvacmn {

ORVACMN_KEYED_RECORDS(ORVACMN_DECLARE_KEYED_RECORD_GLOBAL)
using OVOGroupList = OVOOwningPtrList<OVOGroup>;

namespace OVO {
ORVACMN_KEYED_RECORDS_OVO(ORVACMN_DECLARE_KEYED_RECORD_OVO)
}  // namespace OVO

// One row per class: its class name as catalogued, its object name, its
// declared fields and a factory of a fresh object.
struct KeyedRecordClass {
  std::string_view className;
  std::string_view objectName;
  std::span<const KeptField> fields;
  std::unique_ptr<OVOKeptChildrenObject> (*create)();
};

namespace internal {
template <class C>
std::unique_ptr<OVOKeptChildrenObject> CreateKeyed() {
  return std::make_unique<C>();
}
template <class C>
constexpr KeyedRecordClass KeyedRow() {
  return {C::kClassName, CatalogueEntryFor(C::kClassName).objectName, C::kFields, &CreateKeyed<C>};
}
}  // namespace internal

#define ORVACMN_KEYED_RECORD_ROW(Class, FIELDS) internal::KeyedRow<Class>(),
#define ORVACMN_KEYED_RECORD_ROW_OVO(Class, FIELDS) internal::KeyedRow<OVO::Class>(),

inline constexpr KeyedRecordClass kKeyedRecordClasses[] = {
    ORVACMN_KEYED_RECORDS(ORVACMN_KEYED_RECORD_ROW) internal::KeyedRow<OVOGroup>(),
    ORVACMN_KEYED_RECORDS_OVO(ORVACMN_KEYED_RECORD_ROW_OVO)};

#undef ORVACMN_KEYED_RECORD_ROW
#undef ORVACMN_KEYED_RECORD_ROW_OVO

// The row of a class by its catalogued name ("OVOBundle", "OVO::Asset"), or
// nullptr.
const KeyedRecordClass* FindKeyedRecordClass(std::string_view className);

}  // namespace orvacmn

#endif  // ORVACMN_RECORDS_KEYED_RECORDS_H_
