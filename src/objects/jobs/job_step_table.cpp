#include "orvacmn/jobs/job_step_table.h"

#include <array>
#include <type_traits>

#include "orvacmn/jobs/job_step_application.h"
#include "orvacmn/jobs/job_step_kinds.h"

namespace orvacmn {
namespace {

using S = OVOJobStep;
using R = JobStepKindRow;

// Kinds that serve several types are told which one to carry.
template <class K>
std::unique_ptr<OVOJobStep> Make(S::EStepType type) {
  if constexpr (std::is_constructible_v<K, S::EStepType, const String&>) return std::make_unique<K>(type, String());
  else return std::make_unique<K>();
}

constexpr auto kAgent = S::eRunOnAgent;
constexpr auto kBoot = S::eRunOnBootClient;
constexpr auto kServer = S::eRunOnServer;
constexpr auto kNowhere = S::eRunNowhere;
constexpr auto kKeeps = R::eKeepsSystem;
constexpr auto kOSNew = R::eReinstalls;
constexpr auto kWipe = R::eReinstallsByWipe;
constexpr uint32_t kSwOpt = S::kOptionSoftwareInBootClient;
constexpr uint32_t kAppOpt = S::kOptionApplicationInBootClient;

using enum OVOJobStep::EStepType;
constexpr JobStepKindRow kRows[] = {
  // type                         runs      expand option   boot   list reinstall kind
  {eDeployOS,                      kBoot,    true,  0,       true,  1, kOSNew, Make<OVOJobStepDeployOS>},
  {ePerformPatchUpdate,            kAgent,   true,  0,       false, 0, kKeeps, Make<OVOJobStepPerformPatchUpdate>},
  {eInstallSoftware,               kAgent,   true,  kSwOpt,  false, 0, kKeeps, Make<OVOJobStepInstallSoftware>},
  {ePerformManagedSoftwareUpdate,  kAgent,   true,  0,       false, 0, kKeeps, Make<OVOJobStepPerformManagedSoftwareUpdate>},
  {eOSCloningBackup,               kAgent,   false, 0,       false, 6, kKeeps, Make<OVOJobStepOSCloningBackup>},
  {eTurnOnBitLocker,               kAgent,   true,  0,       false, 0, kKeeps, Make<OVOJobStepTurnOnBitLocker>},
  {eRemoveMicrosoftUpdates,        kAgent,   true,  0,       false, 0, kKeeps, Make<OVOJobStepRemoveMicrosoftUpdates>},
  {eInstallApplication,            kAgent,   false, kAppOpt, false, 0, kKeeps, Make<OVOJobStepInstallApplication>},
  {eUninstallApplication,          kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepUninstallApplication>},
  {ePerformInventory,              kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepPerformInventory>},
  {ePerformInventoryAlt,           kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepPerformInventory>},
  {eDeterminePatchState,           kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepDeterminePatchState>},
  {eDetermineManagedSoftwareState, kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepDetermineManagedSoftwareState>},
  {eBootImage,                     kNowhere, false, 0,       true,  0, kKeeps, Make<OVOJobStepBootImage>},
  {eInstallOS,                     kBoot,    false, 0,       true,  0, kOSNew, Make<OVOJobStepInstallOS>},
  {eOSCloningBackupImaging,        kBoot,    false, 0,       true,  5, kKeeps, Make<OVOJobStepOSCloningBackupImaging>},
  {eOSCloningBackupSysprep,        kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepOSCloningBackupSysprep>},
  {eWipeDisk,                      kBoot,    false, 0,       true,  2, kWipe,  Make<OVOJobStepWipeDisk>},
  {ePreOSScript,                   kBoot,    false, 0,       true,  4, kKeeps, Make<OVOJobStepPreOSScript>},
  {ePersonalBackup,                kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepPersonalBackup>},
  {ePersonalRestore,               kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepPersonalRestore>},
  {eDesasterBackup,                kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepDesasterBackup>},
  {eDesasterRestore,               kBoot,    false, 0,       true,  3, kOSNew, Make<OVOJobStepDesasterRestore>},
  {eLegacyMetaFrame1,              kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepLegacyMetaFrame>},
  {eLegacyMetaFrame2,              kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepLegacyMetaFrame>},
  {eLegacyMetaFrame3,              kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepLegacyMetaFrame>},
  {eLegacyMetaFrame4,              kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepLegacyMetaFrame>},
  {eApplyEnergyPolicy,             kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepApplyEnergyPolicy>},
  {eServerSideAction,              kServer,  false, 0,       false, 0, kKeeps, Make<OVOJobStepServerSideAction>},
  {eComplianceScan,                kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepComplianceScan>},
  {eControlVirtualMachine,         kServer,  false, 0,       false, 0, kKeeps, Make<OVOJobStepControlVirtualMachine>},
  {eCreateVMFromProfile,           kServer,  false, 0,       false, 0, kKeeps, Make<OVOJobStepCreateVMFromProfile>},
  {eNetworkScan,                   kAgent,   false, 0,       false, 0, kKeeps, Make<OvoJobStepNetworkScan>},
  {eNetworkScanAlt,                kAgent,   false, 0,       false, 0, kKeeps, Make<OvoJobStepNetworkScan>},
  {eEncryptOSDrive,                kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepEncryptOSDrive>},
  {eWaitForOSDriveEncryption,      kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepWaitForOSDriveEncryption>},
  {eEncryptDataDrives,             kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepEncryptDataDrives>},
  {eTurnOffBitLocker,              kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepTurnOffBitLocker>},
  {eCheckEncryptionAndSetPIN,      kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepCheckEncryptionAndSetPIN>},
  {eTurnOnBitLockerNetworkUnlock,  kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepTurnOnBitLockerNetworkUnlock>},
  {eTurnOffBitLockerNetworkUnlock, kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepTurnOffBitLockerNetworkUnlock>},
  {eMicrosoftUpdateInventory,      kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepMicrosoftUpdateInventory>},
  {eUpdateAntivirusDefinitions,    kAgent,   false, 0,       false, 0, kKeeps, Make<OvoJobStepUpdateAntivirusDefinitions>},
  {eRunMicrosoftDefenderScan,      kAgent,   false, 0,       false, 0, kKeeps, Make<OvoJobStepRunMicrosoftDefenderScan>},
  {eMicrosoftUpdateUninstallation, kAgent,   false, 0,       false, 0, kKeeps, Make<OVOJobStepMicrosoftUpdateUninstallation>},
};

constexpr bool SortedWithinKnownRange() {
  uint32_t previous = 0;
  for (const JobStepKindRow& r : kRows) {
    if (r.type <= previous || r.type < S::kFirstKnownType || r.type > S::kLastKnownType) return false;
    previous = r.type;
  }
  return true;
}
static_assert(SortedWithinKnownRange(), "rows sorted by type, no duplicates, all within the known range");
static_assert(std::size(kRows) < 0xFF, "the index holds row numbers in a byte");

// Row number + 1 for each type up to the last known one; 0 for none.
constexpr auto kIndex = [] {
  std::array<uint8_t, S::kLastKnownType + 1> index{};
  for (size_t i = 0; i < std::size(kRows); ++i) index[kRows[i].type] = static_cast<uint8_t>(i + 1);
  return index;
}();

}  // namespace

std::span<const JobStepKindRow> JobStepKindRows() { return kRows; }

const JobStepKindRow* FindJobStepKind(uint32_t type) {
  if (type >= kIndex.size() || kIndex[type] == 0) return nullptr;
  return &kRows[kIndex[type] - 1];
}

}  // namespace orvacmn
