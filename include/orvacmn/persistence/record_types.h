// Record types of the object store: the number in the low 16 bits of the
// first argument of every record call, one per family of records. The high
// bits carry the option word (revision logging and the store's own bits), so
// whoever reads a type from such a word masks it with RecordTypeOf.
//
// Constants only; the library, the stores and the tools share them.
#ifndef ORVACMN_PERSISTENCE_RECORD_TYPES_H_
#define ORVACMN_PERSISTENCE_RECORD_TYPES_H_

#include <cstdint>

namespace orvacmn {

inline constexpr uint32_t kRecordTypeMask = 0xFFFF;

// The record type of a call's first argument, without the option word.
constexpr uint32_t RecordTypeOf(uint32_t word) { return word & kRecordTypeMask; }

inline constexpr uint32_t kRecordTypeSettings = 1;
inline constexpr uint32_t kRecordTypeOrgUnit = 5;
inline constexpr uint32_t kRecordTypeObjectRights = 6;
inline constexpr uint32_t kRecordTypeHardwareProfile = 10;
inline constexpr uint32_t kRecordTypeHardwareComponent = 11;
inline constexpr uint32_t kRecordTypeMSWProduct = 29;
inline constexpr uint32_t kRecordTypeBundle = 30;
inline constexpr uint32_t kRecordTypeSoftwareOS = 32;
inline constexpr uint32_t kRecordTypeSoftwareApplication = 33;
inline constexpr uint32_t kRecordTypeSoftwareDriver = 34;
inline constexpr uint32_t kRecordTypeInstallEngine = 35;
inline constexpr uint32_t kRecordTypeReservedLicense = 36;
inline constexpr uint32_t kRecordTypeFileDownloadState = 39;
inline constexpr uint32_t kRecordTypeJob = 40;
inline constexpr uint32_t kRecordTypeJobStep = 41;
inline constexpr uint32_t kRecordTypeJobTarget = 42;
inline constexpr uint32_t kRecordTypeGroup = 50;
inline constexpr uint32_t kRecordTypeClient = 51;
inline constexpr uint32_t kRecordTypeInstalledSoftware = 52;
inline constexpr uint32_t kRecordTypeDynamicGroup = 53;
inline constexpr uint32_t kRecordTypeADObject = 55;
inline constexpr uint32_t kRecordTypeUserJobState = 56;
inline constexpr uint32_t kRecordTypeSecurityProfile = 60;
inline constexpr uint32_t kRecordTypeSecurityUserOrGroup = 61;
inline constexpr uint32_t kRecordTypeUserProfile = 62;
inline constexpr uint32_t kRecordTypeInventoryScan = 70;
inline constexpr uint32_t kRecordTypeInventoryNode = 71;
inline constexpr uint32_t kRecordTypeInventoryFile = 72;
inline constexpr uint32_t kRecordTypeClientState = 80;
inline constexpr uint32_t kRecordTypeCustomVarDef = 90;
inline constexpr uint32_t kRecordTypeSWScanRule = 91;
inline constexpr uint32_t kRecordTypeRevisionLogEntry = 101;
inline constexpr uint32_t kRecordTypeDBMaintenanceJob = 102;
inline constexpr uint32_t kRecordTypeDomain = 111;
inline constexpr uint32_t kRecordTypeDipSyncJob = 112;
// Its writes are named after the synchronisation job ("CreateSyncJob").
inline constexpr uint32_t kRecordTypeSyncJob = kRecordTypeDipSyncJob;
inline constexpr uint32_t kRecordTypeDownloadJob = 113;
inline constexpr uint32_t kRecordTypeBootEnvironment = 114;
inline constexpr uint32_t kRecordTypePCIVendor = 120;
inline constexpr uint32_t kRecordTypePCIDevice = 121;
inline constexpr uint32_t kRecordTypeDip = 130;
inline constexpr uint32_t kRecordTypePTMProduct = 142;
inline constexpr uint32_t kRecordTypePTMBulletin = 144;
inline constexpr uint32_t kRecordTypePTMPatch = 145;
inline constexpr uint32_t kRecordTypePTMAffectedProduct = 146;
inline constexpr uint32_t kRecordTypePTMMachinePatchState = 147;
inline constexpr uint32_t kRecordTypeInventoryTemplate = 149;
inline constexpr uint32_t kRecordTypePTMBlockedBulletin = 155;
inline constexpr uint32_t kRecordTypeMSWBlockedProduct = 158;
inline constexpr uint32_t kRecordTypeMachineBaseline = 164;
inline constexpr uint32_t kRecordTypePersonalBackupTemplate = 169;
inline constexpr uint32_t kRecordTypePatchScan = 170;
inline constexpr uint32_t kRecordTypeADSyncJob = 180;
inline constexpr uint32_t kRecordTypeAssetType = 190;
inline constexpr uint32_t kRecordTypeAsset = 191;
inline constexpr uint32_t kRecordTypeAssetReference = 192;
inline constexpr uint32_t kRecordTypeSystemAppliedSWScanRule = 200;
inline constexpr uint32_t kRecordTypeEnergyProfile = 203;
inline constexpr uint32_t kRecordTypeEnergyPolicy = 204;
inline constexpr uint32_t kRecordTypeVMProvisioningProfile = 209;
inline constexpr uint32_t kRecordTypeSnmpScanProfile = 210;

}  // namespace orvacmn

#endif  // ORVACMN_PERSISTENCE_RECORD_TYPES_H_
